// Keyboard and focus: the glue between the window's messages and the core's
// FocusModel, which decides what Tab, Enter and the arrow keys do and where
// the focus goes. Space stays with the buttons themselves: they press once
// on its release, however long it is held, and a radio button selects.

#include <optional>

#include "ui/win32/form1.h"

namespace infotest::win32 {
namespace {

std::optional<Key> KeyOf(WPARAM virtualKey) {
    switch (virtualKey) {
        case VK_TAB: return Key::Tab;
        case VK_RETURN: return Key::Enter;
        case VK_LEFT: return Key::Left;
        case VK_UP: return Key::Up;
        case VK_RIGHT: return Key::Right;
        case VK_DOWN: return Key::Down;
        default: return std::nullopt;
    }
}

}  // namespace

void Form1::Process(MSG& message) {
    HWND window = window_.Get();
    const bool ours = message.hwnd == window || (window != nullptr && IsChild(window, message.hwnd));
    const std::optional<Key> key = message.message == WM_KEYDOWN ? KeyOf(message.wParam) : std::nullopt;
    if (ours && key && !BoxOpen()) {
        const bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
        // Bit 30: the key was down already, a repeat of a held key.
        const bool repeat = (message.lParam & (LPARAM{1} << 30)) != 0;
        if (Apply(focus_.PressKey(*key, shift, repeat, Focused()))) return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

bool Form1::Apply(const FocusAnswer& answer) {
    if (answer.select) {
        for (int n = 1; n <= 4; ++n) {
            const Control option = OptionControl(n);
            SendMessageW(ControlWindow(option), BM_SETCHECK, option == *answer.select ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        UpdateTabStops();
    }
    if (answer.focus) FocusControl(*answer.focus);
    if (answer.deliver != nullptr) Deliver(answer.deliver);
    return answer.handled;
}

Control Form1::Focused() const {
    HWND focused = GetFocus();
    for (int index = 0; index < kControlCount; ++index) {
        const auto control = static_cast<Control>(index);
        if (control != Control::Form1 && focused != nullptr && ControlWindow(control) == focused) return control;
    }
    return Control::Form1;
}

// Not const: it moves the system's focus through the window's handles.
// NOLINTNEXTLINE(readability-make-member-function-const)
void Form1::FocusControl(Control control) {
    HWND target = ControlWindow(control);
    if (target != nullptr) SetFocus(target);
}

// The controls' WS_TABSTOP styles follow the model's Tab stops, for the
// accessibility layer and anything else of the system that reads them.
// Not const: it changes the controls' styles through their handles.
// NOLINTNEXTLINE(readability-make-member-function-const)
void Form1::UpdateTabStops() {
    for (const Control control : TabOrder()) {
        HWND child = ControlWindow(control);
        if (child == nullptr) continue;
        const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
        const LONG_PTR wanted = focus_.IsTabStop(control) ? (style | WS_TABSTOP)
                                                          : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
        if (wanted != style) SetWindowLongPtrW(child, GWL_STYLE, wanted);
    }
}

}  // namespace infotest::win32
