#include "app/Unit1.h"

// Creates the controls of the main window that app/ owns.
void TForm1::BuildShellControls() {}
