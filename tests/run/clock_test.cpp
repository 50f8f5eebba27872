#include <gtest/gtest.h>

#include "tests/run/fake_controls.h"

namespace infotest::testing {
namespace {

using ClockTest = RunTest;

TEST_F(ClockTest, ShowsMinutesAndSecondsWithoutLeadingZeros) {
    TickSeconds(run, fake, 1);
    EXPECT_EQ(CaptionOf(Control::Label11), "0");
    EXPECT_EQ(CaptionOf(Control::Label13), "1");
    TickSeconds(run, fake, 58);
    EXPECT_EQ(CaptionOf(Control::Label11), "0");
    EXPECT_EQ(CaptionOf(Control::Label13), "59");
    TickSeconds(run, fake, 1);
    EXPECT_EQ(CaptionOf(Control::Label11), "1");
    EXPECT_EQ(CaptionOf(Control::Label13), "0");
    TickSeconds(run, fake, 1);
    EXPECT_EQ(CaptionOf(Control::Label11), "1");
    EXPECT_EQ(CaptionOf(Control::Label13), "1");
}

TEST_F(ClockTest, DoesNotWrapMinutesIntoHours) {
    TickSeconds(run, fake, 3600);
    EXPECT_EQ(CaptionOf(Control::Label11), "60");
    EXPECT_EQ(CaptionOf(Control::Label13), "0");
}

TEST_F(ClockTest, TouchesOnlyTheClockLabels) {
    TickSeconds(run, fake, 5);
    for (const std::string& line : fake.log) {
        EXPECT_TRUE(line.starts_with("Label11.caption=") || line.starts_with("Label13.caption=")) << line;
    }
}

TEST_F(ClockTest, StopsWhenTheGradeIsShown) {
    StartInOrder();
    AnswerQuestions(run, fake, 5, 0);
    TickSeconds(run, fake, 75);
    run.Command3_Click();
    TickSeconds(run, fake, 30);
    EXPECT_FALSE(fake.timerEnabled);
    EXPECT_EQ(CaptionOf(Control::Label11), "1");
    EXPECT_EQ(CaptionOf(Control::Label13), "15");
}

TEST_F(ClockTest, CountsOnUpToTheLargestCount) {
    run.StateForTesting().ElapsedSeconds = 2147483646;
    run.Timer1_Timer();
    EXPECT_EQ(run.State().ElapsedSeconds, 2147483647);
    EXPECT_EQ(CaptionOf(Control::Label11), "35791394");
    EXPECT_EQ(CaptionOf(Control::Label13), "7");
    EXPECT_FALSE(fake.ended);
}

}  // namespace
}  // namespace infotest::testing
