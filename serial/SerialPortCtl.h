#pragma once
// The serial component set's controls: port-setting combo box and radio group, the signal
// lamp, the terminal, and the setup dialogs (library zentor_serialctl).
#include "serial/ctl/SerialLed.h"
#include "serial/ctl/SerialSelect.h"
#include "serial/ctl/SerialSetup.h"
#include "serial/ctl/SerialTerminal.h"
