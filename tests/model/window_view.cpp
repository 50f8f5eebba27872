#include "tests/model/window_view.h"

#include <algorithm>
#include <sstream>

namespace infotest::model {
namespace {

constexpr std::uint32_t kWindowGreen = 0xC0FFC0;
constexpr std::uint32_t kButtonGreen = 0x80FF80;
constexpr std::uint32_t kButtonYellow = 0x80FFFF;

WindowView MakeOpeningWindow() {
    WindowView window;
    auto set = [&window](Control control, std::string caption, double left, int top, std::uint32_t backColor,
                         bool visible) {
        window[control] = ControlView{std::move(caption), left, top, backColor, visible, false};
    };
    set(Control::Form1, "Информация. Измерение информации. Ловенда", 0, 0, kWindowGreen, true);
    set(Control::Command4, "Следующий вопрос", 4560, 5400, kButtonGreen, false);
    set(Control::Picture1, "", 720, 1200, kWindowGreen, true);
    set(Control::Command3, "Выход", 8160, 5400, kButtonGreen, true);
    set(Control::Command2, "Проверить", 2040, 5400, kButtonGreen, true);
    set(Control::Command1, "Начать тест", 5160, 5400, kButtonYellow, true);
    set(Control::Frame1, "", 960, 2280, kWindowGreen, true);
    for (int n = 1; n <= 4; ++n) set(OptionControl(n), "", 360, 360, kWindowGreen, false);
    set(Control::Label15, "За ответ на 5 и более вопросов - оценка", 120, 6000, kWindowGreen, true);
    set(Control::Label14, "", 3240, 4920, kWindowGreen, false);
    set(Control::Label13, "", 6240, 480, kWindowGreen, true);
    set(Control::Label12, ":", 6000, 480, kWindowGreen, true);
    set(Control::Label11, "", 5280, 480, kWindowGreen, true);
    set(Control::Label10, "мин  :  сек", 5400, 120, kWindowGreen, true);
    set(Control::Label9, "автор: Зуверина февраль 2010 г.", 7800, 6000, kWindowGreen, true);
    set(Control::Label8, "", 10440, 120, kWindowGreen, true);
    set(Control::Label7, "", 4920, 5880, kWindowGreen, true);
    set(Control::Label6, "", 10080, 120, kWindowGreen, true);
    set(Control::Label5, "Вопрос:", 8880, 120, kWindowGreen, true);
    set(Control::Label4, "", 10080, 480, kWindowGreen, true);
    set(Control::Label3, "Ошибок:", 8880, 480, kWindowGreen, true);
    set(Control::Label2, "2009-2010 уч. год", 840, 240, kWindowGreen, true);
    set(Control::Label1, "", 720, 1080, kWindowGreen, true);
    window.timerEnabled = true;
    return window;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string_view IconName(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Question: return "question";
        case MessageIcon::Information: return "information";
        case MessageIcon::Critical: return "critical";
    }
    return "?";
}

// Whether two views of a control agree in everything the control has.
bool SameControl(Control control, const ControlView& a, const ControlView& b) {
    if (control == Control::Timer1) return true;
    const bool samePlace = control == Control::Form1 || (a.left == b.left && a.top == b.top);
    // The picture box shows an image and has no back colour of its own.
    const bool sameColor = control == Control::Picture1 || a.backColor == b.backColor;
    return samePlace && sameColor && a.caption == b.caption && a.visible == b.visible && a.selected == b.selected;
}

bool SameWindow(const WindowView& a, const WindowView& b) {
    if (a.timerEnabled != b.timerEnabled) return false;
    for (int index = 0; index < kControlCount; ++index) {
        const auto control = static_cast<Control>(index);
        if (!SameControl(control, a[control], b[control])) return false;
    }
    return true;
}

template <typename T>
void Note(std::ostringstream& out, std::string_view what, const T& expected, const T& shown) {
    if (expected == shown) return;
    out << std::boolalpha << what << ": expected " << expected << ", shown " << shown << '\n';
}

void NoteWindow(std::ostringstream& out, const std::string& prefix, const WindowView& expected,
                const WindowView& shown) {
    for (int index = 0; index < kControlCount; ++index) {
        const auto control = static_cast<Control>(index);
        const ControlView& want = expected[control];
        const ControlView& got = shown[control];
        if (SameControl(control, want, got)) continue;
        const std::string name = prefix + std::string(ControlName(control));
        Note(out, name + ".caption", Quoted(want.caption), Quoted(got.caption));
        if (control != Control::Form1) {
            Note(out, name + ".left", want.left, got.left);
            Note(out, name + ".top", want.top, got.top);
        }
        if (control != Control::Picture1) Note(out, name + ".backColor", want.backColor, got.backColor);
        Note(out, name + ".visible", want.visible, got.visible);
        Note(out, name + ".selected", want.selected, got.selected);
    }
    Note(out, prefix + "Timer1.enabled", expected.timerEnabled, shown.timerEnabled);
}

}  // namespace

const WindowView& OpeningWindow() {
    static const WindowView kOpening = MakeOpeningWindow();
    return kOpening;
}

std::string Describe(const PupilEvent& event) {
    switch (event.action) {
        case Action::Start: return "Start";
        case Action::Choose: return "Choose " + std::to_string(event.option);
        case Action::Check: return "Check";
        case Action::NextClick: return "NextClick";
        case Action::NextKey: return "NextKey";
        case Action::Exit: return "Exit";
        case Action::Tick: return "Tick";
        case Action::Close: return "Close";
    }
    return "?";
}

bool WindowTakes(const WindowView& view, const PupilEvent& event) {
    auto clickable = [&view](Control control) {
        const ControlView& c = view[control];
        return c.visible && c.left < kClientWidthTwips && c.top < kClientHeightTwips;
    };
    switch (event.action) {
        case Action::Start: return clickable(Control::Command1);
        case Action::Choose: return event.option >= 1 && event.option <= 4 && clickable(OptionControl(event.option));
        case Action::Check: return clickable(Control::Command2);
        case Action::NextClick: return clickable(Control::Command4);
        case Action::NextKey: return view[Control::Command4].visible;
        case Action::Exit: return clickable(Control::Command3);
        case Action::Tick: return view.timerEnabled;
        case Action::Close: return true;
    }
    return false;
}

bool Agree(const Observation& expected, const Observation& shown) {
    if (expected.ended != shown.ended || expected.reseeds != shown.reseeds ||
        expected.touchesAfterEnd != shown.touchesAfterEnd || expected.boxes.size() != shown.boxes.size())
        return false;
    if (expected.ended && expected.exitStatus != shown.exitStatus) return false;
    for (std::size_t i = 0; i < expected.boxes.size(); ++i) {
        const ShownBox& want = expected.boxes[i];
        const ShownBox& got = shown.boxes[i];
        if (want.prompt != got.prompt || want.title != got.title || want.icon != got.icon ||
            !SameWindow(want.windowBehind, got.windowBehind))
            return false;
    }
    return SameWindow(expected.window, shown.window);
}

std::string Differences(const WindowView& expected, const WindowView& shown) {
    std::ostringstream out;
    NoteWindow(out, "", expected, shown);
    return out.str();
}

std::string Differences(const Observation& expected, const Observation& shown) {
    std::ostringstream out;
    NoteWindow(out, "", expected.window, shown.window);
    Note(out, "ended", expected.ended, shown.ended);
    if (expected.ended && shown.ended) Note(out, "exit status", expected.exitStatus, shown.exitStatus);
    Note(out, "re-seeds", expected.reseeds, shown.reseeds);
    Note(out, "calls after the end", expected.touchesAfterEnd, shown.touchesAfterEnd);
    Note(out, "boxes opened", expected.boxes.size(), shown.boxes.size());
    const std::size_t common = std::min(expected.boxes.size(), shown.boxes.size());
    for (std::size_t i = 0; i < common; ++i) {
        const ShownBox& want = expected.boxes[i];
        const ShownBox& got = shown.boxes[i];
        const std::string prefix = "box " + std::to_string(i + 1) + " ";
        Note(out, prefix + "prompt", Quoted(want.prompt), Quoted(got.prompt));
        Note(out, prefix + "title", Quoted(want.title), Quoted(got.title));
        Note(out, prefix + "icon", IconName(want.icon), IconName(got.icon));
        NoteWindow(out, prefix + "behind: ", want.windowBehind, got.windowBehind);
    }
    if (expected.boxes.size() != shown.boxes.size()) {
        for (std::size_t i = common; i < expected.boxes.size(); ++i)
            out << "box " << i + 1 << " expected: " << Quoted(expected.boxes[i].prompt) << '\n';
        for (std::size_t i = common; i < shown.boxes.size(); ++i)
            out << "box " << i + 1 << " shown: " << Quoted(shown.boxes[i].prompt) << '\n';
    }
    return out.str();
}

}  // namespace infotest::model
