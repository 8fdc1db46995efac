#pragma once
// Declarations the main window's rfid members need (included by app/Unit1.h before TForm1).
