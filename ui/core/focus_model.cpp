#include "ui/core/focus_model.h"

#include <algorithm>
#include <utility>

#include "ui/layout/form1_layout.h"

namespace infotest {

FocusModel::FocusModel(const Controls& window) : window_(window) {
    for (const ControlLayout& row : Form1Layout()) {
        shown_[Index(row.control)] = row.visible && TakesFocus(row.kind);
        tops_[Index(row.control)] = row.top;
        outside_[Index(row.control)] = LiesOutsideContainer(row.control, row.left, row.top);
    }
}

std::optional<Control> FocusModel::Moved(Control control, double leftTwips, int topTwips, Control focused) {
    if (FindLayout(control) == nullptr) return std::nullopt;
    tops_[Index(control)] = topTwips;
    outside_[Index(control)] = LiesOutsideContainer(control, leftTwips, topTwips);
    return PassOnIfUnreachable(control, focused);
}

std::optional<Control> FocusModel::ShownChanged(Control control, bool shown, Control focused) {
    const ControlLayout* row = FindLayout(control);
    if (row == nullptr) return std::nullopt;
    shown_[Index(control)] = shown && TakesFocus(row->kind);
    return PassOnIfUnreachable(control, focused);
}

std::optional<Control> FocusModel::PassOnIfUnreachable(Control control, Control focused) const {
    if (focused != control || InReach(control)) return std::nullopt;
    const Control next = NextTabStop(control, false);
    return next != control ? next : Control::Form1;
}

bool FocusModel::InReach(Control control) const {
    return control != Control::Form1 && shown_[Index(control)] && !outside_[Index(control)];
}

Control FocusModel::OptionTabStop() const {
    const std::vector<Control> options = OptionsInDrawnOrder();
    for (Control option : options) {
        if (window_.Selected(option)) return option;
    }
    return options.empty() ? Control::Form1 : options.front();
}

bool FocusModel::IsTabStop(Control control) const {
    return IsOption(control) ? control == OptionTabStop() : InReach(control);
}

Control FocusModel::NextTabStop(Control from, bool back) const {
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

std::vector<Control> FocusModel::OptionsInDrawnOrder() const {
    std::vector<Control> options;
    for (int n = 1; n <= 4; ++n) {
        if (InReach(OptionControl(n))) options.push_back(OptionControl(n));
    }
    std::stable_sort(options.begin(), options.end(),
                     [this](Control a, Control b) { return tops_[Index(a)] < tops_[Index(b)]; });
    return options;
}

FocusAnswer FocusModel::PressKey(Key key, bool shift, bool repeat, Control focused) const {
    FocusAnswer answer;
    if (BoxOpen()) {
        // Nothing behind the box takes a key; its own keys close it.
        answer.handled = true;
        const bool closes = key == Key::Enter || key == Key::Space || key == Key::Escape;
        if (closes && !repeat) {
            answer.closeBox = true;
        } else {
            answer.focusBox = true;
        }
        return answer;
    }
    switch (key) {
        case Key::Tab:
            answer.handled = true;
            answer.focus = NextTabStop(focused, shift);
            break;
        case Key::Enter:
        case Key::Space:
            // A held key presses once: its repeats would otherwise race
            // through the questions.
            answer.handled = true;
            if (repeat || !InReach(focused)) break;
            if (IsCommand(focused)) {
                answer.deliver = FormCore::ClickProcedure(focused);
            } else if (key == Key::Space && IsOption(focused)) {
                answer.select = focused;
            }
            break;
        case Key::Left:
        case Key::Up:
        case Key::Right:
        case Key::Down: {
            const std::vector<Control> options = OptionsInDrawnOrder();
            const auto at = std::find(options.begin(), options.end(), focused);
            if (at == options.end()) break;
            const std::size_t count = options.size();
            const auto position = static_cast<std::size_t>(at - options.begin());
            const bool forward = key == Key::Down || key == Key::Right;
            const Control next = options[(position + (forward ? 1 : count - 1)) % count];
            answer.handled = true;
            answer.select = next;
            answer.focus = next;
            break;
        }
        default: break;  // Escape and every other key keep the toolkit's meaning
    }
    return answer;
}

FocusAnswer FocusModel::Click(Control control) const {
    FocusAnswer answer;
    if (BoxOpen()) {
        answer.handled = true;
        answer.focusBox = true;
    } else if (IsCommand(control) && InReach(control)) {
        // A click on an option selects it (the toolkit did that itself);
        // no procedure runs, the logic reads the selection when it checks.
        answer.deliver = FormCore::ClickProcedure(control);
    }
    return answer;
}

FocusAnswer FocusModel::ClickBoxButton() const {
    FocusAnswer answer;
    answer.handled = answer.closeBox = BoxOpen();
    return answer;
}

FocusAnswer FocusModel::PointerDown(bool onBoxButton) const { return FocusArrived(onBoxButton); }

FocusAnswer FocusModel::FocusArrived(bool onBoxButton) const {
    FocusAnswer answer;
    answer.handled = answer.focusBox = BoxOpen() && !onBoxButton;
    return answer;
}

bool FocusModel::QueueBox(QueuedBox box, Control focused) {
    if (!BoxOpen()) focusBeforeBox_ = focused;
    boxes_.push_back(std::move(box));
    return boxes_.size() == 1;
}

AfterBox FocusModel::CloseBox() {
    AfterBox after;
    if (!BoxOpen()) return after;
    boxes_.pop_front();
    if (BoxOpen()) {
        after.nextBox = true;
        return after;
    }
    if (hideWhenBoxCloses_ || endWhenBoxCloses_) {
        after.hideWindow = std::exchange(hideWhenBoxCloses_, false);
        after.endStatus = std::exchange(endWhenBoxCloses_, std::nullopt);
        announceWhenBoxCloses_.reset();
        return after;
    }
    after.announce = std::exchange(announceWhenBoxCloses_, std::nullopt);
    after.focus = InReach(focusBeforeBox_) ? focusBeforeBox_ : NextTabStop(focusBeforeBox_, false);
    return after;
}

bool FocusModel::HoldHide() {
    hideWhenBoxCloses_ = BoxOpen();
    return hideWhenBoxCloses_;
}

bool FocusModel::HoldEnd(int exitStatus) {
    if (!BoxOpen()) return false;
    endWhenBoxCloses_ = exitStatus;
    return true;
}

bool FocusModel::HoldAnnouncement(std::string text) {
    if (!BoxOpen()) return false;
    announceWhenBoxCloses_ = std::move(text);
    return true;
}

void FocusModel::DropBoxes() {
    boxes_.clear();
    hideWhenBoxCloses_ = false;
    endWhenBoxCloses_.reset();
    announceWhenBoxCloses_.reset();
}

}  // namespace infotest
