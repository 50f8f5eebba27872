// What the window draws itself: the command buttons, the frame and the
// title image (owner-drawn), and the colours of the controls the system
// draws.

#include "ui/layout/painting.h"
#include "ui/win32/form1.h"
#include "ui/win32/text.h"
#include "ui/win32/title_image.h"

namespace infotest::win32 {
namespace {

PixelRect ToPixelRect(const RECT& rect) {
    return {static_cast<int>(rect.left), static_cast<int>(rect.top), static_cast<int>(rect.right),
            static_cast<int>(rect.bottom)};
}

RECT ToRect(const PixelRect& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

}  // namespace

LRESULT Form1::OnControlColour(HDC dc, HWND child) {
    for (const ControlLayout& row : Form1Layout()) {
        if (windows_[Index(row.control)] != child) continue;
        SetTextColor(dc, row.foreColour == kSystemColour ? GetSysColor(COLOR_WINDOWTEXT) : row.foreColour);
        SetBkColor(dc, backColours_[Index(row.control)]);
        return reinterpret_cast<LRESULT>(BrushOf(row.control));
    }
    return reinterpret_cast<LRESULT>(BrushOf(Control::Form1));
}

void Form1::OnDrawItem(const DRAWITEMSTRUCT& item) {
    const Control control = ControlOfId(static_cast<int>(item.CtlID));
    const ControlLayout* row = FindLayout(control);
    if (row == nullptr) return;
    HDC dc = item.hDC;
    RECT rect = item.rcItem;
    const int saved = SaveDC(dc);
    if (fonts_[Index(control)]) SelectObject(dc, fonts_[Index(control)].Get());
    SetBkMode(dc, TRANSPARENT);
    const std::wstring text = WindowText(item.hwndItem);

    switch (row->kind) {
        case ControlKind::CommandButton: {
            const CommandButtonPaint paint = CommandButtonGeometry(ToPixelRect(rect), (item.itemState & ODS_FOCUS) != 0,
                                                                   (item.itemState & ODS_SELECTED) != 0);
            if (paint.outlined) FrameRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
            RECT face = ToRect(paint.face);
            FillRect(dc, &face, BrushOf(control));
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
            FillRect(dc, &rect, BrushOf(control));
            TEXTMETRICW metrics{};
            GetTextMetricsW(dc, &metrics);
            SIZE extent{};
            if (!text.empty()) GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
            const FramePaint paint = FrameGeometry(ToPixelRect(rect), extent.cx, metrics.tmHeight, dpi_);
            RECT border = ToRect(paint.border);
            DrawEdge(dc, &border, EDGE_ETCHED, BF_RECT);
            if (text.empty()) break;
            RECT behind = ToRect(paint.behindCaption);
            FillRect(dc, &behind, BrushOf(control));
            RECT caption = ToRect(paint.caption);
            SetTextColor(dc, row->foreColour);
            DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &caption,
                      DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
            break;
        }
        case ControlKind::PictureBox:
            FillRect(dc, &rect, BrushOf(Control::Form1));
            if (titleImage_) DrawTitleImage(dc, rect, titleImage_.Get(), dpi_);
            break;
        default: break;
    }
    RestoreDC(dc, saved);
}

}  // namespace infotest::win32
