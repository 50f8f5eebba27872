#pragma once

#include "ui/win32/form1.h"

namespace infotest::win32 {

// Opens the window, runs it until the program ends and returns the exit
// status: 0, or 1 after an internal error or when the window cannot open.
int RunProgram(HINSTANCE instance, int showCommand);

}  // namespace infotest::win32
