#include "ui/layout/painting.h"

#include <algorithm>

namespace infotest {
namespace {

// The button's 3D edge is two pixels wide; the caption and the focus
// rectangle keep one more pixel clear of it.
constexpr int kButtonInset = 3;
// The caption of a frame starts this far in from its left edge, with this
// much of the back colour on either side of it (at 96 dots per inch).
constexpr int kFrameCaptionIndent = 8;
constexpr int kFrameCaptionGap = 2;

}  // namespace

CommandButtonPaint CommandButtonGeometry(PixelRect button, bool focused, bool pressed) {
    CommandButtonPaint paint;
    paint.outlined = focused;
    paint.face = focused ? button.Inset(1) : button;
    paint.caption = paint.face.Inset(kButtonInset);
    if (pressed) paint.caption = paint.caption.Shifted(1, 1);
    paint.focus = paint.face.Inset(kButtonInset);
    return paint;
}

FramePaint FrameGeometry(PixelRect frame, int textWidth, int textHeight, int dpi) {
    const int indent = ScalePixels(kFrameCaptionIndent, dpi);
    const int gap = ScalePixels(kFrameCaptionGap, dpi);
    FramePaint paint;
    paint.border = frame;
    paint.border.top += textHeight / 2;
    const int width = std::max(0, std::min(textWidth, frame.Width() - 2 * indent));
    paint.caption = {frame.left + indent, frame.top, frame.left + indent + width, frame.top + textHeight};
    paint.behindCaption = {paint.caption.left - gap, paint.caption.top, paint.caption.right + gap,
                           paint.caption.bottom};
    return paint;
}

std::string_view FamilyName(FontFace face) { return face == FontFace::MsSansSerif ? "Microsoft Sans Serif" : "Arial"; }

}  // namespace infotest
