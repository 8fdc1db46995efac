#include "app/Unit1.h"

// Creates the controls of the main window that firmware/ owns.
void TForm1::BuildFirmwareControls() {}
