#include "tests/ui/win32/win32_window_driver.h"

#include <memory>

#include "ui/layout/form1_layout.h"
#include "ui/win32/text.h"

namespace infotest::testing {
namespace {

using win32::Narrow;
using win32::WindowText;

using model::Observation;
using model::Sequence;

RECT ClientRectOf(HWND child, HWND parent) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

}  // namespace

RECT RectInContainer(const win32::Form1& form, Control control) {
    RECT rect = ClientRectOf(form.ControlWindow(control), form.Handle());
    const ControlLayout* row = FindLayout(control);
    if (row != nullptr && row->parent == Control::Frame1) {
        const RECT frame = ClientRectOf(form.ControlWindow(Control::Frame1), form.Handle());
        OffsetRect(&rect, -frame.left, -frame.top);
    }
    return rect;
}

Win32Window::Win32Window(win32::Form1Settings settings) : settings_(settings) {}

Win32Window::~Win32Window() = default;

void Win32Window::Open(const Sequence& sequence) {
    form_.reset();
    ticksSent_ = unreachableNextKeys_ = 0;
    clockMs_ = 0;

    // The window's clock is the test's own: it moves only in StallClock.
    form_ = std::make_unique<win32::Form1>(GetModuleHandleW(nullptr), settings_);
    form_->SetClockSource([this] { return clockMs_; });

    services_.Install(*form_, sequence, [this](model::WindowView& view) { ReadWindow(view); });
    form_->Show();
}

bool Win32Window::TakesActions() const { return !ProgramEnded() && IsWindowVisible(form_->Handle()); }

// The system sends a timer's messages only while it is armed.
void Win32Window::StallClock(int seconds) {
    clockMs_ += seconds * kTimer1IntervalMs;
    if (!form_->TimerRunning()) return;
    MSG wake{form_->Handle(), WM_TIMER, win32::kTimer1Id, 0, GetTickCount(), {}};
    form_->Process(wake);
}

void Win32Window::DeliverTick() {
    if (form_->TimerRunning()) ++ticksSent_;
    StallClock(1);
}

// What the close button of the title bar sends.
void Win32Window::RequestClose() { SendMessageW(form_->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); }

void Win32Window::Click(Control control, bool twice) {
    HWND window = form_->Handle();
    HWND child = form_->ControlWindow(control);
    if (child == nullptr || !IsWindowVisible(child)) return;
    RECT seen = ClientRectOf(child, window);
    RECT client{};
    GetClientRect(window, &client);
    IntersectRect(&seen, &seen, &client);
    const ControlLayout* row = FindLayout(control);
    if (row != nullptr && row->parent == Control::Frame1) {
        const RECT frame = ClientRectOf(form_->ControlWindow(Control::Frame1), window);
        IntersectRect(&seen, &seen, &frame);
    }
    if (IsRectEmpty(&seen)) return;  // the pupil cannot see it, so cannot click it
    POINT point{(seen.left + seen.right) / 2, (seen.top + seen.bottom) / 2};
    HWND target = ChildWindowFromPointEx(window, point, CWP_SKIPINVISIBLE);
    if (target == nullptr || target == window) return;
    MapWindowPoints(window, target, &point, 1);
    const LPARAM at = MAKELPARAM(point.x, point.y);
    MSG down{target, WM_LBUTTONDOWN, MK_LBUTTON, at, GetTickCount(), {}};
    form_->Process(down);
    MSG up{target, WM_LBUTTONUP, 0, at, GetTickCount(), {}};
    form_->Process(up);
    if (!twice) return;
    MSG again{target, WM_LBUTTONDBLCLK, MK_LBUTTON, at, GetTickCount(), {}};
    form_->Process(again);
    form_->Process(up);
}

void Win32Window::PressKey(WPARAM key) {
    HWND focused = GetFocus();
    if (focused == nullptr) focused = form_->Handle();
    MSG down{focused, WM_KEYDOWN, key, 1, GetTickCount(), {}};
    form_->Process(down);
    HWND now = GetFocus();
    MSG up{now != nullptr ? now : form_->Handle(), WM_KEYUP, key, static_cast<LPARAM>(0xC0000001), GetTickCount(), {}};
    form_->Process(up);
}

Control Win32Window::Focused() const {
    HWND focused = GetFocus();
    for (int index = 0; index < kControlCount; ++index) {
        const auto control = static_cast<Control>(index);
        if (control != Control::Form1 && focused != nullptr && form_->ControlWindow(control) == focused) return control;
    }
    return Control::Form1;
}

// The pupil tabs round the focus chain to the Next button and presses space.
void Win32Window::PressNextFromTheKeyboard() {
    HWND next = form_->ControlWindow(Control::Command4);
    for (int step = 0; step < kControlCount && GetFocus() != next; ++step) PressKey(VK_TAB);
    if (GetFocus() != next) {
        ++unreachableNextKeys_;
        return;
    }
    PressKey(VK_SPACE);
}

void Win32Window::ReadWindow(model::WindowView& into) const {
    HWND window = form_->Handle();
    const int dpi = form_->Dpi();
    for (int index = 0; index < kControlCount; ++index) {
        const auto control = static_cast<Control>(index);
        if (control == Control::Timer1) continue;  // its state is timerEnabled
        model::ControlView& view = into.controls.at(static_cast<std::size_t>(index));
        HWND child = form_->ControlWindow(control);
        if (control == Control::Form1) {
            view.caption = Narrow(WindowText(window));
            view.left = 0;
            view.top = 0;
            // Once the program has ended the window must be off the screen,
            // which `ended` reads.
            view.visible = ProgramEnded() || IsWindowVisible(window) != FALSE;
        } else {
            // The picture box's window text is what its image says, for
            // screen readers; as a caption it has none.
            view.caption = FindLayout(control)->kind == ControlKind::PictureBox ? "" : Narrow(WindowText(child));
            const RECT rect = RectInContainer(*form_, control);
            view.left = static_cast<double>(rect.left) * kTwipsPerInch / dpi;
            view.top = rect.top * kTwipsPerInch / dpi;
            view.visible = (GetWindowLongPtrW(child, GWL_STYLE) & WS_VISIBLE) != 0;
        }
        view.backColor = form_->BackColour(control);
        view.selected = child != nullptr && control >= Control::Option1 && control <= Control::Option4 &&
                        SendMessageW(child, BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    into.timerEnabled = form_->TimerRunning();
}

void Win32Window::Observe(Observation& into) {
    ReadWindow(into.window);
    services_.Report(into, IsWindowVisible(form_->Handle()) != FALSE);
}

}  // namespace infotest::testing
