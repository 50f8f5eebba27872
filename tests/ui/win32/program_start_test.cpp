// The real infotest.exe, started as Explorer starts it: it shows its window
// wholly inside the work area of the screen, and ends with status 0 when the
// window is asked to close.

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
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

// Called back by EnumWindows: a CALLBACK (stdcall) function, which a lambda
// is not on x86, and one that throws nothing through the system's frames.
BOOL CALLBACK RememberShownWindow(HWND window, LPARAM data) noexcept {
    auto* found = reinterpret_cast<FoundWindow*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != found->process || !IsWindowVisible(window) || GetWindow(window, GW_OWNER) != nullptr) return TRUE;
    found->window = window;
    return FALSE;
}

HWND ShownWindowOf(DWORD process) {
    FoundWindow found{process, nullptr};
    EnumWindows(&RememberShownWindow, reinterpret_cast<LPARAM>(&found));
    return found.window;
}

HWND ChildWithText(HWND window, const std::string& text) {
    HWND child = nullptr;
    while ((child = FindWindowExW(window, child, nullptr, nullptr)) != nullptr) {
        if (Narrow(WindowText(child)) == text) return child;
    }
    return nullptr;
}

// The window's frame lies wholly inside its monitor's work area, and at the
// laid-out place (107, 160) when it fits there. INFOTEST_EXPECTED_WORK_AREA
// ("left top right bottom") makes sure that the screen is the one the
// caller set up, a netbook's with a taskbar for example.
void ExpectWhollyInsideTheWorkArea(HWND window) {
    RECT frame{};
    GetWindowRect(window, &frame);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor));
    const RECT& work = monitor.rcWork;
    std::printf("work area (%ld, %ld)-(%ld, %ld), window frame (%ld, %ld)-(%ld, %ld)\n", work.left, work.top,
                work.right, work.bottom, frame.left, frame.top, frame.right, frame.bottom);
    if (const char* expected = std::getenv("INFOTEST_EXPECTED_WORK_AREA")) {
        RECT wanted{};
        ASSERT_EQ(std::sscanf(expected, "%ld %ld %ld %ld", &wanted.left, &wanted.top, &wanted.right, &wanted.bottom),
                  4);
        ASSERT_TRUE(EqualRect(&work, &wanted)) << "the work area is not the one set up";
    }
    // Along each side: inside, or where the work area is too small, at its
    // start.
    auto expectInside = [](LONG start, LONG end, LONG areaStart, LONG areaEnd, const char* side) {
        if (end - start <= areaEnd - areaStart) {
            EXPECT_TRUE(start >= areaStart && end <= areaEnd) << side;
        } else {
            EXPECT_EQ(start, areaStart) << side;
        }
    };
    expectInside(frame.left, frame.right, work.left, work.right, "across");
    expectInside(frame.top, frame.bottom, work.top, work.bottom, "down");

    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const LONG laidOutLeft = MulDiv(1605, dpi, 1440);
    const LONG laidOutTop = MulDiv(2400, dpi, 1440);
    if (laidOutLeft + frame.right - frame.left <= work.right && laidOutTop + frame.bottom - frame.top <= work.bottom) {
        EXPECT_EQ(frame.left, laidOutLeft);
        EXPECT_EQ(frame.top, laidOutTop);
    }
}

TEST(ProgramStartTest, TheProgramShowsItsWindowOnScreenAndEndsWithStatusZeroOnACloseRequest) {
    // The program is DPI-aware: read its window, and the dots per inch, as
    // it sees them.
    SetProcessDPIAware();
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
        ExpectWhollyInsideTheWorkArea(window);
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
