#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>
#include <string_view>

namespace infotest::win32 {

// The program's texts are UTF-8; the window system's are UTF-16.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

// A window's text, whatever its length.
std::wstring WindowText(HWND window);

}  // namespace infotest::win32
