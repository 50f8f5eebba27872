// Building the window: its class, the top-level window and a child window
// for every control of the layout table, with its font, placed in its
// container.

#include <stdexcept>
#include <string>

#include "ui/layout/painting.h"
#include "ui/layout/placement.h"
#include "ui/win32/form1.h"
#include "ui/win32/text.h"

namespace infotest::win32 {
namespace {

constexpr wchar_t kClassName[] = L"InfotestForm1";

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

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
    windowClass.hIconSm =
        static_cast<HICON>(LoadImageW(instance, L"IDI_ICON1", IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                      GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    windowClass.lpszClassName = kClassName;
    if (RegisterClassExW(&windowClass) == 0) throw std::runtime_error("RegisterClassExW failed");
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

}  // namespace

int Form1::Px(double twips) const { return TwipsToPixels(twips, dpi_); }

void Form1::CreateWindowItself(HINSTANCE instance) {
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
    if (window_.Get() == nullptr) throw std::runtime_error("CreateWindowExW failed for Form1");
    windows_[Index(Control::Form1)] = window_.Get();
}

void Form1::CreateControls(HINSTANCE instance) {
    for (Control control : CreationOrder()) {
        const ControlLayout& row = *FindLayout(control);
        backColours_[Index(control)] = row.backColour == kSystemColour ? kForm1BackColour : row.backColour;
        const std::wstring text = Widen(InitialText(row));
        HWND child = CreateWindowExW(0, ChildClass(row.kind), text.c_str(), ChildStyle(row), 0, 0, Px(row.width),
                                     Px(row.height), window_.Get(),
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(control))), instance,
                                     nullptr);
        if (child == nullptr) throw std::runtime_error("CreateWindowExW failed for a control");
        windows_[Index(control)] = child;
        // No font leaves the control's default one.
        fonts_[Index(control)] = MakeFont(row);
        if (fonts_[Index(control)]) {
            SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_[Index(control)].Get()), FALSE);
        }
        PlaceControl(control, row.left, row.top);
    }
    UpdateTabStops();
}

Font Form1::MakeFont(const ControlLayout& row) const {
    if (row.face == FontFace::NoFont) return {};
    const std::wstring face = Widen(FamilyName(row.face));
    return Font(CreateFontW(-FontPixels(row.points, dpi_), 0, 0, 0, row.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                            RUSSIAN_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                            DEFAULT_PITCH | FF_SWISS, face.c_str()));
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
            // The region belongs to the window once it is set; only a region
            // the window refused is still ours to delete.
            HRGN region = CreateRectRgn(visible.left - x, visible.top - y, visible.right - x, visible.bottom - y);
            if (region != nullptr && SetWindowRgn(child, region, TRUE) == 0) DeleteObject(region);
        }
    }
    SetWindowPos(child, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace infotest::win32
