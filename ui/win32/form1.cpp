#include "ui/win32/form1.h"

#include <ole2.h>
#include <olectl.h>

#include <algorithm>
#include <stdexcept>
#include <string>

#include "ui/layout/form1_layout.h"
#include "ui/layout/painting.h"
#include "ui/layout/placement.h"
#include "ui/win32/text.h"

namespace infotest::win32 {
namespace {

constexpr wchar_t kClassName[] = L"InfotestForm1";

// Child window ids start above IDOK and IDCANCEL, so that an Enter or an
// Escape cannot be taken for a click on a control.
constexpr int kFirstControlId = 100;

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

std::size_t Index(Control control) { return static_cast<std::size_t>(control); }

int ControlId(Control control) { return kFirstControlId + static_cast<int>(control); }

bool IsOption(Control control) { return control >= Control::Option1 && control <= Control::Option4; }

bool IsCommand(Control control) { return control >= Control::Command1 && control <= Control::Command4; }

PixelRect ToPixelRect(const RECT& rect) {
    return {static_cast<int>(rect.left), static_cast<int>(rect.top), static_cast<int>(rect.right),
            static_cast<int>(rect.bottom)};
}

RECT ToRect(const PixelRect& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

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

void RegisterWindowClass(HINSTANCE instance, WNDPROC procedure) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(instance, kClassName, &existing)) return;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    // The window icon comes from the program's resources; a test program
    // without them gets the default one.
    windowClass.hIcon = static_cast<HICON>(LoadImageW(instance, L"IDI_ICON1", IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                                      GetSystemMetrics(SM_CYICON), LR_SHARED));
    windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, L"IDI_ICON1", IMAGE_ICON,
                                                        GetSystemMetrics(SM_CXSMICON),
                                                        GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    windowClass.lpszClassName = kClassName;
    if (RegisterClassExW(&windowClass) == 0) throw std::runtime_error("RegisterClassExW failed");
}

// The laid-out frame moved as little as needed to lie wholly inside the work
// area of the monitor it is on (or nearest to).
ScreenPoint PlaceOnMonitor(const ScreenRect& frame) {
    const RECT laidOut{frame.left, frame.top, frame.left + frame.width, frame.top + frame.height};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromRect(&laidOut, MONITOR_DEFAULTTONEAREST), &monitor)) {
        return {frame.left, frame.top};
    }
    const RECT& work = monitor.rcWork;
    return PlaceInWorkArea(frame, {work.left, work.top, work.right - work.left, work.bottom - work.top});
}

// The title image built into the program (RCDATA "TITLE_GIF").
std::string_view ResourceImage(HINSTANCE instance) {
    HRSRC found = FindResourceW(instance, L"TITLE_GIF", MAKEINTRESOURCEW(10));  // RT_RCDATA
    if (found == nullptr) return {};
    HGLOBAL loaded = LoadResource(instance, found);
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr) return {};
    return {static_cast<const char*>(bytes), SizeofResource(instance, found)};
}

// Decodes an image file (GIF, among others) with OLE's picture loader,
// which every Windows has, into a bitmap of its own; nullptr when the bytes
// are not a picture.
HBITMAP DecodeImage(std::string_view file) {
    if (file.empty()) return nullptr;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, file.size());
    if (memory == nullptr) return nullptr;
    void* target = GlobalLock(memory);
    if (target == nullptr) {
        GlobalFree(memory);
        return nullptr;
    }
    std::copy(file.begin(), file.end(), static_cast<char*>(target));
    GlobalUnlock(memory);

    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
        GlobalFree(memory);
        return nullptr;
    }
    // The loader may use COM decoders: make sure COM is there on this thread.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IPicture* picture = nullptr;
    HBITMAP bitmap = nullptr;
    if (SUCCEEDED(OleLoadPicture(stream, static_cast<LONG>(file.size()), FALSE, IID_IPicture,
                                 reinterpret_cast<void**>(&picture))) &&
        picture != nullptr) {
        SHORT type = PICTYPE_NONE;
        OLE_HANDLE handle = 0;
        if (SUCCEEDED(picture->get_Type(&type)) && type == PICTYPE_BITMAP &&
            SUCCEEDED(picture->get_Handle(&handle))) {
            bitmap = static_cast<HBITMAP>(CopyImage(reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)),
                                                    IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        }
        picture->Release();
    }
    stream->Release();
    if (SUCCEEDED(com)) CoUninitialize();
    return bitmap;
}

