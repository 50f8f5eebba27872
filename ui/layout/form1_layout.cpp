#include "ui/layout/form1_layout.h"

#include <algorithm>

namespace infotest {
namespace {

using enum ControlKind;
using enum FontFace;
using enum TextAlign;

// Laid out by hand as a table, one control a row.
// clang-format off
constexpr std::array<ControlLayout, kLayoutRows> kLayout{{
    // control, kind, parent, caption,
    //   left, top, width, height (twips), back colour, fore colour,
    //   font face, points, bold, alignment, visible at creation, tab index
    {Control::Timer1, Timer, Control::Form1, "",
     0, 0, 0, 0, kSystemColour, kSystemColour, NoFont, 0, false, NoAlign, false, -1},
    {Control::Command4, CommandButton, Control::Form1, "Следующий вопрос",
     4560, 5400, 3015, 495, 0x80FF80, kSystemColour, Arial, 12, true, Centre, false, 16},
    {Control::Picture1, PictureBox, Control::Form1, "",
     720, 1200, 10455, 3735, kSystemColour, kSystemColour, NoFont, 0, false, NoAlign, true, 15},
    {Control::Command3, CommandButton, Control::Form1, "Выход",
     8160, 5400, 1935, 495, 0x80FF80, kSystemColour, Arial, 12, true, Centre, true, 11},
    {Control::Command2, CommandButton, Control::Form1, "Проверить",
     2040, 5400, 1935, 495, 0x80FF80, kSystemColour, Arial, 12, true, Centre, true, 9},
    {Control::Command1, CommandButton, Control::Form1, "Начать тест",
     5160, 5400, 2055, 495, 0x80FFFF, kSystemColour, MsSansSerif, 12, true, Centre, true, 2},
    {Control::Frame1, Frame, Control::Form1, "",
     960, 2280, 10095, 2655, 0xC0FFC0, 0x800080, MsSansSerif, 12, true, NoAlign, true, 1},
    {Control::Option4, OptionButton, Control::Frame1, "",
     360, 360, 9500, 375, 0xC0FFC0, 0x004000, Arial, 14.25, false, Left, false, 7},
    {Control::Option3, OptionButton, Control::Frame1, "",
     360, 360, 9500, 375, 0xC0FFC0, 0x004000, Arial, 14.25, false, Left, false, 6},
    {Control::Option2, OptionButton, Control::Frame1, "",
     360, 360, 9500, 375, 0xC0FFC0, 0x004000, Arial, 14.25, false, Left, false, 5},
    {Control::Option1, OptionButton, Control::Frame1, "",
     360, 360, 9500, 375, 0xC0FFC0, 0x004000, Arial, 14.25, false, Left, false, 4},
    {Control::Label15, Label, Control::Form1, "За ответ на 5 и более вопросов - оценка",
     120, 6000, 4335, 255, 0xC0FFC0, 0x000000, Arial, 11.25, false, Left, true, 24},
    {Control::Label14, Label, Control::Form1, "",
     3240, 4920, 5775, 375, 0xC0FFC0, 0x000080, Arial, 14.25, true, Centre, false, 23},
    {Control::Label13, Label, Control::Form1, "",
     6240, 480, 735, 255, 0xC0FFC0, 0x004000, Arial, 12, true, Left, true, 22},
    {Control::Label12, Label, Control::Form1, ":",
     6000, 480, 255, 375, 0xC0FFC0, 0x004000, Arial, 12, true, Centre, true, 21},
    {Control::Label11, Label, Control::Form1, "",
     5280, 480, 735, 255, 0xC0FFC0, 0x004000, Arial, 12, true, Right, true, 20},
    {Control::Label10, Label, Control::Form1, "мин  :  сек",
     5400, 120, 1335, 255, 0xC0FFC0, kSystemColour, Arial, 9, false, Centre, true, 19},
    {Control::Label9, Label, Control::Form1, "автор: Зуверина февраль 2010 г.",
     7800, 6000, 3975, 255, 0xC0FFC0, kSystemColour, Arial, 11.25, false, Left, true, 18},
    {Control::Label8, Label, Control::Form1, "",
     10440, 120, 855, 375, 0xC0FFC0, kSystemColour, MsSansSerif, 12, false, Left, true, 17},
    {Control::Label7, Label, Control::Form1, "",
     4920, 5880, 2415, 255, 0xC0FFC0, 0x0000C0, MsSansSerif, 9.75, true, Centre, true, 14},
    {Control::Label6, Label, Control::Form1, "",
     10080, 120, 615, 375, 0xC0FFC0, kSystemColour, MsSansSerif, 12, false, Left, true, 13},
    {Control::Label5, Label, Control::Form1, "Вопрос:",
     8880, 120, 1095, 375, 0xC0FFC0, kSystemColour, MsSansSerif, 12, false, Left, true, 12},
    {Control::Label4, Label, Control::Form1, "",
     10080, 480, 615, 255, 0xC0FFC0, kSystemColour, MsSansSerif, 12, false, Left, true, 10},
    {Control::Label3, Label, Control::Form1, "Ошибок:",
     8880, 480, 1095, 255, 0xC0FFC0, kSystemColour, MsSansSerif, 12, false, Left, true, 8},
    {Control::Label2, Label, Control::Form1, "2009-2010 уч. год",
     840, 240, 2055, 495, 0xC0FFC0, kSystemColour, MsSansSerif, 9.75, false, Centre, true, 3},
    {Control::Label1, Label, Control::Form1, "",
     720, 1080, 10455, 1095, 0xC0FFC0, 0x004000, Arial, 14.25, false, Left, true, 0},
}};
// clang-format on

}  // namespace

const std::array<ControlLayout, kLayoutRows>& Form1Layout() { return kLayout; }

const ControlLayout* FindLayout(Control control) {
    for (const ControlLayout& row : kLayout) {
        if (row.control == control) return &row;
    }
    return nullptr;
}

bool TakesFocus(ControlKind kind) { return kind == CommandButton || kind == OptionButton || kind == PictureBox; }

bool LiesOutsideContainer(Control control, double leftTwips, int topTwips) {
    const ControlLayout* row = FindLayout(control);
    if (row == nullptr || row->kind == Timer) return false;
    double containerWidth = kForm1ClientWidth;
    double containerHeight = kForm1ClientHeight;
    if (row->parent == Control::Frame1) {
        const ControlLayout* frame = FindLayout(Control::Frame1);
        containerWidth = frame->width;
        containerHeight = frame->height;
    }
    return leftTwips >= containerWidth || topTwips >= containerHeight || leftTwips + row->width <= 0 ||
           topTwips + row->height <= 0;
}

std::vector<Control> TabOrder() {
    std::vector<const ControlLayout*> rows;
    rows.reserve(kLayout.size());
    for (const ControlLayout& row : kLayout) {
        if (TakesFocus(row.kind)) rows.push_back(&row);
    }
    std::sort(rows.begin(), rows.end(),
              [](const ControlLayout* a, const ControlLayout* b) { return a->tabIndex < b->tabIndex; });
    std::vector<Control> order;
    order.reserve(rows.size());
    for (const ControlLayout* row : rows) order.push_back(row->control);
    return order;
}

std::array<Control, kLayoutRows - 1> CreationOrder() {
    std::array<Control, kLayoutRows - 1> order{};
    std::size_t count = 0;
    for (Control control : TabOrder()) order[count++] = control;
    for (const ControlLayout& row : kLayout) {
        if (row.kind != Timer && !TakesFocus(row.kind)) order[count++] = row.control;
    }
    return order;
}

}  // namespace infotest
