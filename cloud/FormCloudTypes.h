#pragma once
// Declarations the main window's cloud members need (included by app/Unit1.h before TForm1).
#include <cstdint>
#include <string>

#include "cloud/CloudReply.h"
#include "cloud/CloudSession.h"
#include "platform/net/ScktComp.h"
#include "platform/sys/Timer.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "widgets/UiButton.h"
#include "widgets/UiPanel.h"
