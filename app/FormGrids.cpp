// The number and event-log grids' headers and their scaling to the window.
#include "app/Unit1.h"

// The grids sit on the numbers and log pages; without them there is nothing to write.
void TForm1::WriteGridHeadersStep() {}

void TForm1::ScaleGridsStep() {}
