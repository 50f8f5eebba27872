#include "ui/win32/program.h"

#include <objbase.h>

#include "ui/win32/text.h"

namespace infotest::win32 {

int RunProgram(HINSTANCE instance, int showCommand) {
    // The title image is decoded by OLE, which wants COM on this thread.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int status = kErrorExitStatus;
    try {
        Form1 window(instance);
        window.Show(showCommand);
        status = window.RunMessageLoop();
    } catch (...) {
        // Only the window's creation can get here; the running program
        // reports its own errors.
        MessageBoxW(nullptr, Widen("Не удалось открыть окно программы.").c_str(), Widen(kErrorTitle).c_str(),
                    MB_OK | MB_ICONERROR);
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return status;
}

}  // namespace infotest::win32
