// The window: its elements made from the layout table, the page's events
// turned into the focus model's and the logic's, and the operations of
// Controls on the elements.

#include "ui/web/form1.h"

#include "ui/layout/form1_layout.h"
#include "ui/web/page_bridge.h"
#include "ui/web/styles.h"

namespace infotest::web {
namespace {

// The control a page target names; Form1 for anything else.
Control ControlAt(int target) {
    return target >= 0 && target < kControlCount ? static_cast<Control>(target) : Control::Form1;
}

}  // namespace

Form1::Form1(Form1Settings settings)
    : FormCore(WindowServices{[this](std::string_view prompt, std::string_view title, MessageIcon icon) {
                                  return PresentMessage(prompt, title, icon);
                              },
                              [this](int exitStatus) { EndEventLoop(exitStatus); },
                              [this](double delayMs) { ArmTimer(delayMs); }, [] { return page_now(); },
                              [this](std::string_view text) { DescribeAnswers(text); },
                              [this](std::string_view text) { Announce(text); }}),
      settings_(settings) {
    // A new window replaces the page's window, if any (the tests open many).
    current_ = this;
    Build();
    SetTimerEnabled(true);
}

Form1::~Form1() {
    if (current_ == this) {
        page_cancel_tick();
        page_close_box();
        page_remove_window();
        current_ = nullptr;
    }
}

// The elements are the page's own markup, made from the same table
// (markup.cpp): the window takes them over with the captions they show.
void Form1::Build() {
    const std::string title(kForm1Title);
    page_create_window(title.c_str());
    captions_[Index(Control::Form1)] = title;
    for (const ControlLayout& row : Form1Layout()) {
        if (row.kind != ControlKind::PictureBox && row.kind != ControlKind::Timer) {
            captions_[Index(row.control)] = std::string(row.caption);
        }
    }
}

void Form1::Show() {
    page_show_window();
    // The page may have shown the window while the program loaded: the
    // clock counts from then.
    const double shownAt = page_window_shown_at();
    if (settings_.ownClock && shownAt >= 0) CountClockFrom(shownAt);
    FocusControl(kFirstFocus);
}

// ---- Events from the page ----

void Form1::Click(int target) {
    Apply(target == kBoxButton ? focus_.ClickBoxButton() : focus_.Click(ControlAt(target)));
}

bool Form1::PointerDown(int target) { return Apply(focus_.PointerDown(target == kBoxButton)); }

void Form1::FocusIn(int target) { Apply(focus_.FocusArrived(target == kBoxButton)); }

// No context menu over the window, nor anywhere while a box is open.
bool Form1::ContextMenu(int target) const { return target != kElsewhere || BoxOpen(); }

bool Form1::PressKey(Key key, bool shift, bool repeat) {
    if (Ended() && !BoxOpen()) return false;
    return Apply(focus_.PressKey(key, shift, repeat, Focused()));
}

bool Form1::Apply(const FocusAnswer& answer) {
    if (answer.closeBox) CloseBox();
    if (answer.focusBox) page_focus_box();
    if (answer.select) page_set_checked(Id(*answer.select), 1);
    FocusControl(answer.focus);
    if (answer.deliver != nullptr) Deliver(answer.deliver);
    return answer.handled;
}

// ---- Focus ----

void Form1::FocusControl(std::optional<Control> control) {
    if (control) page_focus(Id(*control));
}

Control Form1::Focused() const {
    const int index = page_focused();
    return index >= 0 && index < kControlCount ? static_cast<Control>(index) : Control::Form1;
}

// ---- Controls ----

void Form1::SetCaption(Control control, std::string_view text) {
    const ControlLayout* row = FindLayout(control);
    if (row == nullptr || row->kind == ControlKind::PictureBox || row->kind == ControlKind::Timer) return;
    captions_[Index(control)] = std::string(text);
    page_set_text(Id(control), captions_[Index(control)].c_str());
}

std::string Form1::Caption(Control control) const { return captions_[Index(control)]; }

void Form1::Move(Control control, double leftTwips, int topTwips) {
    if (FindLayout(control) == nullptr || control == Control::Timer1) return;
    const std::string left = std::to_string(TwipsToPixels(leftTwips)) + "px";
    const std::string top = std::to_string(TwipsToPixels(topTwips)) + "px";
    page_set_style(Id(control), "left", left.c_str());
    page_set_style(Id(control), "top", top.c_str());
    // Out of its container a control is out of every way in: not drawn,
    // not focusable, not found by find-in-page, not clicked.
    page_set_flag(Id(control), "outside", LiesOutsideContainer(control, leftTwips, topTwips));
    FocusControl(focus_.Moved(control, leftTwips, topTwips, Focused()));
}

void Form1::SetBackColor(Control control, std::uint32_t bgr) {
    if (control == Control::Timer1) return;
    page_set_style(Id(control), "background-color", Css(bgr).c_str());
}

void Form1::SetVisible(Control control, bool visible) {
    if (control == Control::Timer1) return;
    if (control == Control::Form1) {
        if (visible) {
            focus_.CancelHide();
            page_set_flag(Id(control), "hidden", 0);
        } else {
            HideWindow();
        }
        return;
    }
    page_set_flag(Id(control), "hidden", !visible);
    FocusControl(focus_.ShownChanged(control, visible, Focused()));
}

bool Form1::Selected(Control option) const { return IsOption(option) && page_checked(Id(option)) != 0; }

void Form1::ClearSelected(Control option) {
    if (IsOption(option)) page_set_checked(Id(option), 0);
}

void Form1::PageClosing() {
    CloseRequested();
    if (current_ == this) page_remove_window();
}

}  // namespace infotest::web
