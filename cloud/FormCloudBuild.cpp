#include "app/Unit1.h"

// Creates the controls of the main window that cloud/ owns.
void TForm1::BuildCloudControls() {}
