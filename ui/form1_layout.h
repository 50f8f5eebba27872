#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <string_view>

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
    Control parent;            // Form1, or Frame1 for the option buttons
    std::string_view caption;  // at creation
    int left, top, width, height;  // twips, relative to the parent's client area
    std::uint32_t backColour;  // 0xBBGGRR or kSystemColour
    std::uint32_t foreColour;
    FontFace face;
    double points;
    bool bold;
    TextAlign align;
    bool visible;  // at creation
    int tabIndex;  // -1 for none
};

inline constexpr int kTwipsPerPixel = 15;

// Twips to pixels at 96 dots per inch, to the nearest pixel.
inline int TwipsToPixels(double twips) {
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

// Points to pixels at 96 dots per inch, to the nearest pixel.
inline int PointsToPixels(double points) {
    return static_cast<int>(std::lround(points * 4 / 3));
}

inline constexpr std::string_view kForm1Title = "Информация. Измерение информации. Ловенда";
inline constexpr int kForm1ClientWidth = 11910;  // twips
inline constexpr int kForm1ClientHeight = 6420;
inline constexpr int kForm1Left = 1605;  // on the screen
inline constexpr int kForm1Top = 2400;
inline constexpr std::uint32_t kForm1BackColour = 0xC0FFC0;
inline constexpr int kTimer1IntervalMs = 1000;

// What the title image says, for screen readers.
inline constexpr std::string_view kTitleImageText =
    "Информатика\n9 класс\nТест № 1\nИнформация. Измерение информации";

inline constexpr std::string_view kIconResource = ":/infotest/icon48.png";
inline constexpr std::string_view kTitleImageResource = ":/infotest/title.gif";

inline constexpr int kLayoutRows = kControlCount - 1;  // every control but Form1

// The controls in stacking order, topmost first: where two overlap, the
// earlier row is drawn over the later one.
const std::array<ControlLayout, kLayoutRows>& Form1Layout();

// The row of a control; nullptr for Form1.
const ControlLayout* FindLayout(Control control);

}  // namespace infotest
