#include "app/Unit1.h"

// Creates the controls of the main window that memory/ owns.
void TForm1::BuildMemoryControls() {}
