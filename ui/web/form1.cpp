#include "ui/web/form1.h"

#include <emscripten.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "ui/layout/form1_layout.h"
#include "ui/layout/painting.h"

// The page's elements are made and changed by the script layer (page.js),
// which keeps one element per control; these are its entry points.
#ifdef EM_JS_DEPS
// Newer emscripten (3.1.69) links only the runtime functions asked for;
// older ones have no such macro and always include UTF8ToString.
EM_JS_DEPS(infotest_page, "$UTF8ToString");
#endif
// clang-format off
EM_JS(void, page_create_window, (const char* title), { infotestPage.createWindow(UTF8ToString(title)); });
EM_JS(void, page_create, (int control, const char* kind, const char* id, int parent, const char* style), {
    infotestPage.create(control, UTF8ToString(kind), UTF8ToString(id), parent, UTF8ToString(style));
});
EM_JS(void, page_set_text, (int control, const char* text), { infotestPage.setText(control, UTF8ToString(text)); });
EM_JS(void, page_set_attribute, (int control, const char* name, const char* value), {
    infotestPage.setAttribute(control, UTF8ToString(name), UTF8ToString(value));
});
EM_JS(void, page_set_style, (int control, const char* name, const char* value), {
    infotestPage.setStyle(control, UTF8ToString(name), UTF8ToString(value));
});
EM_JS(void, page_set_flag, (int control, const char* name, int on), {
    infotestPage.setFlag(control, UTF8ToString(name), on);
});
EM_JS(int, page_checked, (int control), { return infotestPage.checked(control) ? 1 : 0; });
EM_JS(void, page_set_checked, (int control, int on), { infotestPage.setChecked(control, on); });
EM_JS(void, page_focus, (int control), { infotestPage.focus(control); });
EM_JS(int, page_focused, (), { return infotestPage.focused(); });
EM_JS(void, page_show_window, (), { infotestPage.showWindow(); });
EM_JS(void, page_remove_window, (), { infotestPage.removeWindow(); });
EM_JS(void, page_show_end, (int status), { infotestPage.showEnd(status); });
EM_JS(void, page_open_box, (const char* title, const char* prompt, const char* iconAlt, const char* iconSrc), {
    infotestPage.openBox(UTF8ToString(title), UTF8ToString(prompt), UTF8ToString(iconAlt), UTF8ToString(iconSrc));
});
EM_JS(void, page_close_box, (), { infotestPage.closeBox(); });
EM_JS(double, page_now, (), { return performance.now(); });
EM_JS(void, page_schedule_tick, (double delayMs), { infotestPage.scheduleTick(delayMs); });
EM_JS(void, page_cancel_tick, (), { infotestPage.cancelTick(); });
// clang-format on

namespace infotest::web {
namespace {

int Id(Control control) { return static_cast<int>(control); }

std::string Css(std::uint32_t bgr) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
    return text;
}

// The face the layout asks for, followed by the face that travels inside
// the page with the same metrics, so that every caption fits its rectangle
// on a device without it.
std::string FontFamily(FontFace face) {
    return '"' + std::string(FamilyName(face)) + R"(", "Infotest Sans", sans-serif)";
}

std::string_view Kind(ControlKind kind) {
    switch (kind) {
        case ControlKind::CommandButton: return "command";
        case ControlKind::PictureBox: return "picture";
        case ControlKind::Frame: return "frame";
        case ControlKind::OptionButton: return "option";
        case ControlKind::Label: return "label";
        case ControlKind::Timer: break;
    }
    return "";
}

std::string_view Align(TextAlign align) {
    switch (align) {
        case TextAlign::Centre: return "center";
        case TextAlign::Right: return "right";
        default: return "left";
    }
}

// The element's style at creation: its rectangle (1 CSS pixel per 15
// twips), stacking, colours and font.
std::string InitialStyle(const ControlLayout& row, int stackLevel) {
    std::string style =
        "left:" + std::to_string(TwipsToPixels(row.left)) + "px;top:" + std::to_string(TwipsToPixels(row.top)) +
        "px;width:" + std::to_string(TwipsToPixels(row.width)) +
        "px;height:" + std::to_string(TwipsToPixels(row.height)) + "px;z-index:" + std::to_string(stackLevel) + ";";
    style += "background-color:" + Css(row.backColour == kSystemColour ? kForm1BackColour : row.backColour) + ";";
    if (row.foreColour != kSystemColour) style += "color:" + Css(row.foreColour) + ";";
    if (row.face != FontFace::NoFont) {
        char size[32];
        // Points at 96 pixels per inch.
        std::snprintf(size, sizeof size, "%.4gpx", row.points * kStandardDpi / kPointsPerInch);
        style += "font-family:" + FontFamily(row.face) + ";font-size:" + size +
                 ";font-weight:" + (row.bold ? "700" : "400") + ";";
    }
    if (row.align != TextAlign::NoAlign) style += "text-align:" + std::string(Align(row.align)) + ";";
    return style;
}

