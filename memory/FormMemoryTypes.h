#pragma once
// Declarations the main window's memory members need (included by app/Unit1.h before TForm1).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "device/DeviceLink.h"
#include "memory/EventRecord.h"
#include "memory/MemoryState.h"
#include "memory/PhoneBase.h"
#include "memory/PhoneRecord.h"
#include "memory/RunningTransfer.h"
#include "memory/TransferStep.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/Grids.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"
#include "widgets/UiButton.h"
#include "widgets/UiGrids.h"
#include "widgets/UiPanel.h"
#include "widgets/UiPrgres.h"
