#include "tests/ui/win32/win32_window_driver.h"

#include <array>
#include <memory>
#include <string_view>

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

Win32Window::~Win32Window() { StopClosingBoxes(); }

void Win32Window::OpenWindow(const Sequence& sequence) {
    StopClosingBoxes();
    form_.reset();
    ticksSent_ = ownBoxesClosed_ = 0;
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

void Win32Window::SendKey(Key key, UINT message, LPARAM flags) {
    HWND focused = GetFocus();
    MSG event{
        focused != nullptr ? focused : form_->Handle(), message, static_cast<WPARAM>(key), flags, GetTickCount(), {}};
    form_->Process(event);
}

// Shift is held in the thread's keyboard state, which GetKeyState reads.
void Win32Window::PressKey(Key key, bool shift) {
    std::array<BYTE, 256> keys{};
    GetKeyboardState(keys.data());
    const BYTE shiftWas = keys[VK_SHIFT];
    if (shift) {
        keys[VK_SHIFT] = 0x80;
        SetKeyboardState(keys.data());
    }
    SendKey(key, WM_KEYDOWN, 1);
    SendKey(key, WM_KEYUP, static_cast<LPARAM>(0xC0000001));
    if (shift) {
        keys[VK_SHIFT] = shiftWas;
        SetKeyboardState(keys.data());
    }
}

// A repeat has bit 30 set: the key was down before.
void Win32Window::HoldKey(Key key, int repeats) {
    SendKey(key, WM_KEYDOWN, 1);
    for (int i = 0; i < repeats; ++i) SendKey(key, WM_KEYDOWN, static_cast<LPARAM>(0x40000001));
    SendKey(key, WM_KEYUP, static_cast<LPARAM>(0xC0000001));
}

ScreenPoint Win32Window::ClientPlace() const {
    POINT corner{0, 0};
    ClientToScreen(form_->Handle(), &corner);
    return {corner.x, corner.y};
}

std::uint32_t Win32Window::ClientCornerColour() const {
    UpdateWindow(form_->Handle());
    HDC dc = GetDC(form_->Handle());
    const COLORREF corner = GetPixel(dc, 2, 2);
    ReleaseDC(form_->Handle(), dc);
    return corner;
}

void Win32Window::UseOwnBoxesClosedByEnter() {
    form_->SetMessagePresenter({});
    StopClosingBoxes();
    closingBoxes_ = this;
    boxCloser_ = SetTimer(nullptr, 0, 10, &Win32Window::CloseOwnBoxWithEnter);
}

void Win32Window::StopClosingBoxes() {
    if (boxCloser_ != 0) KillTimer(nullptr, boxCloser_);
    boxCloser_ = 0;
    if (closingBoxes_ == this) closingBoxes_ = nullptr;
}

// Runs from the box's own message loop (and finds nothing outside one): the
// pupil presses Enter on the box's OK button.
void CALLBACK Win32Window::CloseOwnBoxWithEnter(HWND, UINT, UINT_PTR, DWORD) noexcept {
    Win32Window* driver = closingBoxes_;
    if (driver == nullptr || !driver->form_->BoxOpen()) return;
    HWND box = GetActiveWindow();
    wchar_t className[16] = {};
    if (box == nullptr || GetClassNameW(box, className, 16) == 0 || std::wstring_view(className) != L"#32770") return;
    if (box == driver->lastBox_) {
        // Still open after Enter: OK itself, so that the test fails rather
        // than waits for ever.
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        return;
    }
    driver->lastBox_ = box;
    HWND ok = GetFocus();
    if (ok == nullptr || !IsChild(box, ok)) ok = GetDlgItem(box, IDOK);
    PostMessageW(ok, WM_KEYDOWN, VK_RETURN, 1);
    PostMessageW(ok, WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0xC0000001));
    ++driver->ownBoxesClosed_;
}

Control Win32Window::Focused() const {
    HWND focused = GetFocus();
    for (int index = 0; index < kControlCount; ++index) {
        const auto control = static_cast<Control>(index);
        if (control != Control::Form1 && focused != nullptr && form_->ControlWindow(control) == focused) return control;
    }
    return Control::Form1;
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