struct IconImage {
    std::string_view alt;
    std::string_view source;
};

// The three icons of the boxes, drawn as small images with what they mean
// for a screen reader.
IconImage BoxIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Question:
            return {"Вопрос",
                    "data:image/svg+xml,%3Csvg xmlns='http://www.w3.org/2000/svg' width='32' height='32'%3E"
                    "%3Ccircle cx='16' cy='16' r='15' fill='%23fff' stroke='%23236fd1' stroke-width='2'/%3E"
                    "%3Ctext x='16' y='23' font-family='Arial,sans-serif' font-size='21' font-weight='700' "
                    "text-anchor='middle' fill='%23236fd1'%3E%3F%3C/text%3E%3C/svg%3E"};
        case MessageIcon::Information:
            return {"Информация",
                    "data:image/svg+xml,%3Csvg xmlns='http://www.w3.org/2000/svg' width='32' height='32'%3E"
                    "%3Ccircle cx='16' cy='16' r='15' fill='%23236fd1'/%3E"
                    "%3Crect x='14' y='13' width='4' height='11' fill='%23fff'/%3E"
                    "%3Ccircle cx='16' cy='8.5' r='2.5' fill='%23fff'/%3E%3C/svg%3E"};
        case MessageIcon::Critical: break;
    }
    return {"Ошибка",
            "data:image/svg+xml,%3Csvg xmlns='http://www.w3.org/2000/svg' width='32' height='32'%3E"
            "%3Ccircle cx='16' cy='16' r='15' fill='%23d11f1f'/%3E"
            "%3Cpath d='M10 10L22 22M22 10L10 22' stroke='%23fff' stroke-width='3.5'/%3E%3C/svg%3E"};
}

}  // namespace

Form1::Form1(Form1Settings settings)
    : FormCore(WindowServices{[this](std::string_view prompt, std::string_view title, MessageIcon icon) {
                                  return PresentMessage(prompt, title, icon);
                              },
                              [this](int exitStatus) { EndEventLoop(exitStatus); },
                              [this](double delayMs) { ArmTimer(delayMs); }, [] { return page_now(); }}),
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

void Form1::Build() {
    const std::string title(kForm1Title);
    page_create_window(title.c_str());
    captions_[Index(Control::Form1)] = title;
    visible_[Index(Control::Form1)] = true;
    page_set_style(Id(Control::Form1), "background-color", Css(kForm1BackColour).c_str());
    // Elements go into the page in tab order and then as stacked, so that a
    // screen reader's reading order follows the focus order; the stacking
    // itself comes from the table's order. The frame is made before the
    // options that go inside it.
    const auto& layout = Form1Layout();
    for (const Control parent : {Control::Form1, Control::Frame1}) {
        for (Control control : CreationOrder()) {
            const auto at = std::find_if(layout.begin(), layout.end(),
                                         [control](const ControlLayout& row) { return row.control == control; });
            if (at->parent == parent) CreateControl(*at, static_cast<int>(layout.end() - at));
        }
    }
}

void Form1::CreateControl(const ControlLayout& row, int stackLevel) {
    const Control control = row.control;
    const std::string kind(Kind(row.kind));
    const std::string id(ControlName(control));
    page_create(Id(control), kind.c_str(), id.c_str(), Id(row.parent), InitialStyle(row, stackLevel).c_str());
    visible_[Index(control)] = row.visible;
    tops_[Index(control)] = TwipsToPixels(row.top);
    if (row.kind == ControlKind::PictureBox) {
        const std::string alt(kTitleImageText);
        page_set_attribute(Id(control), "alt", alt.c_str());
    } else {
        SetCaption(control, row.caption);
    }
    page_set_flag(Id(control), "hidden", !row.visible);
}

void Form1::Show() {
    page_show_window();
    FocusControl(Control::Command1);
}

// ---- Events from the page ----

void Form1::Click(Control control) {
    if (BoxOpen() || Ended() || !InReach(control)) return;
    if (IsCommand(control)) {
        Deliver(FormCore::ClickProcedure(control));
    }
    // A click on an option selects it (the browser did that itself); no
    // procedure runs, the logic reads the selection when it checks.
}

