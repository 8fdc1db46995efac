#pragma once
// Declarations the main window's app members need (included by app/Unit1.h before TForm1).
#include <cstdint>
#include <memory>
#include <string>

#include "app/ShellApi.h"
#include "app/ShellState.h"
#include "platform/sys/Timer.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/ImgList.h"
#include "platform/ui/StdCtrls.h"
#include "widgets/UiButton.h"
#include "widgets/UiPanel.h"
#include "widgets/UiTabs.h"
#include "widgets/UiPrgres.h"
#include "platform/ui/WebBrowser.h"
