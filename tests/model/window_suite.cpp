#include "tests/model/window_suite.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <ostream>
#include <vector>

#include "bank/question_bank.h"
#include "ui/core/form_core.h"

namespace infotest {

void PrintTo(Control control, std::ostream* out) { *out << ControlName(control); }

}  // namespace infotest

namespace infotest::model {

void PrintTo(const WindowKind& kind, std::ostream* out) { *out << kind.name; }

std::string WindowKindName(const ::testing::TestParamInfo<WindowKind>& info) { return info.param.name; }

namespace {

// The draws that deal the questions in the bank's order, then the
// arrangement with, from the top, Option3, Option2, Option4, Option1.
Sequence OrderedSequence() {
    Sequence sequence;
    for (int i = 0; i < kQuestionCount; ++i) sequence.draws.push_back((i + 0.5) / kQuestionCount);
    sequence.draws.push_back(0.30);
    return sequence;
}

bool Holds(const std::vector<Control>& controls, Control control) {
    return std::find(controls.begin(), controls.end(), control) != controls.end();
}

}  // namespace

void EveryWindow::SetUp() {
    window = GetParam().open();
    window->Open(OrderedSequence());
}

Observation EveryWindow::Look() {
    Observation observation;
    window->Observe(observation);
    boxes.insert(boxes.end(), observation.boxes.begin(), observation.boxes.end());
    return observation;
}

std::string EveryWindow::CaptionOf(Control control) { return Look().window[control].caption; }

void EveryWindow::Do(Action action, int option) { window->Apply(PupilEvent{action, option}); }

void EveryWindow::TabTo(Control control) {
    for (int step = 0; step < kControlCount && window->Focused() != control; ++step) window->PressKey(Key::Tab);
    ASSERT_EQ(window->Focused(), control) << "Tab never reaches " << ControlName(control);
}

std::vector<Control> EveryWindow::TabCycle() {
    std::vector<Control> cycle;
    const Control first = window->Focused();
    for (int step = 0; step < 2 * kControlCount; ++step) {
        window->PressKey(Key::Tab);
        const Control now = window->Focused();
        if (now == first) break;
        cycle.push_back(now);
    }
    return cycle;
}

std::vector<Control> EveryWindow::OptionsTopDown() {
    const Observation shown = Look();
    std::vector<Control> options{Control::Option1, Control::Option2, Control::Option3, Control::Option4};
    std::stable_sort(options.begin(), options.end(),
                     [&](Control a, Control b) { return shown.window[a].top < shown.window[b].top; });
    return options;
}

// ---- The Tab order ----

TEST_P(EveryWindow, TheFocusStartsOnStartAndTabWrapsRoundTheTitleScreen) {
    EXPECT_EQ(window->Focused(), Control::Command1);
    for (const Control expected : {Control::Command2, Control::Command3, Control::Picture1, Control::Command1}) {
        window->PressKey(Key::Tab);
        EXPECT_EQ(window->Focused(), expected);
    }
    window->PressKey(Key::Tab, true);
    EXPECT_EQ(window->Focused(), Control::Picture1);
}

// Enter presses the focused Start; Start hides itself and passes the focus
// on to Check.
TEST_P(EveryWindow, EnterPressesTheFocusedButton) {
    window->PressKey(Key::Enter);
    EXPECT_EQ(CaptionOf(Control::Label6), "1");
    EXPECT_FALSE(Look().window[Control::Command1].visible);
    EXPECT_EQ(window->Focused(), Control::Command2);
}

// After Start the title image has left the window and the option group is
// one stop, entered at its topmost option while none is selected.
TEST_P(EveryWindow, AfterStartTabSkipsTheTitleImageAndEntersTheOptionsAtTheTopmost) {
    window->PressKey(Key::Space);
    ASSERT_EQ(CaptionOf(Control::Label6), "1");
    ASSERT_EQ(OptionsTopDown().front(), Control::Option3);
    TabTo(Control::Command2);
    EXPECT_EQ(TabCycle(), (std::vector<Control>{Control::Command3, Control::Command4, Control::Option3}));
}

TEST_P(EveryWindow, TabEntersTheOptionsAtTheSelectedOne) {
    Do(Action::Start);
    Do(Action::Choose, 2);
    TabTo(Control::Command2);
    EXPECT_EQ(TabCycle(), (std::vector<Control>{Control::Command3, Control::Command4, Control::Option2}));
}

// The arrows move through the options in the order the pupil sees them,
// wrap at either end, and select the option they reach.
TEST_P(EveryWindow, ArrowsSelectTheOptionsInTheirDrawnOrderAndWrap) {
    Do(Action::Start);
    Do(Action::Choose, 2);
    TabTo(Control::Option2);
    const std::vector<Control> drawn = OptionsTopDown();
    const auto from = static_cast<std::size_t>(std::find(drawn.begin(), drawn.end(), Control::Option2) - drawn.begin());
    for (std::size_t i = 1; i <= 4; ++i) {
        window->PressKey(Key::Down);
        const Control expected = drawn[(from + i) % 4];
        EXPECT_EQ(window->Focused(), expected) << "Down " << i;
        const Observation shown = Look();
        for (const Control option : drawn) EXPECT_EQ(shown.window[option].selected, option == expected) << "Down " << i;
    }
    for (int step = 0; step < 4 && window->Focused() != drawn.front(); ++step) window->PressKey(Key::Down);
    ASSERT_EQ(window->Focused(), drawn.front());
    window->PressKey(Key::Up);  // wraps to the bottom one
    EXPECT_EQ(window->Focused(), drawn.back());
    EXPECT_TRUE(Look().window[drawn.back()].selected);
    // Tab comes back into the group at the option selected now.
    TabTo(Control::Command2);
    EXPECT_EQ(TabCycle(), (std::vector<Control>{Control::Command3, Control::Command4, drawn.back()}));
}

// ---- Keys held down ----

// The keyboard repeats a held key; a button is pressed once all the same.
// After Start the focus is on Check, which with nothing selected would open
// a box for every press.
TEST_P(EveryWindow, AHeldKeyPressesTheButtonOnce) {
    for (const Key key : {Key::Enter, Key::Space}) {
        SCOPED_TRACE(key == Key::Enter ? "Enter" : "Space");
        window = GetParam().open();
        window->Open(OrderedSequence());
        boxes.clear();
        window->HoldKey(key, 5);
        EXPECT_EQ(CaptionOf(Control::Label6), "1");
        EXPECT_TRUE(boxes.empty()) << "the repeats pressed the next button too";
        ASSERT_EQ(window->Focused(), Control::Command2);
        boxes.clear();
        window->HoldKey(key, 5);
        Look();
        ASSERT_EQ(boxes.size(), 1U);
        EXPECT_EQ(boxes[0].prompt, "Выберите ответ");
    }
}

// ---- After a box ----

TEST_P(EveryWindow, TheFocusComesBackToTheButtonThatOpenedTheBox) {
    window->UseOwnBoxesClosedByEnter();
    Do(Action::Start);
    TabTo(Control::Command2);
    window->PressKey(Key::Space);  // nothing selected: a box
    EXPECT_EQ(window->OwnBoxesClosed(), 1);
    EXPECT_EQ(window->Focused(), Control::Command2);
    TabTo(Control::Command3);
    window->PressKey(Key::Enter);  // Exit before the grade: a box
    EXPECT_EQ(window->OwnBoxesClosed(), 2);
    EXPECT_EQ(window->Focused(), Control::Command3);
    EXPECT_FALSE(window->ProgramEnded());
}

// ---- Controls out of view ----

// At the last question Next moves out of the window: the focus passes on
// from it, and Tab no longer reaches it.
TEST_P(EveryWindow, NextAtTheLastQuestionPassesTheFocusOnAndLeavesTheTabCycle) {
    Do(Action::Start);
    for (int question = 1; question < kQuestionCount - 1; ++question) {
        Do(Action::Choose, 1);
        Do(Action::Check);
        Do(Action::NextClick);
    }
    Do(Action::Choose, 1);
    Do(Action::Check);
    ASSERT_EQ(CaptionOf(Control::Label6), "20");
    TabTo(Control::Command4);
    window->PressKey(Key::Space);
    ASSERT_EQ(CaptionOf(Control::Label6), "21");
    EXPECT_NE(window->Focused(), Control::Command4);
    EXPECT_NE(window->Focused(), Control::Form1) << "the focus went nowhere";
    EXPECT_FALSE(Holds(TabCycle(), Control::Command4));
    Look();
    EXPECT_TRUE(boxes.empty());
}

TEST_P(EveryWindow, AControlMovedOutOfViewLeavesTheTabCycleAndRejoinsItMovedBack) {
    Do(Action::Start);
    TabTo(Control::Command2);
    window->Logic().Move(Control::Command4, 14000, 10000);
    EXPECT_FALSE(Holds(TabCycle(), Control::Command4));
    window->Logic().Move(Control::Command4, 4560, 5400);
    EXPECT_TRUE(Holds(TabCycle(), Control::Command4));
}

// ---- Form1 ----

// Form1 is the window itself: it keeps its place on the screen, takes a back
// colour in its client area and hides as a whole, without ending anything.
TEST_P(EveryWindow, Form1KeepsItsPlaceTakesItsColourAndHidesAsAWhole) {
    const ScreenPoint place = window->ClientPlace();
    window->Logic().Move(Control::Form1, 0, 0);
    EXPECT_EQ(window->ClientPlace().x, place.x);
    EXPECT_EQ(window->ClientPlace().y, place.y);
    window->Logic().SetBackColor(Control::Form1, 0x0000FF);
    EXPECT_EQ(window->ClientCornerColour(), 0x0000FFU);
    window->Logic().SetVisible(Control::Form1, false);
    EXPECT_FALSE(Look().window[Control::Form1].visible);
    window->Logic().SetVisible(Control::Form1, true);
    EXPECT_TRUE(Look().window[Control::Form1].visible);
    EXPECT_FALSE(window->ProgramEnded());
}

// ---- The clock and the error boundary ----

// A stall of the machine for ten minutes: at the timer's next wake-up the
// clock has counted every second of it, and the minutes label has gone on
// by ten.
TEST_P(EveryWindow, ATenMinuteStallIsCountedToTheSecond) {
    const FormCore& core = window->Logic();
    window->StallClock(5);
    ASSERT_EQ(core.Run().State().ElapsedSeconds, 5);
    window->StallClock(600);
    EXPECT_EQ(core.Run().State().ElapsedSeconds, 605);
    const Observation seen = Look();
    EXPECT_EQ(seen.window[Control::Label11].caption, "10");
    EXPECT_EQ(seen.window[Control::Label13].caption, "5");
    EXPECT_FALSE(window->ProgramEnded());
}

// An exception out of the end of the program that Exit on the title screen
// asks for shows the internal-error box, and once it is closed the run ends
// with the internal-error status.
TEST_P(EveryWindow, AnExceptionOutOfAProcedureShowsTheErrorBoxThenEndsWithTheErrorStatus) {
    FormCore& core = window->Logic();
    std::vector<ShownBox> shown;
    std::vector<int> exits;
    std::size_t boxesBeforeTheEnd = 0;
    bool thrown = false;
    core.SetMessagePresenter([&shown](std::string_view prompt, std::string_view title, MessageIcon icon) {
        shown.push_back({std::string(prompt), std::string(title), icon, {}});
        return kOkResult;
    });
    core.SetProgramEnder([&](int status) {
        if (!thrown) {
            thrown = true;
            throw std::runtime_error("the end failed");
        }
        exits.push_back(status);
        boxesBeforeTheEnd = shown.size();
    });
    Do(Action::Exit);
    ASSERT_TRUE(thrown);
    ASSERT_EQ(shown.size(), 1U);
    EXPECT_EQ(shown[0].prompt, kErrorUnexpected);
    EXPECT_EQ(shown[0].title, kErrorTitle);
    EXPECT_EQ(shown[0].icon, MessageIcon::Critical);
    EXPECT_EQ(exits, std::vector<int>{kErrorExitStatus});
    EXPECT_EQ(boxesBeforeTheEnd, 1U);
    EXPECT_TRUE(core.Ended());
    EXPECT_EQ(core.ExitStatus(), kErrorExitStatus);
}

// ---- What a screen reader is told ----

namespace {

// "Вопрос N из 21. " and the question at position N in the bank's order.
std::string Heading(int position) {
    return "Вопрос " + std::to_string(position) + " из 21. " +
           std::string(QuestionBank()[static_cast<std::size_t>(position - 1)].QuestionText);
}

}  // namespace

// Start and Next announce the question, a Check that judges the answer and
// the error count, once each; a press that changes nothing of it, a refused
// one and the clock's ticks announce nothing.
TEST_P(EveryWindow, EachPressAnnouncesWhatItChangedOnce) {
    if (!window->Announcements()) GTEST_SKIP() << "the window makes no announcements";
    Do(Action::Start);
    Do(Action::NextClick);  // refused: its box speaks for itself
    Do(Action::Choose, 1);  // wrong: the first question's answer is Option4
    Do(Action::Check);
    Do(Action::Check);  // judged already
    window->StallClock(3);
    Do(Action::NextClick);
    EXPECT_EQ(*window->Announcements(), (std::vector<std::string>{Heading(1), "Ответ принят. Ошибок: 1", Heading(2)}));
}

// Exit shows the grade and its box in one press; the grade is announced
// once the pupil has closed the box, which speaks for itself.
TEST_P(EveryWindow, TheGradeIsAnnouncedOnceItsBoxIsClosed) {
    if (!window->Announcements()) GTEST_SKIP() << "the window makes no announcements";
    window->UseOwnBoxesClosedByEnter();
    Do(Action::Start);
    for (int question = 1; question <= 5; ++question) {
        Do(Action::Choose, 1);
        Do(Action::Check);
        if (question < 5) Do(Action::NextClick);
    }
    const std::size_t before = window->Announcements()->size();
    Do(Action::Exit);
    ASSERT_EQ(window->OwnBoxesClosed(), 1);
    const std::vector<std::string> said = *window->Announcements();
    EXPECT_EQ(std::vector<std::string>(said.begin() + static_cast<std::ptrdiff_t>(before), said.end()),
              std::vector<std::string>{"Ваша оценка: 2"});
}

}  // namespace infotest::model
