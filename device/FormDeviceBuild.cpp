#include "app/Unit1.h"

// Creates the controls of the main window that device/ owns.
void TForm1::BuildDeviceControls() {}
