#pragma once
// Declarations the main window's config members need (included by app/Unit1.h before TForm1).
#include <cstdint>
#include <string>

#include "config/ConfigFields.h"
#include "device/DeviceFrame.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/StdCtrls.h"
#include "widgets/UiBorder.h"
#include "widgets/UiButton.h"
#include "widgets/UiPanel.h"
#include "widgets/UiRadGrp.h"
#include "widgets/UiTabs.h"
