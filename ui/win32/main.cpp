#include "ui/win32/program.h"

// The system's header names the parameters in its own style.
// NOLINTNEXTLINE(readability-inconsistent-declaration-parameter-name)
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    return infotest::win32::RunProgram(instance, showCommand);
}
