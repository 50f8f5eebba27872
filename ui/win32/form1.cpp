// The window proper: made, shown and run; its window procedure, which
// turns clicks and ticks into the logic's events; and the operations
// of Controls on its child windows.

#include <cmath>
#include <string>

#include "ui/win32/form1.h"
#include "ui/win32/text.h"
#include "ui/win32/title_image.h"

namespace infotest::win32 {
namespace {

// The system's dots per inch: the program is DPI-aware (its manifest says
// so), so this is the real setting, not 96.
int SystemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : kStandardDpi;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kStandardDpi;
}

UINT MessageBoxIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Question: return MB_ICONQUESTION;
        case MessageIcon::Information: return MB_ICONINFORMATION;
        case MessageIcon::Critical: return MB_ICONERROR;
    }
    return 0;
}

// The unbiased interrupt time in milliseconds: monotonic, and, as Windows
// documents it, without the time the system spent asleep or hibernating.
double AwakeMilliseconds() {
    ULONGLONG hundredNanoseconds = 0;
    QueryUnbiasedInterruptTime(&hundredNanoseconds);
    return static_cast<double>(hundredNanoseconds) / 10000.0;
}

}  // namespace

// Posting the quit message also ends a box's own message loop, which then
// passes it on to the program's loop. Should a step below fail, the members
// release what was made so far, the window first.
Form1::Form1(HINSTANCE instance, Form1Settings settings)
    : FormCore({.showMessage = [this](std::string_view prompt, std::string_view title,
                                      MessageIcon icon) { return ShowBox(prompt, title, icon); },
                .endEventLoop = [](int exitStatus) { PostQuitMessage(exitStatus); },
                .armTimer = [this](double delayMs) { ArmTimer(delayMs); },
                .clock = AwakeMilliseconds,
                // A screen reader reads this window's controls by their
                // captions only: no description, no announcement.
                .describeAnswers = {},
                .announce = {}}),
      dpi_(settings.dpi > 0 ? settings.dpi : SystemDpi()) {
    backColours_.fill(kForm1BackColour);
    CreateWindowItself(instance);
    titleImage_ = DecodeImage(settings.titleImage ? *settings.titleImage : ResourceImage(instance));
    CreateControls(instance);
    SetTimerEnabled(true);
}

HWND Form1::ControlWindow(Control control) const {
    const std::size_t index = Index(control);
    return index < windows_.size() ? windows_[index] : nullptr;
}

std::uint32_t Form1::BackColour(Control control) const {
    const std::size_t index = Index(control);
    return index < backColours_.size() ? backColours_[index] : kForm1BackColour;
}

void Form1::Show(int showCommand) {
    // The focus shows from the start, also on the controls the system
    // draws, whether or not the pupil has used the keyboard yet.
    SendMessageW(window_.Get(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    ShowWindow(window_.Get(), showCommand);
    UpdateWindow(window_.Get());
    SetFocus(ControlWindow(kFirstFocus));
}

int Form1::RunMessageLoop() {
    MSG message{};
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) break;
        if (got == -1) return kErrorExitStatus;
        Process(message);
    }
    return Ended() ? ExitStatus() : static_cast<int>(message.wParam);
}

LRESULT CALLBACK Form1::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* form = static_cast<Form1*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        form->window_.Adopt(window);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<Form1*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (form == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    // No exception may unwind through the system's code that called us:
    // this is the window's one edge, and what it catches goes to the core.
    LRESULT result = 0;
    form->Guarded([&] { result = form->Handle(message, wParam, lParam); });
    return result;
}

LRESULT Form1::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
        case WM_TIMER:
            if (wParam == kTimer1Id) TimerFired();
            return 0;
        case WM_DRAWITEM: OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)); return TRUE;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: return OnControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_ERASEBKGND: {
            RECT client{};
            GetClientRect(window_.Get(), &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, BrushOf(Control::Form1));
            return 1;
        }
        case WM_ACTIVATE: OnActivate(LOWORD(wParam) != WA_INACTIVE); return 0;
        case WM_CLOSE:
            // Ignored while a box is open; otherwise the end of the program.
            if (!BoxOpen()) {
                CloseRequested();
                ShowWindow(window_.Get(), SW_HIDE);
            }
            return 0;
        case WM_DESTROY:
            // Destroyed from outside while the program runs: it ends too.
            if (!Ended()) CloseRequested();
            return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrW(window_.Get(), GWLP_USERDATA, 0);
            window_.Forget();
            windows_.fill(nullptr);
            return 0;
        default: break;
    }
    return DefWindowProcW(window_.Get(), message, wParam, lParam);
}

void Form1::OnCommand(int id, int notification) {
    const Control control = ControlOfId(id);
    // A button drawn by the program reports the second click of a double
    // click as a double click; for the pupil it is a second press.
    const bool pressed = notification == BN_CLICKED || (IsCommand(control) && notification == BN_DOUBLECLICKED);
    if (!pressed) return;
    // A click selects an option (the button did that itself); no procedure
    // runs, the logic reads the selection when it checks.
    Apply(focus_.Click(control));
    if (IsOption(control)) UpdateTabStops();
}

