#pragma once
// Declarations the main window's config members need (included by app/Unit1.h before TForm1).
