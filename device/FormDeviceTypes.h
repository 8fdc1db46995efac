#pragma once
// Declarations the main window's device members need (included by app/Unit1.h before TForm1).
#include "device/DeviceFrame.h"
