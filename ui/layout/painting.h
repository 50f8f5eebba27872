#pragma once

#include <string_view>

#include "ui/layout/form1_layout.h"

namespace infotest {

// Where the parts of the controls a window paints itself go, in device
// pixels, and which font families it asks for: measured once here so that
// every toolkit draws the command buttons and the frame alike.

// A rectangle in pixels; right and bottom lie just outside it.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    // Shrunk by `by` pixels on every side (grown for a negative `by`).
    PixelRect Inset(int by) const { return {left + by, top + by, right - by, bottom - by}; }
    PixelRect Shifted(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }

    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// A graphical-style command button: a solid face in its back colour with a
// raised 3D edge (sunken while pressed), the caption centred on one line in
// the button-text colour, and while it has the focus a 1-pixel outline in
// that colour round the face and a dotted focus rectangle inside the edge.
// The caption does not wrap: every caption of the table fits its button on
// one line, and a single line keeps it centred in the face's height.
struct CommandButtonPaint {
    bool outlined = false;  // the outline runs along the button's own edge
    PixelRect face;         // filled and edged
    PixelRect caption;      // the caption is centred in it
    PixelRect focus;        // the dotted rectangle, drawn only when focused
};

CommandButtonPaint CommandButtonGeometry(PixelRect button, bool focused, bool pressed);

// A frame: an etched border whose top edge runs through the middle of the
// caption, the caption left-aligned on one line near the top-left corner,
// on a strip of the back colour that cuts the border line behind it.
struct FramePaint {
    PixelRect border;
    PixelRect caption;        // clipped to the frame's inner width
    PixelRect behindCaption;  // filled with the back colour first
};

// `textWidth` and `textHeight` are the caption's extent in the frame's font;
// the indent and the gaps round the caption scale with `dpi`.
FramePaint FrameGeometry(PixelRect frame, int textWidth, int textHeight, int dpi = kStandardDpi);

// The family a control's font asks for by name: Arial, or for MS Sans Serif
// its outline successor, which has the same look and metrics (the bitmap
// face is jagged at any other size).
std::string_view FamilyName(FontFace face);

// A face with Arial's metrics (and narrow enough to stand for MS Sans Serif)
// that a system without either installs or carries: the captions still fit
// their fixed rectangles in it.
inline constexpr std::string_view kStandInFamily = "Liberation Sans";

}  // namespace infotest