bool Form1::PressKey(Key key, bool shift) {
    if (BoxOpen()) {
        // Nothing behind the box takes a key; the box's own keys close it.
        if (key == Key::Enter || key == Key::Space || key == Key::Escape) CloseBox();
        return true;
    }
    if (Ended()) return false;
    const Control focused = Focused();
    switch (key) {
        case Key::Tab: FocusControl(NextTabStop(focused, shift)); return true;
        case Key::Enter:
        case Key::Space:
            if (IsCommand(focused) && InReach(focused)) {
                Deliver(FormCore::ClickProcedure(focused));
            } else if (key == Key::Space && IsOption(focused) && InReach(focused)) {
                page_set_checked(Id(focused), 1);
            }
            return true;
        case Key::Escape: return false;
        case Key::Left:
        case Key::Up:
        case Key::Right:
        case Key::Down:
            if (!IsOption(focused)) return false;
            MoveWithinOptions(focused, key == Key::Down || key == Key::Right);
            return true;
    }
    return false;
}

// The page's timer only wakes the core when the next tick is due (the
// script layer calls TimerFired); the core counts the ticks from
// performance.now() and arms it again.
void Form1::ArmTimer(double delayMs) {
    if (current_ != this) return;
    if (delayMs < 0) {
        page_cancel_tick();
    } else if (settings_.ownClock) {
        page_schedule_tick(delayMs);
    }
}

// ---- Keyboard and focus ----

// Whether the pupil can reach a control: shown, and inside its container.
bool Form1::InReach(Control control) const {
    return control != Control::Form1 && visible_[Index(control)] && !outside_[Index(control)];
}

// Tab enters the option group once: at the selected option, or with none
// selected at the topmost one.
Control Form1::OptionTabStop() const {
    Control stop = Control::Form1;
    for (int n = 1; n <= 4; ++n) {
        const Control option = OptionControl(n);
        if (!InReach(option)) continue;
        if (Selected(option)) return option;
        if (stop == Control::Form1 || tops_[Index(option)] < tops_[Index(stop)]) stop = option;
    }
    return stop;
}

bool Form1::IsTabStop(Control control) const {
    return IsOption(control) ? control == OptionTabStop() : InReach(control);
}

Control Form1::NextTabStop(Control from, bool back) const {
    std::vector<Control> order = TabOrder();
    if (back) std::reverse(order.begin(), order.end());
    const auto count = static_cast<std::ptrdiff_t>(order.size());
    const auto at = std::find(order.begin(), order.end(), from);
    const std::ptrdiff_t start = at == order.end() ? -1 : at - order.begin();
    for (std::ptrdiff_t step = 1; step <= count; ++step) {
        const Control candidate = order[static_cast<std::size_t>((start + step + count) % count)];
        // Leaving an option goes past the rest of its group.
        if (IsOption(from) && IsOption(candidate)) continue;
        if (IsTabStop(candidate)) return candidate;
    }
    return from;
}

// The arrow keys move within the group in the order the options are drawn,
// top to bottom, select the option they reach, and wrap.
void Form1::MoveWithinOptions(Control from, bool forward) {
    std::vector<Control> options;
    for (int n = 1; n <= 4; ++n) {
        if (InReach(OptionControl(n))) options.push_back(OptionControl(n));
    }
    const auto at = std::find(options.begin(), options.end(), from);
    if (at == options.end()) return;
    std::stable_sort(options.begin(), options.end(),
                     [this](Control a, Control b) { return tops_[Index(a)] < tops_[Index(b)]; });
    const auto count = options.size();
    const auto position = static_cast<std::size_t>(std::find(options.begin(), options.end(), from) - options.begin());
    const Control next = options[(position + (forward ? 1 : count - 1)) % count];
    page_set_checked(Id(next), 1);
    FocusControl(next);
}

void Form1::FocusControl(Control control) { page_focus(Id(control)); }

Control Form1::Focused() const {
    const int index = page_focused();
    return index >= 0 && index < kControlCount ? static_cast<Control>(index) : Control::Form1;
}

// A control that leaves the pupil's reach cannot keep the focus: it passes
// to the next one.
void Form1::PassFocusOnIfUnreachable(Control control) {
    if (InReach(control) || Focused() != control) return;
    const Control next = NextTabStop(control, false);
    FocusControl(next != control ? next : Control::Form1);
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
    tops_[Index(control)] = TwipsToPixels(topTwips);
    // Out of its container a control is out of every way in: not drawn,
    // not focusable, not found by find-in-page, not clicked.
    outside_[Index(control)] = LiesOutsideContainer(control, leftTwips, topTwips);
    page_set_flag(Id(control), "outside", outside_[Index(control)]);
    PassFocusOnIfUnreachable(control);
}

void Form1::SetBackColor(Control control, std::uint32_t bgr) {
    if (control == Control::Timer1) return;
    page_set_style(Id(control), "background-color", Css(bgr).c_str());
}

