// The keyboard, the focus and the box's modality that every window takes from
// the core, on the logic's recording fake window with the model as its only
// glue: the real test run moves and hides the controls, the model says where
// the focus goes.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "tests/run/fake_controls.h"
#include "ui/core/focus_model.h"

namespace infotest::testing {
namespace {

// The fake window with the glue a real window has: it tells the model what
// the logic did to its controls and does what the model answers.
class FocusWindow : public FakeControls {
public:
    void Move(Control control, double leftTwips, int topTwips) override {
        FakeControls::Move(control, leftTwips, topTwips);
        if (const auto to = model.Moved(control, leftTwips, topTwips, focused)) focused = *to;
    }
    void SetVisible(Control control, bool visible) override {
        FakeControls::SetVisible(control, visible);
        if (const auto to = model.ShownChanged(control, visible, focused)) focused = *to;
    }

    // Returns whether the window used the event.
    bool Apply(const FocusAnswer& answer) {
        if (answer.closeBox) {
            ++boxesClosed;
            const AfterBox after = model.CloseBox();
            if (after.focus) focused = *after.focus;
            if (after.endStatus) endedAfterBox = *after.endStatus;
        }
        if (answer.focusBox) ++focusBoxCount;
        if (answer.select) Choose(static_cast<int>(*answer.select) - static_cast<int>(Control::Option1) + 1);
        if (answer.focus) focused = *answer.focus;
        if (answer.deliver) (run.*answer.deliver)();
        return answer.handled;
    }
    bool Press(Key key, bool shift = false, bool repeat = false) {
        return Apply(model.PressKey(key, shift, repeat, focused));
    }
    // The focus after each press of Tab.
    std::vector<Control> Tabs(int count, bool shift = false) {
        std::vector<Control> seen;
        for (int i = 0; i < count; ++i) {
            Press(Key::Tab, shift);
            seen.push_back(focused);
        }
        return seen;
    }

    // The shown options, topmost first, as the fake draws them.
    std::vector<Control> OptionsByTop() const {
        std::vector<Control> options;
        for (int n = 1; n <= 4; ++n) {
            if (View(OptionControl(n)).visible) options.push_back(OptionControl(n));
        }
        std::stable_sort(options.begin(), options.end(),
                         [this](Control a, Control b) { return View(a).top < View(b).top; });
        return options;
    }

    FocusModel model{*this};
    TestRun run{*this};
    Control focused = Control::Command1;
    int boxesClosed = 0;
    int focusBoxCount = 0;
    std::optional<int> endedAfterBox;
};

class FocusModelTest : public ::testing::Test {
protected:
    // Start pressed from the keyboard, with questions in order and an
    // arrangement of the options (0: Option4 on top, then 1, 2, 3).
    void StartFromTheKeyboard(int layout = 0) {
        window.ScriptDraws(DrawsForStart(IdentityOrder(), layout));
        window.Press(Key::Enter);
        ASSERT_EQ(window.View(Control::Label6).caption, "1");
    }

