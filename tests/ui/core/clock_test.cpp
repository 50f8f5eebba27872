// The clock rule of the core: Timer1's ticks counted from a monotonic clock,
// every one delivered once, whatever the toolkit's timer does.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/ui/core/core_test_window.h"

namespace infotest::testing {
namespace {

class ClockRule : public ::testing::Test {
protected:
    // The timer wakes the core at `ms` on the clock.
    void WakeAt(double ms) {
        window.nowMs = ms;
        window.TimerFired();
    }
    int Elapsed() const { return window.Run().State().ElapsedSeconds; }
    std::string Minutes() const { return window.Caption(Control::Label11); }
    std::string Seconds() const { return window.Caption(Control::Label13); }
    // The grade is due: five questions judged, Exit pressed once.
    void ShowTheGrade() {
        TestState& state = window.RunForTesting().StateForTesting();
        state.QuestionNo = state.CheckCount = 5;
        window.Click(Control::Command3);
        ASSERT_EQ(window.Caption(Control::Label14).rfind("Ваша оценка: ", 0), 0u);
    }

    CoreTestWindow window;
};

TEST_F(ClockRule, ATimerWakingEarlyOrLateNeitherRepeatsNorSkipsASecond) {
    std::vector<std::string> shown;
    // Wake-ups around each due tick, a little early, exactly on time, late,
    // and twice for the same second.
    for (const double at : {999.9, 1000.0, 1000.1, 1999.0, 2000.5, 2000.6, 2999.99, 3001.0, 3999.0, 4000.0}) {
        const std::string before = Seconds();
        WakeAt(at);
        if (Seconds() != before) shown.push_back(Seconds());
        // The timer is armed again for the next due tick, never past it.
        EXPECT_DOUBLE_EQ(window.armedMs, 1000.0 * (Elapsed() + 1) - at) << "at " << at;
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"1", "2", "3", "4"}));
    EXPECT_EQ(Elapsed(), 4);
}

TEST_F(ClockRule, TicksDueBeforeAClickAreDeliveredBeforeIt) {
    // The timer's wake-up is still waiting in the queue behind the click.
    window.nowMs = 75500;
    ShowTheGrade();
    ASSERT_EQ(window.boxes.size(), 1u);
    EXPECT_EQ(window.boxes[0].prompt, kShowTeacher);
    EXPECT_EQ(window.boxes[0].elapsedSeconds, 75);
    EXPECT_EQ(Minutes(), "1");
    EXPECT_EQ(Seconds(), "15");
}

TEST_F(ClockRule, WhileTheGradeIsShownAStallChangesNothing) {
    WakeAt(3000);
    ShowTheGrade();
    EXPECT_LT(window.armedMs, 0);
    window.nowMs = 603000;
    window.TimerFired();  // a stray wake-up
    window.Click(Control::Command2);
    EXPECT_EQ(Elapsed(), 3);
    EXPECT_EQ(Seconds(), "3");
    EXPECT_FALSE(window.TimerRunning());
}

TEST_F(ClockRule, AfterTheEndNothingTicks) {
    WakeAt(2000);
    window.Click(Control::Command3);  // Exit on the title screen ends the program
    ASSERT_EQ(window.exits, std::vector<int>{0});
    EXPECT_LT(window.armedMs, 0);
    WakeAt(60000);
    window.SetTimerEnabled(true);
    WakeAt(70000);
    EXPECT_EQ(Elapsed(), 2);
    EXPECT_LT(window.armedMs, 0);
}

TEST_F(ClockRule, StoppedAndRunAgainItCountsOnFromThen) {
    WakeAt(2500);
    window.SetTimerEnabled(false);
    EXPECT_LT(window.armedMs, 0);
    window.nowMs = 12500;
    window.SetTimerEnabled(true);
    EXPECT_DOUBLE_EQ(window.armedMs, 1000);
    WakeAt(13499);
    EXPECT_EQ(Elapsed(), 2);
    WakeAt(13500);
    EXPECT_EQ(Elapsed(), 3);
}

TEST_F(ClockRule, AnotherClockTakesOverFromItsOwnPresent) {
    WakeAt(2000);
    double other = 5'000'000;
    window.SetClockSource([&other] { return other; });
    EXPECT_DOUBLE_EQ(window.armedMs, 1000);
    window.TimerFired();
    EXPECT_EQ(Elapsed(), 2);
    other += 1000;
    window.TimerFired();
    EXPECT_EQ(Elapsed(), 3);
}

TEST_F(ClockRule, AWindowShownBeforeTheCoreCountsFromWhenItWasShown) {
    window.CountClockFrom(-400);
    EXPECT_DOUBLE_EQ(window.armedMs, 600);
    WakeAt(599);
    EXPECT_EQ(Elapsed(), 0);
    WakeAt(600);
    EXPECT_EQ(Elapsed(), 1);
    // Once a second is shown, it is not counted again.
    window.CountClockFrom(-2000);
    WakeAt(1000);
    EXPECT_EQ(Elapsed(), 1);
}

}  // namespace
}  // namespace infotest::testing
