#pragma once
// Module state and free functions of other subsystems that the shell uses, declared here until
// their owners define them. An owner that defines one deletes its stub in app/FormStubs.cpp
// and its line here.
#include <cstdint>

class TComboBox;


