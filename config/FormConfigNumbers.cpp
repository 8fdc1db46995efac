// The number base that travels with the configuration (file and language switch).
#include "app/Unit1.h"
#include "memory/PhoneBase.h"

// Until the numbers page has its grid the records are the master copy: nothing to convert.
void TForm1::NumbersFromGrid() {}
void TForm1::NumbersToGrid() {}
void TForm1::ClearNumbers() { SetPhoneRecords({}); }
