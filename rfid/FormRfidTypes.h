#pragma once
// Declarations the main window's rfid members need (included by app/Unit1.h before TForm1).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "rfid/ReaderFrame.h"  // TTid

class TSerialPort;
class TTimer;
class TUiGroupBox;
class TUiRadioGroup;
class TUiButton;
class TComboBox;
class TLabel;
class TEdit;
class TObject;