    FocusWindow window;
};

using Tabs = std::vector<Control>;

TEST_F(FocusModelTest, TabGoesRoundTheTitleScreenInTheTableOrderAndBack) {
    EXPECT_EQ(window.Tabs(4), (Tabs{Control::Command2, Control::Command3, Control::Picture1, Control::Command1}));
    EXPECT_EQ(window.Tabs(2, true), (Tabs{Control::Picture1, Control::Command3}));
    // From the window itself Tab starts at the first stop.
    window.focused = Control::Form1;
    EXPECT_EQ(window.Tabs(1), Tabs{Control::Command1});
}

TEST_F(FocusModelTest, StartPassesTheFocusOnAndTabSkipsWhatLeftTheWindow) {
    StartFromTheKeyboard();
    // Start hid itself with the focus on it; the picture moved out.
    EXPECT_EQ(window.focused, Control::Command2);
    EXPECT_FALSE(window.model.InReach(Control::Picture1));
    EXPECT_EQ(window.Tabs(4), (Tabs{Control::Command3, Control::Command4, Control::Option4, Control::Command2}));
}

TEST_F(FocusModelTest, TheOptionGroupIsOneStopEnteredAtTheTopmostOrTheSelectedOption) {
    for (int layout = 0; layout < 4; ++layout) {
        SCOPED_TRACE(layout);
        FocusWindow fresh;
        fresh.ScriptDraws(DrawsForStart(IdentityOrder(), layout));
        fresh.Press(Key::Space);
        const Control topmost = fresh.OptionsByTop().front();
        fresh.focused = Control::Command4;
        EXPECT_EQ(fresh.Tabs(2), (Tabs{topmost, Control::Command2}));
        EXPECT_EQ(fresh.Tabs(1, true), Tabs{topmost});
        fresh.Choose(3);
        fresh.focused = Control::Command4;
        EXPECT_EQ(fresh.Tabs(2), (Tabs{Control::Option3, Control::Command2}));
    }
}

TEST_F(FocusModelTest, ArrowsSelectInTheDrawnOrderAndWrap) {
    StartFromTheKeyboard(1);
    const std::vector<Control> byTop = window.OptionsByTop();
    ASSERT_EQ(byTop.size(), 4U);
    window.focused = byTop[0];
    EXPECT_TRUE(window.Press(Key::Up));  // wraps to the bottom one
    EXPECT_EQ(window.focused, byTop[3]);
    EXPECT_TRUE(window.View(byTop[3]).selected);
    EXPECT_EQ(window.SelectedCount(), 1);
    for (std::size_t i = 0; i < 4; ++i) {
        window.Press(i % 2 == 0 ? Key::Down : Key::Right);
        EXPECT_EQ(window.focused, byTop[i]);
        EXPECT_TRUE(window.View(byTop[i]).selected);
        EXPECT_EQ(window.SelectedCount(), 1);
    }
    window.Press(Key::Left);
    EXPECT_EQ(window.focused, byTop[2]);
    // Away from the options the arrows keep the toolkit's meaning.
    window.focused = Control::Command2;
    EXPECT_FALSE(window.Press(Key::Down));
    EXPECT_EQ(window.focused, Control::Command2);
    EXPECT_FALSE(window.Press(Key::Escape));
}

TEST_F(FocusModelTest, EnterAndSpacePressTheFocusedButtonOnceWhileHeld) {
    StartFromTheKeyboard();
    window.Choose(1);
    window.focused = Control::Command2;
    window.Press(Key::Space);
    EXPECT_EQ(window.run.State().CheckCount, 1);
    window.focused = Control::Command4;
    window.Press(Key::Enter);
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(window.Press(Key::Enter, false, true));
    EXPECT_EQ(window.View(Control::Label6).caption, "2");
    EXPECT_TRUE(window.boxes.empty());
    // Space on an option selects it; Enter does not.
    window.focused = Control::Option2;
    window.Press(Key::Enter);
    EXPECT_EQ(window.SelectedCount(), 0);
    window.Press(Key::Space);
    EXPECT_TRUE(window.View(Control::Option2).selected);
}

TEST_F(FocusModelTest, OnlyACommandInReachTakesAClick) {
    EXPECT_EQ(window.model.Click(Control::Command4).deliver, nullptr);  // hidden on the title screen
    EXPECT_EQ(window.model.Click(Control::Label6).deliver, nullptr);
    EXPECT_EQ(window.model.Click(Control::Command1).deliver, &TestRun::Command1_Click);
    StartFromTheKeyboard();
    EXPECT_EQ(window.model.Click(Control::Option1).deliver, nullptr);
    EXPECT_EQ(window.model.Click(Control::Command1).deliver, nullptr);
    EXPECT_EQ(window.model.Click(Control::Command4).deliver, &TestRun::Command4_Click);
}

TEST_F(FocusModelTest, NextLeavingTheWindowAtTheLastQuestionPassesTheFocusOn) {
    StartFromTheKeyboard();
    TestState& state = window.run.StateForTesting();
    state.QuestionNo = state.CheckCount = kQuestionCount - 1;
    window.focused = Control::Command4;
    window.Press(Key::Space);
    ASSERT_EQ(window.View(Control::Label6).caption, "21");
    EXPECT_EQ(window.focused, window.OptionsByTop().front());
    EXPECT_FALSE(window.model.IsTabStop(Control::Command4));
    // Moved back in, it is a stop again.
    window.Move(Control::Command4, 4560, 5400);
    EXPECT_TRUE(window.model.IsTabStop(Control::Command4));
}

TEST_F(FocusModelTest, TheLastControlInReachPassesTheFocusToTheWindow) {
    for (Control control : {Control::Command2, Control::Command3, Control::Picture1}) window.SetVisible(control, false);
    EXPECT_EQ(window.focused, Control::Command1);
    EXPECT_EQ(window.Tabs(1), Tabs{Control::Command1});
    window.SetVisible(Control::Command1, false);
    EXPECT_EQ(window.focused, Control::Form1);
    // A control that never had the focus takes nothing with it.
    window.focused = Control::Form1;
    window.SetVisible(Control::Command1, true);
    window.SetVisible(Control::Command2, true);
    window.SetVisible(Control::Command2, false);
    EXPECT_EQ(window.focused, Control::Form1);
}

// ---- The box ----

TEST_F(FocusModelTest, WhileABoxIsOpenNoKeyOrClickReachesTheWindowAndTheFocusStaysOnIt) {
    StartFromTheKeyboard();
    window.focused = Control::Command3;
    ASSERT_TRUE(window.model.QueueBox({"Выберите ответ", "Внимание!", MessageIcon::Question}, window.focused));
    const Control before = window.focused;
    for (Key key : {Key::Tab, Key::Down, Key::Left}) {
        EXPECT_TRUE(window.Press(key));
        EXPECT_EQ(window.focused, before);
    }
    EXPECT_EQ(window.focusBoxCount, 3);
    for (Control control : {Control::Command3, Control::Option1, Control::Form1}) {
        const FocusAnswer answer = window.model.Click(control);
        EXPECT_TRUE(answer.focusBox);
        EXPECT_EQ(answer.deliver, nullptr);
    }
    EXPECT_TRUE(window.model.PointerDown(false).focusBox);
    EXPECT_TRUE(window.model.PointerDown(false).handled);
    EXPECT_FALSE(window.model.PointerDown(true).handled);
    EXPECT_TRUE(window.model.FocusArrived(false).focusBox);
    EXPECT_FALSE(window.model.FocusArrived(true).focusBox);
    // A held Enter closes the box once and presses nothing behind it.
    window.Press(Key::Enter, false, true);
    EXPECT_TRUE(window.model.BoxOpen());
    window.Press(Key::Enter);
    EXPECT_FALSE(window.model.BoxOpen());
    EXPECT_EQ(window.focused, Control::Command3);
    EXPECT_EQ(window.run.State().EmptyCheckCount, 0);
    // With no box, the box's keys and clicks ask nothing.
    EXPECT_FALSE(window.model.FocusArrived(false).focusBox);
    EXPECT_FALSE(window.model.ClickBoxButton().closeBox);
}

TEST_F(FocusModelTest, BoxesOpenOneAfterAnotherAndTheFocusReturnsOrPassesOn) {
    window.focused = Control::Command3;
    EXPECT_TRUE(window.model.QueueBox({"first", "A", MessageIcon::Question}, Control::Command3));
    EXPECT_FALSE(window.model.QueueBox({"second", "B", MessageIcon::Critical}, Control::Command2));
    EXPECT_EQ(window.model.OpenBox().prompt, "first");
    window.SetVisible(Control::Command3, false);  // behind the box, by a tick
    AfterBox after = window.model.CloseBox();
    EXPECT_TRUE(after.nextBox);
    EXPECT_FALSE(after.focus);
    EXPECT_EQ(window.model.OpenBox().prompt, "second");
    EXPECT_TRUE(window.Apply(window.model.ClickBoxButton()));
    // The focus was on Exit when the first box opened; Exit has gone.
    EXPECT_EQ(window.focused, Control::Picture1);
    EXPECT_EQ(window.model.CloseBox().focus, std::nullopt);
}

TEST_F(FocusModelTest, AnEndAskedForBehindABoxWaitsForTheLastBoxToClose) {
    EXPECT_FALSE(window.model.HoldEnd(0));  // no box: at once
    EXPECT_FALSE(window.model.HoldHide());
    window.model.QueueBox({"Ошибка", "Ошибка", MessageIcon::Critical}, Control::Command1);
    window.model.QueueBox({"more", "B", MessageIcon::Question}, Control::Command1);
    EXPECT_TRUE(window.model.HoldHide());
    EXPECT_TRUE(window.model.HoldEnd(kErrorExitStatus));
    EXPECT_EQ(window.model.CloseBox().endStatus, std::nullopt);
    const AfterBox after = window.model.CloseBox();
    EXPECT_TRUE(after.hideWindow);
    EXPECT_EQ(after.endStatus, kErrorExitStatus);
    EXPECT_FALSE(after.focus);
    // Held once, carried out once.
    window.model.QueueBox({"again", "C", MessageIcon::Question}, Control::Command1);
    const AfterBox next = window.model.CloseBox();
    EXPECT_FALSE(next.endStatus);
    EXPECT_FALSE(next.hideWindow);
    // Shown again before the box closed, the window stays.
    window.model.QueueBox({"again", "C", MessageIcon::Question}, Control::Command1);
    window.model.HoldHide();
    window.model.CancelHide();
    EXPECT_FALSE(window.model.CloseBox().hideWindow);
}

// The box speaks for itself: what the press announces waits for the last
// box, and an end behind the box takes the announcement with it.
TEST_F(FocusModelTest, AnAnnouncementWaitsForTheLastBoxAndGoesWithTheEnd) {
    EXPECT_FALSE(window.model.HoldAnnouncement("Ваша оценка: 5"));  // no box: at once
    window.model.QueueBox({"Покажите результат учителю", "Внимание!", MessageIcon::Question}, Control::Command3);
    window.model.QueueBox({"more", "B", MessageIcon::Question}, Control::Command3);
    EXPECT_TRUE(window.model.HoldAnnouncement("Ваша оценка: 5"));
    EXPECT_EQ(window.model.CloseBox().announce, std::nullopt);
    EXPECT_EQ(window.model.CloseBox().announce, "Ваша оценка: 5");
    window.model.QueueBox({"Ошибка", "Ошибка", MessageIcon::Critical}, Control::Command3);
    window.model.HoldAnnouncement("Ваша оценка: 5");
    window.model.HoldEnd(kErrorExitStatus);
    EXPECT_EQ(window.model.CloseBox().announce, std::nullopt);
}

}  // namespace
}  // namespace infotest::testing