DWORD ChildStyle(const ControlLayout& row) {
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
    if (row.visible) style |= WS_VISIBLE;
    switch (row.kind) {
        case ControlKind::CommandButton: return style | BS_OWNERDRAW | WS_TABSTOP | WS_GROUP;
        // The option buttons form one group, begun by the first of them
        // and ended by the next control that is not one.
        case ControlKind::OptionButton:
            return style | BS_AUTORADIOBUTTON | (row.control == Control::Option1 ? WS_GROUP : 0);
        case ControlKind::PictureBox: return style | SS_OWNERDRAW | WS_TABSTOP | WS_GROUP;
        case ControlKind::Frame: return style | SS_OWNERDRAW | WS_GROUP;
        case ControlKind::Label: {
            const DWORD align = row.align == TextAlign::Centre  ? SS_CENTER
                                : row.align == TextAlign::Right ? SS_RIGHT
                                                                : SS_LEFT;
            return style | align | SS_NOPREFIX | WS_GROUP;
        }
        case ControlKind::Timer: break;
    }
    return style;
}

const wchar_t* ChildClass(ControlKind kind) {
    return kind == ControlKind::CommandButton || kind == ControlKind::OptionButton ? L"BUTTON" : L"STATIC";
}

// The window text a control starts with: its caption, and for the picture
// box what the image says, which is what a screen reader reads.
std::string_view InitialText(const ControlLayout& row) {
    return row.kind == ControlKind::PictureBox ? kTitleImageText : row.caption;
}

}  // namespace

// Posting the quit message also ends a box's own message loop, which then
// passes it on to the program's loop.
Form1::Form1(HINSTANCE instance, Form1Settings settings)
    : FormCore({.showMessage = [this](std::string_view prompt, std::string_view title,
                                      MessageIcon icon) { return ShowBox(prompt, title, icon); },
                .endEventLoop = [](int exitStatus) { PostQuitMessage(exitStatus); }}) {
    dpi_ = settings.dpi > 0 ? settings.dpi : SystemDpi();
    backColours_.fill(kForm1BackColour);
    RegisterWindowClass(instance, &Form1::WindowProcedure);

    RECT frame{0, 0, Px(kForm1ClientWidth), Px(kForm1ClientHeight)};
    AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
    const std::wstring title = Widen(kForm1Title);
    // The window procedure learns `this` from the creation parameter and
    // sets window_ on the first message.
    const ScreenPoint place =
        PlaceOnMonitor({Px(kForm1Left), Px(kForm1Top), frame.right - frame.left, frame.bottom - frame.top});
    CreateWindowExW(0, kClassName, title.c_str(), kWindowStyle, place.x, place.y, frame.right - frame.left,
                    frame.bottom - frame.top, nullptr, nullptr, instance, this);
    if (window_ == nullptr) throw std::runtime_error("CreateWindowExW failed for Form1");
    windows_[Index(Control::Form1)] = window_;
    try {
        titleImage_ = DecodeImage(settings.titleImage ? *settings.titleImage : ResourceImage(instance));
        CreateControls(instance);
    } catch (...) {
        // No destructor runs for a half-built window: the window must not
        // outlive it, pointing at it.
        Release();
        throw;
    }
    timerRunning_ = SetTimer(window_, kTimer1Id, kTimer1IntervalMs, nullptr) != 0;
}

Form1::~Form1() { Release(); }

void Form1::Release() {
    if (window_ != nullptr) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
    for (HFONT font : fonts_) {
        if (font != nullptr) DeleteObject(font);
    }
    for (HBRUSH brush : brushes_) {
        if (brush != nullptr) DeleteObject(brush);
    }
    if (titleImage_ != nullptr) DeleteObject(titleImage_);
    fonts_.fill(nullptr);
    brushes_.fill(nullptr);
    titleImage_ = nullptr;
}

int Form1::Px(double twips) const { return TwipsToPixels(twips, dpi_); }

void Form1::CreateControls(HINSTANCE instance) {
    for (Control control : CreationOrder()) {
        const ControlLayout& row = *FindLayout(control);
        backColours_[Index(control)] = row.backColour == kSystemColour ? kForm1BackColour : row.backColour;
        const std::wstring text = Widen(InitialText(row));
        HWND child = CreateWindowExW(0, ChildClass(row.kind), text.c_str(), ChildStyle(row), 0, 0, Px(row.width),
                                     Px(row.height), window_,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(control))), instance,
                                     nullptr);
        if (child == nullptr) throw std::runtime_error("CreateWindowExW failed for a control");
        windows_[Index(control)] = child;
        if (HFONT font = Font(row)) SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        PlaceControl(control, row.left, row.top);
    }
    UpdateOptionTabStop();
}

