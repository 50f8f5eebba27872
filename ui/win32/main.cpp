#include "ui/win32/program.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    return infotest::RunProgram(instance, showCommand);
}