// Keeps the focused control over a switch to another window, so that it has
// the focus again when the pupil comes back.
void Form1::OnActivate(bool active) {
    if (!active) {
        if (Focused() != Control::Form1) focusOnDeactivate_ = Focused();
        return;
    }
    FocusControl(focus_.InReach(focusOnDeactivate_) ? focusOnDeactivate_ : focus_.NextTabStop(Control::Form1, false));
}

// ---- Controls ----

void Form1::SetCaption(Control control, std::string_view text) {
    HWND child = ControlWindow(control);
    const ControlLayout* row = FindLayout(control);
    if (child == nullptr ||
        (row != nullptr && (row->kind == ControlKind::PictureBox || row->kind == ControlKind::Timer)))
        return;  // the picture box has no caption
    SetWindowTextW(child, Widen(text).c_str());
    if (row != nullptr && row->kind == ControlKind::Frame) InvalidateRect(child, nullptr, TRUE);
}

std::string Form1::Caption(Control control) const {
    HWND child = ControlWindow(control);
    const ControlLayout* row = FindLayout(control);
    if (child == nullptr || (row != nullptr && row->kind == ControlKind::PictureBox)) return {};
    return Narrow(WindowText(child));
}

void Form1::Move(Control control, double leftTwips, int topTwips) {
    if (control == Control::Form1) return;
    PlaceControl(control, leftTwips, topTwips);
    // Moved wholly out of its container a control cannot be seen or
    // clicked: it leaves Tab's way too and passes the focus on.
    if (const auto to = focus_.Moved(control, leftTwips, topTwips, Focused())) FocusControl(*to);
    UpdateTabStops();
}

void Form1::SetBackColor(Control control, std::uint32_t bgr) {
    const std::size_t index = Index(control);
    if (index >= backColours_.size()) return;
    backColours_[index] = bgr;
    brushes_.KeepOnly(backColours_);
    HWND child = ControlWindow(control);
    if (child == nullptr) return;
    // The window's colour also shows round the title image.
    const UINT children = control == Control::Form1 ? RDW_ALLCHILDREN : 0;
    RedrawWindow(child, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | children);
}

void Form1::SetVisible(Control control, bool visible) {
    HWND child = ControlWindow(control);
    if (child == nullptr) return;
    if (control == Control::Form1) {
        ShowWindow(window_.Get(), visible ? SW_SHOW : SW_HIDE);
        return;
    }
    // A hidden control cannot keep the focus: it passes to the next one
    // before the control goes.
    if (const auto to = focus_.ShownChanged(control, visible, Focused())) FocusControl(*to);
    ShowWindow(child, visible ? SW_SHOWNA : SW_HIDE);
    UpdateTabStops();
}

bool Form1::Selected(Control option) const {
    HWND child = IsOption(option) ? ControlWindow(option) : nullptr;
    return child != nullptr && SendMessageW(child, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Form1::ClearSelected(Control option) {
    HWND child = IsOption(option) ? ControlWindow(option) : nullptr;
    if (child == nullptr) return;
    SendMessageW(child, BM_SETCHECK, BST_UNCHECKED, 0);
    UpdateTabStops();
}

// Timer1's WM_TIMER only wakes the core when the next tick is due; the core
// counts the ticks from its clock and arms the timer again each time (the
// same id replaces the timer). Whole milliseconds, rounded up: a wake-up
// before the tick is due only costs another one.
void Form1::ArmTimer(double delayMs) {
    if (window_.Get() == nullptr) return;
    if (delayMs < 0) {
        KillTimer(window_.Get(), kTimer1Id);
    } else {
        // Should the system refuse a timer, the clock still catches up at the
        // pupil's next click.
        SetTimer(window_.Get(), kTimer1Id, static_cast<UINT>(std::ceil(delayMs)), nullptr);
    }
}

int Form1::ShowBox(std::string_view prompt, std::string_view title, MessageIcon icon) {
    // The box is owned by the window, which takes no clicks while it is
    // open; the focus goes back where it was when it closes.
    // The texts are converted before the box counts as open, so that a
    // failed conversion cannot leave the window thinking a box is open.
    const std::wstring text = Widen(prompt);
    const std::wstring caption = Widen(title);
    HWND focused = GetFocus();
    ++boxesOpen_;
    const int pressed = MessageBoxW(window_.Get(), text.c_str(), caption.c_str(),
                                    MB_OK | MessageBoxIcon(icon) | MB_APPLMODAL | MB_SETFOREGROUND);
    --boxesOpen_;
    if (!Ended() && focused != nullptr && IsWindow(focused) && IsWindowVisible(focused)) SetFocus(focused);
    return pressed == IDOK ? kOkResult : 0;
}

}  // namespace infotest::win32
