// Keyboard and focus: Tab through the table's tab order, Enter and Space on
// the focused button, the arrow keys within the option group in the order
// the pupil sees the options, and the focus chain kept to what can be seen.

#include <algorithm>

#include "ui/win32/form1.h"

namespace infotest::win32 {

void Form1::Process(MSG& message) {
    HWND window = window_.Get();
    const bool ours = message.hwnd == window || (window != nullptr && IsChild(window, message.hwnd));
    if (ours && message.message == WM_KEYDOWN && !BoxOpen()) {
        switch (message.wParam) {
            case VK_TAB: {
                const bool back = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
                HWND from = GetFocus();
                if (from == window_.Get() || !IsChild(window_.Get(), from)) from = nullptr;
                if (HWND next = GetNextDlgTabItem(window_.Get(), from, back ? TRUE : FALSE)) SetFocus(next);
                return;
            }
            case VK_RETURN:
                // Enter presses the focused button, as in a dialog box.
                SendMessageW(window_.Get(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                return;
            case VK_ESCAPE: return;
            default:
                if (MoveWithinOptions(message)) return;
                break;
        }
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

// Arrow keys move within the option group in the order the pupil sees the
// options, top to bottom, and select the option they reach.
bool Form1::MoveWithinOptions(const MSG& message) {
    const WPARAM key = message.wParam;
    if (key != VK_UP && key != VK_DOWN && key != VK_LEFT && key != VK_RIGHT) return false;
    HWND focused = GetFocus();
    std::array<HWND, 4> options{};
    std::size_t count = 0;
    for (int n = 1; n <= 4; ++n) {
        HWND option = ControlWindow(OptionControl(n));
        if (option != nullptr && IsWindowVisible(option)) options[count++] = option;
    }
    auto* end = options.data() + count;
    if (std::find(options.data(), end, focused) == end) return false;
    auto topOf = [](HWND window) {
        RECT rect{};
        GetWindowRect(window, &rect);
        return rect.top;
    };
    std::stable_sort(options.begin(), options.begin() + static_cast<std::ptrdiff_t>(count),
                     [&](HWND a, HWND b) { return topOf(a) < topOf(b); });
    const auto at = static_cast<std::size_t>(std::find(options.data(), end, focused) - options.data());
    const bool forward = key == VK_DOWN || key == VK_RIGHT;
    HWND next = options[(at + (forward ? 1 : count - 1)) % count];
    SetFocus(next);
    for (std::size_t i = 0; i < count; ++i) {
        SendMessageW(options[i], BM_SETCHECK, options[i] == next ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    UpdateOptionTabStop();
    return true;
}

// Tab reaches the option group once: at the selected option, or with none
// selected at the topmost one.
// Not const: it changes the option buttons' styles through their handles.
// NOLINTNEXTLINE(readability-make-member-function-const)
void Form1::UpdateOptionTabStop() {
    HWND stop = nullptr;
    LONG stopTop = 0;
    for (int n = 1; n <= 4; ++n) {
        HWND option = ControlWindow(OptionControl(n));
        if (option == nullptr) continue;
        RECT rect{};
        GetWindowRect(option, &rect);
        if (SendMessageW(option, BM_GETCHECK, 0, 0) == BST_CHECKED) {
            stop = option;
            break;
        }
        if (stop == nullptr || rect.top < stopTop) {
            stop = option;
            stopTop = rect.top;
        }
    }
    for (int n = 1; n <= 4; ++n) {
        HWND option = ControlWindow(OptionControl(n));
        if (option == nullptr) continue;
        const LONG_PTR style = GetWindowLongPtrW(option, GWL_STYLE);
        const LONG_PTR wanted = option == stop ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
        if (wanted != style) SetWindowLongPtrW(option, GWL_STYLE, wanted);
    }
}

// A control moved wholly out of its container cannot be seen or clicked:
// it leaves Tab's way too and passes the focus on; moved back, it rejoins.
void Form1::LeaveFocusChainIfOutside(Control control, double leftTwips, int topTwips) {
    const ControlLayout* row = FindLayout(control);
    HWND child = ControlWindow(control);
    if (row == nullptr || child == nullptr || !TakesFocus(row->kind)) return;
    if (IsOption(control)) {
        UpdateOptionTabStop();
        return;
    }
    const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
    if (!LiesOutsideContainer(control, leftTwips, topTwips)) {
        SetWindowLongPtrW(child, GWL_STYLE, style | WS_TABSTOP);
        return;
    }
    SetWindowLongPtrW(child, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_TABSTOP));
    if (GetFocus() == child) PassFocusOn(child);
}

// The focus leaves a control that can no longer have it for the next one in
// Tab's order, or for the window when there is none.
void Form1::PassFocusOn(HWND from) {
    HWND next = GetNextDlgTabItem(window_.Get(), from, FALSE);
    SetFocus(next != nullptr && next != from ? next : window_.Get());
}

}  // namespace infotest::win32