void Form1::SetVisible(Control control, bool visible) {
    if (control == Control::Timer1) return;
    if (control == Control::Form1) {
        if (visible) {
            hideWhenBoxCloses_ = false;
            page_set_flag(Id(control), "hidden", 0);
        } else {
            HideWindow();
        }
        return;
    }
    visible_[Index(control)] = visible;
    page_set_flag(Id(control), "hidden", !visible);
    PassFocusOnIfUnreachable(control);
}

bool Form1::Selected(Control option) const { return IsOption(option) && page_checked(Id(option)) != 0; }

void Form1::ClearSelected(Control option) {
    if (IsOption(option)) page_set_checked(Id(option), 0);
}

// ---- Services ----

int Form1::PresentMessage(std::string_view prompt, std::string_view title, MessageIcon icon) {
    if (!BoxOpen()) focusBeforeBox_ = Focused();
    boxes_.push_back(Box{std::string(prompt), std::string(title), icon});
    if (boxes_.size() == 1) OpenBox(boxes_.front());
    return kOkResult;
}

void Form1::OpenBox(const Box& box) {
    const IconImage image = BoxIcon(box.icon);
    const std::string alt(image.alt);
    const std::string source(image.source);
    page_open_box(box.title.c_str(), box.prompt.c_str(), alt.c_str(), source.c_str());
}

void Form1::CloseBox() {
    if (!BoxOpen()) return;
    boxes_.pop_front();
    page_close_box();
    if (BoxOpen()) {
        OpenBox(boxes_.front());
        return;
    }
    if (hideWhenBoxCloses_ || endStatusWhenBoxCloses_ >= 0) {
        FinishEnd();
        return;
    }
    FocusControl(InReach(focusBeforeBox_) ? focusBeforeBox_ : NextTabStop(focusBeforeBox_, false));
}

void Form1::PageClosing() {
    CloseRequested();
    if (current_ == this) page_remove_window();
}

// The end of the program waits for an open box: the pupil reads it first.
void Form1::HideWindow() {
    if (BoxOpen()) {
        hideWhenBoxCloses_ = true;
        return;
    }
    if (current_ == this) page_set_flag(Id(Control::Form1), "hidden", 1);
}

void Form1::EndEventLoop(int exitStatus) {
    if (BoxOpen()) {
        endStatusWhenBoxCloses_ = exitStatus;
        return;
    }
    if (current_ == this) page_show_end(exitStatus);
}

void Form1::FinishEnd() {
    if (hideWhenBoxCloses_ && current_ == this) page_set_flag(Id(Control::Form1), "hidden", 1);
    if (endStatusWhenBoxCloses_ >= 0 && current_ == this) page_show_end(endStatusWhenBoxCloses_);
    hideWhenBoxCloses_ = false;
    endStatusWhenBoxCloses_ = -1;
}

}  // namespace infotest::web

// ---- The entry points of the script layer ----
//
// No exception may leave into the browser's event loop: this is the page's
// one edge, and what it catches goes to the core's error boundary.

namespace {

template <typename Result, typename Body>
Result Guarded(Result fallback, Body body) {
    infotest::web::Form1* form = infotest::web::Form1::Current();
    Result result = fallback;
    if (form != nullptr) form->Guarded([&] { result = body(*form); });
    return result;
}

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void infotest_click(int control) {
    if (control < 0 || control >= infotest::kControlCount) return;
    Guarded(0, [control](infotest::web::Form1& form) {
        form.Click(static_cast<infotest::Control>(control));
        return 0;
    });
}

EMSCRIPTEN_KEEPALIVE int infotest_key(int key, int shift) {
    return Guarded(0, [key, shift](infotest::web::Form1& form) {
        return form.PressKey(static_cast<infotest::Key>(key), shift != 0) ? 1 : 0;
    });
}

EMSCRIPTEN_KEEPALIVE void infotest_clock() {
    Guarded(0, [](infotest::web::Form1& form) {
        form.TimerFired();
        return 0;
    });
}

EMSCRIPTEN_KEEPALIVE void infotest_close_box() {
    Guarded(0, [](infotest::web::Form1& form) {
        form.CloseBox();
        return 0;
    });
}

EMSCRIPTEN_KEEPALIVE int infotest_box_open() {
    return Guarded(0, [](infotest::web::Form1& form) { return form.BoxOpen() ? 1 : 0; });
}

EMSCRIPTEN_KEEPALIVE void infotest_page_closing() {
    Guarded(0, [](infotest::web::Form1& form) {
        form.PageClosing();
        return 0;
    });
}

}  // extern "C"
