#include "app/Unit1.h"

// Creates the controls of the main window that rfid/ owns.
void TForm1::BuildRfidControls() {}
