#include "tests/model/real_window.h"

#include <cmath>
#include <stdexcept>
#include <string>

#include "bank/question_bank.h"

namespace infotest::model {
namespace {

// Whether a pupil's action reaches the logic of a real window, by the
// model's view of the window: as the model has it, except that a keyboard
// press of Next finds no button once the button is out of the window.
bool ReachesTheLogic(const WindowView& view, const PupilEvent& event) {
    if (event.action != Action::NextKey) return true;
    const ControlView& next = view[Control::Command4];
    return next.left < kClientWidthTwips && next.top < kClientHeightTwips;
}

// An option that does not exist: the model takes it as an action the window
// does not pass on, which changes nothing and opens no box.
constexpr PupilEvent kNothing{Action::Choose, 0};

}  // namespace

void RealWindow::Open(const Sequence& sequence) {
    unreachableNextKeys_ = 0;
    OpenWindow(sequence);
}

void RealWindow::PressNextFromTheKeyboard() {
    for (int step = 0; step < kControlCount && Focused() != Control::Command4; ++step) PressKey(Key::Tab);
    if (Focused() != Control::Command4) {
        ++unreachableNextKeys_;
        return;
    }
    PressKey(Key::Space);
}

void RealWindow::Apply(const PupilEvent& event) {
    if (!TakesActions()) return;
    switch (event.action) {
        case Action::Start: ClickControl(Control::Command1); break;
        case Action::Check: ClickControl(Control::Command2); break;
        case Action::Exit: ClickControl(Control::Command3); break;
        case Action::NextClick: ClickControl(Control::Command4); break;
        case Action::NextKey: PressNextFromTheKeyboard(); break;
        case Action::Choose:
            if (event.option >= 1 && event.option <= 4) ClickControl(OptionControl(event.option));
            break;
        case Action::Tick: DeliverTick(); break;
        case Action::Close: RequestClose(); break;
    }
}

double OnPixelGrid(double twips) { return static_cast<double>(std::lround(twips / kTwipsPerPixel)) * kTwipsPerPixel; }

void PutOnPixelGrid(WindowView& view) {
    for (ControlView& control : view.controls) {
        control.left = OnPixelGrid(control.left);
        control.top = static_cast<int>(OnPixelGrid(control.top));
    }
}

namespace {

// What is wrong with the options' descriptions for a screen reader, where
// the window gives them: each must name the question shown, with its
// number, once the test has shown one. Empty when nothing is.
std::string DescriptionLag(const RealWindow& window, const WindowView& shown) {
    const std::string& question = shown[Control::Label1].caption;
    const std::string& number = shown[Control::Label6].caption;
    if (question.empty() || number.empty()) return {};
    const std::string heading = "Вопрос " + number + " из " + std::to_string(kQuestionCount) + ".";
    std::string lag;
    for (int n = 1; n <= 4; ++n) {
        const std::optional<std::string> description = window.AnswerDescription(OptionControl(n));
        if (!description) return {};
        if (description->find(heading) == std::string::npos || description->find(question) == std::string::npos) {
            lag += std::string(ControlName(OptionControl(n))) + "'s description \"" + *description +
                   "\" does not name the question shown: " + heading + " " + question + "\n";
        }
    }
    return lag;
}

}  // namespace

SideBySideResult RunOnRealWindow(const Sequence& sequence, RealWindow& window, ModelFault fault) {
    SideBySideResult result;
    TestModel model(DrawsOf(sequence), ModelOptions{fault, sequence.openingSeconds});

    Observation shown;
    window.Open(sequence);
    window.Observe(shown);
    auto compare = [&](std::size_t step) {
        if (window.TickedByItself()) {
            result.invalid = "Timer1 ticked by itself: the test ran the event loop for over a second";
            return false;
        }
        Observation expected = model.Observed();
        PutOnPixelGrid(expected.window);
        for (ShownBox& box : expected.boxes) PutOnPixelGrid(box.windowBehind);
        // Once the program has ended no tick may come any more: the model
        // leaves its clock as it was, the window must have stopped it.
        if (expected.ended) expected.window.timerEnabled = false;
        if (!Agree(expected, shown)) {
            result.divergence = Divergence{step, Differences(expected, shown)};
            return false;
        }
        const std::string lag = DescriptionLag(window, shown.window);
        if (lag.empty()) return true;
        result.divergence = Divergence{step, lag};
        return false;
    };
    if (compare(0)) {
        for (std::size_t i = 0; i < sequence.events.size(); ++i) {
            const PupilEvent& event = sequence.events[i];
            const bool reaches = ReachesTheLogic(model.Observed().window, event);
            window.Apply(event);
            try {
                model.Apply(reaches ? event : kNothing);
            } catch (const std::logic_error& error) {
                result.invalid = error.what();
                break;
            }
            window.Observe(shown);
            ++result.steps;
            if (!compare(i + 1)) break;
        }
    }
    result.facts = model.Facts();
    return result;
}

}  // namespace infotest::model
