#pragma once
// Declarations the main window's firmware members need (included by app/Unit1.h before TForm1).
#include <cstdint>
#include <string>

#include "platform/ui/Dialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "widgets/UiButton.h"
#include "widgets/UiPanel.h"
#include "widgets/UiPrgres.h"
#include "widgets/UiRadGrp.h"

namespace sys {
class TShellOpener;
}
class TClientSocket;
class TCustomWinSocket;
struct TFwAction;
