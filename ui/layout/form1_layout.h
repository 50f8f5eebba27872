#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <string_view>
#include <vector>

#include "run/controls.h"

namespace infotest {

// The window Form1 as it is created: its own settings and one row per
// control. The window builds itself from this table alone.

enum class ControlKind { Timer, CommandButton, PictureBox, Frame, OptionButton, Label };
enum class FontFace { NoFont, Arial, MsSansSerif };
enum class TextAlign { NoAlign, Left, Centre, Right };

// A colour the toolkit chooses for the kind of control (black text, the
// button text colour).
inline constexpr std::uint32_t kSystemColour = 0xFFFFFFFF;

struct ControlLayout {
    Control control;
    ControlKind kind;
    Control parent;                // Form1, or Frame1 for the option buttons
    std::string_view caption;      // at creation
    int left, top, width, height;  // twips, relative to the parent's client area
    std::uint32_t backColour;      // 0xBBGGRR or kSystemColour
    std::uint32_t foreColour;
    FontFace face;
    double points;
    bool bold;
    TextAlign align;
    bool visible;  // at creation
    int tabIndex;  // -1 for none
};

inline constexpr int kTwipsPerPixel = 15;  // at 96 dots per inch
inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kPointsPerInch = 72;
inline constexpr int kStandardDpi = 96;

// Twips to pixels at `dpi` dots per inch, to the nearest pixel.
inline int TwipsToPixels(double twips, int dpi = kStandardDpi) {
    return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch));
}

// Points to pixels at `dpi` dots per inch, to the nearest pixel.
inline int PointsToPixels(double points, int dpi = kStandardDpi) {
    return static_cast<int>(std::lround(points * dpi / kPointsPerInch));
}

// A font's pixel height at `dpi`: its height at 96 dots per inch scaled
// and rounded down, so that a caption that fits its rectangle at 96 dpi
// still fits it at any other (the rectangles scale exactly; a font rounded
// up can outgrow them, and a label would wrap its last word away).
inline int FontPixels(double points, int dpi) {
    return static_cast<int>(static_cast<long long>(PointsToPixels(points)) * dpi / kStandardDpi);
}

// Pixels at 96 dots per inch scaled to `dpi`, to the nearest pixel.
inline int ScalePixels(int pixels, int dpi) {
    return static_cast<int>(std::lround(static_cast<double>(pixels) * dpi / kStandardDpi));
}

inline constexpr std::string_view kForm1Title = "Информация. Измерение информации. Ловенда";
inline constexpr int kForm1ClientWidth = 11910;  // twips
inline constexpr int kForm1ClientHeight = 6420;
inline constexpr int kForm1Left = 1605;  // on the screen
inline constexpr int kForm1Top = 2400;
inline constexpr std::uint32_t kForm1BackColour = 0xC0FFC0;
inline constexpr int kTimer1IntervalMs = 1000;
// The control that has the focus when the window opens.
inline constexpr Control kFirstFocus = Control::Command1;

// What the title image says, for screen readers.
inline constexpr std::string_view kTitleImageText = "Информатика\n9 класс\nТест № 1\nИнформация. Измерение информации";

// The title image, drawn from the picture box's top-left corner.
inline constexpr int kTitleImageWidth = 716;  // pixels
inline constexpr int kTitleImageHeight = 253;

inline constexpr int kLayoutRows = kControlCount - 1;  // every control but Form1

// The controls in stacking order, topmost first: where two overlap, the
// earlier row is drawn over the later one.
const std::array<ControlLayout, kLayoutRows>& Form1Layout();

// The row of a control; nullptr for Form1.
const ControlLayout* FindLayout(Control control);

// Whether a control of this kind can take the keyboard focus while it is in
// view.
bool TakesFocus(ControlKind kind);

// Whether a control placed at (left, top) twips in its container lies
// wholly outside the container's client area: it cannot be seen or clicked
// there, so it leaves the focus chain too. False for Form1 and Timer1.
bool LiesOutsideContainer(Control control, double leftTwips, int topTwips);

// The controls that can take the focus, in tab order.
std::vector<Control> TabOrder();

// The controls in one order that serves both painting and the focus chain
// in a toolkit where both follow the order of the child windows: those
// that take the focus by tab index, then the others in stacking order.
// Where two overlap, the earlier is drawn on top: this keeps the title image
// over Frame1 and Label1, the options over Frame1 and Label8 over Label6.
// Command1 comes above Command4, which it never shows together with.
std::array<Control, kLayoutRows - 1> CreationOrder();  // Timer1 has no window

}  // namespace infotest
