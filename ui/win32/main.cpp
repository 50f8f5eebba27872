#include "ui/win32/program.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    return infotest::win32::RunProgram(instance, showCommand);
}
