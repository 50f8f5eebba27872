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
        // Only the window's creation can get here: once it exists, the core's
        // error boundary owns every error and the exit status.
        status = FormCore::OpeningFailed([](std::string_view prompt, std::string_view title, MessageIcon) {
            return MessageBoxW(nullptr, Widen(prompt).c_str(), Widen(title).c_str(), MB_OK | MB_ICONERROR) == IDOK
                       ? kOkResult
                       : 0;
        });
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return status;
}

}  // namespace infotest::win32
