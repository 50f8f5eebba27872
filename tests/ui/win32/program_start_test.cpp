// The real infotest.exe, started as Explorer starts it: it shows its window
// and ends with status 0 when the window is asked to close.

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <string>
#include <thread>

#include "ui/win32/text.h"

namespace infotest::testing {
namespace {

using win32::Narrow;
using win32::Widen;
using win32::WindowText;

// infotest.exe, relative to this test program.
std::wstring ProgramPath() {
    std::wstring self(MAX_PATH, L'\0');
    self.resize(GetModuleFileNameW(nullptr, self.data(), MAX_PATH));
    std::wstring path = self.substr(0, self.find_last_of(L"\\/") + 1) + Widen(INFOTEST_PROGRAM_RELATIVE_PATH);
    for (wchar_t& c : path) {
        if (c == L'/') c = L'\\';
    }
    return path;
}

struct FoundWindow {
    DWORD process = 0;
    HWND window = nullptr;
};

HWND ShownWindowOf(DWORD process) {
    FoundWindow found{process, nullptr};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* found = reinterpret_cast<FoundWindow*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner != found->process || !IsWindowVisible(window) || GetWindow(window, GW_OWNER) != nullptr)
                return TRUE;
            found->window = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found.window;
}

HWND ChildWithText(HWND window, const std::string& text) {
    HWND child = nullptr;
    while ((child = FindWindowExW(window, child, nullptr, nullptr)) != nullptr) {
        if (Narrow(WindowText(child)) == text) return child;
    }
    return nullptr;
}

TEST(ProgramStartTest, TheProgramShowsItsWindowAndEndsWithStatusZeroOnACloseRequest) {
    std::wstring path = ProgramPath();
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(path.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        << Narrow(path);

    HWND window = nullptr;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (window == nullptr && std::chrono::steady_clock::now() < deadline) {
        window = ShownWindowOf(process.dwProcessId);
        if (window == nullptr) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_NE(window, nullptr) << "no window appeared";
    if (window != nullptr) {
        EXPECT_EQ(Narrow(WindowText(window)), "Информация. Измерение информации. Ловенда");
        HWND start = ChildWithText(window, "Начать тест");
        EXPECT_TRUE(start != nullptr && IsWindowVisible(start));
        PostMessageW(window, WM_CLOSE, 0, 0);
    }

    const DWORD waited = WaitForSingleObject(process.hProcess, 60000);
    if (waited != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 99);
    EXPECT_EQ(waited, WAIT_OBJECT_0) << "the program did not end";
    DWORD status = 99;
    GetExitCodeProcess(process.hProcess, &status);
    EXPECT_EQ(status, 0U);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

}  // namespace
}  // namespace infotest::testing
