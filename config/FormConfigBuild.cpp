#include "app/Unit1.h"

// Creates the controls of the main window that config/ owns.
void TForm1::BuildConfigControls() {}