HFONT Form1::Font(const ControlLayout& row) {
    if (row.face == FontFace::NoFont) return nullptr;
    const std::wstring face = Widen(FamilyName(row.face));
    HFONT font = CreateFontW(-FontPixels(row.points, dpi_), 0, 0, 0, row.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE,
                             FALSE, RUSSIAN_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_SWISS, face.c_str());
    fonts_[Index(row.control)] = font;
    return font;  // nullptr leaves the control's default font
}

HBRUSH Form1::Brush(std::uint32_t bgr) {
    for (std::size_t i = 0; i < brushes_.size(); ++i) {
        if (brushes_[i] != nullptr && brushColours_[i] == bgr) return brushes_[i];
    }
    // A free slot, or else the last one is reused: the logic only ever uses
    // a handful of colours.
    std::size_t slot = brushes_.size() - 1;
    for (std::size_t i = 0; i < brushes_.size(); ++i) {
        if (brushes_[i] == nullptr) {
            slot = i;
            break;
        }
    }
    if (brushes_[slot] != nullptr) DeleteObject(brushes_[slot]);
    brushes_[slot] = CreateSolidBrush(bgr);
    brushColours_[slot] = bgr;
    return brushes_[slot];
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
    SendMessageW(window_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    ShowWindow(window_, showCommand);
    UpdateWindow(window_);
    SetFocus(ControlWindow(Control::Command1));
}

// ---- The message loop and the window procedure ----

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

void Form1::Process(MSG& message) {
    const bool ours = message.hwnd == window_ || (window_ != nullptr && IsChild(window_, message.hwnd));
    if (ours && message.message == WM_KEYDOWN && !BoxOpen()) {
        switch (message.wParam) {
            case VK_TAB: {
                const bool back = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
                HWND from = GetFocus();
                if (from == window_ || !IsChild(window_, from)) from = nullptr;
                if (HWND next = GetNextDlgTabItem(window_, from, back ? TRUE : FALSE)) SetFocus(next);
                return;
            }
            case VK_RETURN:
                // Enter presses the focused button, as in a dialog box.
                SendMessageW(window_, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
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

LRESULT CALLBACK Form1::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* form = static_cast<Form1*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        form->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<Form1*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (form == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    // No exception may unwind through the system's code that called us.
    try {
        return form->Handle(message, wParam, lParam);
    } catch (...) {
        try {
            form->EndProgram(kErrorExitStatus);
        } catch (...) {
            PostQuitMessage(kErrorExitStatus);
        }
        return 0;
    }
}

LRESULT Form1::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_TIMER:
            if (wParam == kTimer1Id) Deliver(&TestRun::Timer1_Timer);
            return 0;
        case WM_DRAWITEM:
            OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            return OnControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_ERASEBKGND: {
            RECT client{};
            GetClientRect(window_, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, Brush(backColours_[Index(Control::Form1)]));
            return 1;
        }
        case WM_ACTIVATE:
            // Keeps the focused control over a switch to another window, so
            // that it has the focus again when the pupil comes back.
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focused = GetFocus();
                if (focused != nullptr && IsChild(window_, focused)) focusOnDeactivate_ = focused;
                return 0;
            }
            if (focusOnDeactivate_ != nullptr && IsWindowVisible(focusOnDeactivate_) &&
                (GetWindowLongPtrW(focusOnDeactivate_, GWL_STYLE) & WS_TABSTOP) != 0) {
                SetFocus(focusOnDeactivate_);
            } else if (HWND first = GetNextDlgTabItem(window_, nullptr, FALSE)) {
                SetFocus(first);
            }
            return 0;
        case WM_CLOSE:
            // Ignored while a box is open; otherwise the end of the program.
            if (!BoxOpen()) {
                CloseRequested();
                ShowWindow(window_, SW_HIDE);
            }
            return 0;
        case WM_DESTROY:
            // Destroyed from outside while the program runs: it ends too.
            if (!Ended()) CloseRequested();
            return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
            window_ = nullptr;
            windows_.fill(nullptr);
            return 0;
        default: break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

void Form1::OnCommand(int id, int notification) {
    if (id == IDOK) {
        // Enter: the focused command button, if any, is pressed.
        HWND focused = GetFocus();
        for (Control button : {Control::Command1, Control::Command2, Control::Command3, Control::Command4}) {
            if (focused == ControlWindow(button) && IsWindowVisible(focused)) {
                Deliver(FormCore::ClickProcedure(button));
                return;
            }
        }
        return;
    }
    if (id < kFirstControlId || id >= kFirstControlId + kControlCount) return;
    const auto control = static_cast<Control>(id - kFirstControlId);
    // A button drawn by the program reports the second click of a double
    // click as a double click; for the pupil it is a second press.
    const bool pressed = notification == BN_CLICKED || (IsCommand(control) && notification == BN_DOUBLECLICKED);
    if (!pressed) return;
    if (IsCommand(control)) {
        Deliver(FormCore::ClickProcedure(control));
    } else if (IsOption(control)) {
        // A click selects the option (the button did that itself); no
        // procedure runs, the logic reads the selection when it checks.
        UpdateOptionTabStop();
    }
}

LRESULT Form1::OnControlColour(HDC dc, HWND child) {
    for (const ControlLayout& row : Form1Layout()) {
        if (windows_[Index(row.control)] != child) continue;
        const std::uint32_t back = backColours_[Index(row.control)];
        SetTextColor(dc, row.foreColour == kSystemColour ? GetSysColor(COLOR_WINDOWTEXT) : row.foreColour);
        SetBkColor(dc, back);
        return reinterpret_cast<LRESULT>(Brush(back));
    }
    return reinterpret_cast<LRESULT>(Brush(kForm1BackColour));
}

void Form1::OnDrawItem(const DRAWITEMSTRUCT& item) {
    const auto control = static_cast<Control>(static_cast<int>(item.CtlID) - kFirstControlId);
    const ControlLayout* row = FindLayout(control);
    if (row == nullptr) return;
    HDC dc = item.hDC;
    RECT rect = item.rcItem;
    const int saved = SaveDC(dc);
    if (fonts_[Index(control)] != nullptr) SelectObject(dc, fonts_[Index(control)]);
    SetBkMode(dc, TRANSPARENT);
    const std::wstring text = WindowText(item.hwndItem);

    switch (row->kind) {
        case ControlKind::CommandButton: {
            const CommandButtonPaint paint = CommandButtonGeometry(
                ToPixelRect(rect), (item.itemState & ODS_FOCUS) != 0, (item.itemState & ODS_SELECTED) != 0);
            if (paint.outlined) FrameRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
            RECT face = ToRect(paint.face);
            FillRect(dc, &face, Brush(backColours_[Index(control)]));
            DrawEdge(dc, &face, (item.itemState & ODS_SELECTED) != 0 ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
            RECT caption = ToRect(paint.caption);
            SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
            DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &caption,
                      DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
            if (paint.outlined) {
                RECT focus = ToRect(paint.focus);
                DrawFocusRect(dc, &focus);
            }
            break;
        }
        case ControlKind::Frame: {
            FillRect(dc, &rect, Brush(backColours_[Index(control)]));
            TEXTMETRICW metrics{};
            GetTextMetricsW(dc, &metrics);
            SIZE extent{};
            if (!text.empty()) GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
            const FramePaint paint = FrameGeometry(ToPixelRect(rect), extent.cx, metrics.tmHeight, dpi_);
            RECT border = ToRect(paint.border);
            DrawEdge(dc, &border, EDGE_ETCHED, BF_RECT);
            if (text.empty()) break;
            RECT behind = ToRect(paint.behindCaption);
            FillRect(dc, &behind, Brush(backColours_[Index(control)]));
            RECT caption = ToRect(paint.caption);
            SetTextColor(dc, row->foreColour);
            DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &caption,
                      DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
            break;
        }
        case ControlKind::PictureBox: {
            // The image from its top-left corner, clipped by the box; above
            // 96 dpi scaled to the same size in inches.
            FillRect(dc, &rect, Brush(backColours_[Index(Control::Form1)]));
            if (titleImage_ == nullptr) break;
            BITMAP info{};
            GetObjectW(titleImage_, sizeof info, &info);
            HDC source = CreateCompatibleDC(dc);
            if (source == nullptr) break;
            HGDIOBJ previous = SelectObject(source, titleImage_);
            if (dpi_ == kStandardDpi) {
                BitBlt(dc, rect.left, rect.top, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
            } else {
                SetStretchBltMode(dc, HALFTONE);
                SetBrushOrgEx(dc, 0, 0, nullptr);
                StretchBlt(dc, rect.left, rect.top, ScalePixels(info.bmWidth, dpi_), ScalePixels(info.bmHeight, dpi_),
                           source, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
            }
            SelectObject(source, previous);
            DeleteDC(source);
            break;
        }
        default: break;
    }
    RestoreDC(dc, saved);
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

// Places a control in its container. The option buttons are children of
// the window, not of Frame1, so that one order of child windows serves both
// painting and Tab; they sit at the frame's offset and are clipped to it.
void Form1::PlaceControl(Control control, double leftTwips, int topTwips) {
    HWND child = ControlWindow(control);
    const ControlLayout* row = FindLayout(control);
    if (child == nullptr || row == nullptr) return;
    int x = Px(leftTwips);
    int y = Px(topTwips);
    if (row->parent == Control::Frame1) {
        const ControlLayout& frame = *FindLayout(Control::Frame1);
        const int frameX = Px(frame.left);
        const int frameY = Px(frame.top);
        x += frameX;
        y += frameY;
        RECT visible{};
        const RECT self{x, y, x + Px(row->width), y + Px(row->height)};
        const RECT container{frameX, frameY, frameX + Px(frame.width), frameY + Px(frame.height)};
        IntersectRect(&visible, &self, &container);
        if (EqualRect(&visible, &self)) {
            SetWindowRgn(child, nullptr, TRUE);
        } else {
            // The region belongs to the window from here on.
            SetWindowRgn(child, CreateRectRgn(visible.left - x, visible.top - y, visible.right - x, visible.bottom - y),
                         TRUE);
        }
    }
    SetWindowPos(child, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
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
    if (GetFocus() == child) {
        HWND next = GetNextDlgTabItem(window_, child, FALSE);
        SetFocus(next != nullptr && next != child ? next : window_);
    }
}

// ---- Controls ----

void Form1::SetCaption(Control control, std::string_view text) {
    HWND child = ControlWindow(control);
    const ControlLayout* row = FindLayout(control);
    if (child == nullptr || (row != nullptr && (row->kind == ControlKind::PictureBox || row->kind == ControlKind::Timer)))
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
    LeaveFocusChainIfOutside(control, leftTwips, topTwips);
}

void Form1::SetBackColor(Control control, std::uint32_t bgr) {
    const std::size_t index = Index(control);
    if (index >= backColours_.size()) return;
    backColours_[index] = bgr;
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
        ShowWindow(window_, visible ? SW_SHOW : SW_HIDE);
        return;
    }
    if (!visible && GetFocus() == child) {
        // A hidden control cannot keep the focus: it passes to the next one.
        HWND next = GetNextDlgTabItem(window_, child, FALSE);
        SetFocus(next != nullptr && next != child ? next : window_);
    }
    ShowWindow(child, visible ? SW_SHOWNA : SW_HIDE);
    if (IsOption(control)) UpdateOptionTabStop();
}

bool Form1::Selected(Control option) const {
    HWND child = IsOption(option) ? ControlWindow(option) : nullptr;
    return child != nullptr && SendMessageW(child, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Form1::ClearSelected(Control option) {
    HWND child = IsOption(option) ? ControlWindow(option) : nullptr;
    if (child == nullptr) return;
    SendMessageW(child, BM_SETCHECK, BST_UNCHECKED, 0);
    UpdateOptionTabStop();
}

void Form1::SetTimerEnabled(bool enabled) {
    if (!enabled) {
        if (timerRunning_ && window_ != nullptr) KillTimer(window_, kTimer1Id);
        timerRunning_ = false;
    } else if (!timerRunning_ && window_ != nullptr) {
        timerRunning_ = SetTimer(window_, kTimer1Id, kTimer1IntervalMs, nullptr) != 0;
    }
}

int Form1::ShowBox(std::string_view prompt, std::string_view title, MessageIcon icon) {
    // The box is owned by the window, which takes no clicks while it is
    // open; the focus goes back where it was when it closes.
    HWND focused = GetFocus();
    ++boxesOpen_;
    const int pressed = MessageBoxW(window_, Widen(prompt).c_str(), Widen(title).c_str(),
                                    MB_OK | MessageBoxIcon(icon) | MB_APPLMODAL | MB_SETFOREGROUND);
    --boxesOpen_;
    if (!Ended() && focused != nullptr && IsWindow(focused) && IsWindowVisible(focused)) SetFocus(focused);
    return pressed == IDOK ? kOkResult : 0;
}

}  // namespace infotest::win32
