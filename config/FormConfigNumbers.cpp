// The number base that travels with the configuration (file and language switch).
#include "app/Unit1.h"
#include "memory/PhoneBase.h"

// The number grid is the master copy: a file takes its records, and opening one shows them.
void TForm1::NumbersFromGrid() { PhoneGridToStruct(); }
void TForm1::NumbersToGrid() { PhoneStructToGrid(); }
void TForm1::ClearNumbers() {
    SetPhoneRecords({});
    ClearTableClick(this);
}
