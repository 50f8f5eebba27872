// What a press announces to a screen reader and how the answers are
// described, in the cases a whole run through a window does not reach
// alone.

#include <gtest/gtest.h>

#include "tests/ui/core/core_test_window.h"
#include "ui/core/speech.h"

namespace infotest::testing {
namespace {

// Exit shows the grade and hides Label7, whose caption stays: the grade is
// what the press announces, not the judgement still written there.
TEST(Speech, TheGradeIsAnnouncedRatherThanTheJudgementLeftBehind) {
    const SpokenCaptions before{"q", "5", "Ответ принят", "1", ""};
    SpokenCaptions after = before;
    after.grade = "Ваша оценка: 4";
    EXPECT_EQ(AnnouncementAfter(before, after), "Ваша оценка: 4");
}

// Start's own first step numbers the question before any is shown: the
// answers are described once a question is there, not before.
TEST(Speech, AnswersAreDescribedOnlyOnceAQuestionIsShown) {
    EXPECT_EQ(AnswersDescription({"", "1", "", "", ""}), "");
    EXPECT_EQ(AnswersDescription({"Что такое 1 байт?", "2", "", "", ""}), "Вопрос 2 из 21. Что такое 1 байт?");
}

// Only what a click or key procedure changed is spoken; the clock's ticks
// and a press after the end say nothing.
TEST(Speech, TheClockAndAPressAfterTheEndSayNothing) {
    CoreTestWindow window;
    window.Click(Control::Command1);
    ASSERT_EQ(window.announcements.size(), 1U);
    ASSERT_EQ(window.descriptions, window.announcements);
    window.nowMs = 5000;
    window.TimerFired();
    ASSERT_EQ(window.Run().State().ElapsedSeconds, 5);
    window.EndProgram(0);
    window.Click(Control::Command4);
    EXPECT_EQ(window.announcements.size(), 1U);
    EXPECT_EQ(window.descriptions.size(), 1U);
}

}  // namespace
}  // namespace infotest::testing
