#include <gtest/gtest.h>

#include <set>

#include "tests/run/fake_controls.h"

namespace infotest::testing {
namespace {

// A pupil who takes the whole test with some stumbles on the way: presses out
// of turn, empty checks, second thoughts after a check.
TEST(WholeRun, AClumsyPupilStillGetsTheGradeOfTheAnswersGiven) {
    FakeControls fake;
    TestRun run(fake);
    TickSeconds(run, fake, 3);
    run.Command2_Click();  // Check before Start
    run.Command1_Click();  // seeded draws: an order nobody scripted
    int wrong = 0;
    for (int position = 1; position <= 21; ++position) {
        ASSERT_EQ(fake.View(Control::Label6).caption, std::to_string(position));
        run.Command4_Click();  // too early
        run.Command2_Click();  // nothing chosen
        run.Command3_Click();  // too early to leave
        const bool right = position % 3 != 0;
        if (!right) ++wrong;
        AnswerShownQuestion(run, fake, right);
        fake.Choose(1);  // second thoughts count for nothing
        run.Command2_Click();
        TickSeconds(run, fake, 7);
        if (position < 21) run.Command4_Click();
    }
    EXPECT_EQ(fake.View(Control::Label4).caption, std::to_string(wrong));
    EXPECT_EQ(fake.boxes.size(), 21u * 3);
    run.Command3_Click();
    EXPECT_EQ(fake.View(Control::Label14).caption, "Ваша оценка: 3");  // 7 errors of 21
    EXPECT_EQ(fake.View(Control::Label11).caption, "2");
    EXPECT_EQ(fake.View(Control::Label13).caption, "30");  // 3 + 21 * 7 = 150 s
    TickSeconds(run, fake, 10);
    EXPECT_EQ(fake.View(Control::Label13).caption, "30");
    run.Command3_Click();
    EXPECT_TRUE(fake.ended);
    EXPECT_EQ(fake.exitStatus, 0);
    EXPECT_EQ(fake.callsAfterEnd, 0);
}

TEST(WholeRun, EveryQuestionIsAskedExactlyOnce) {
    FakeControls fake;
    TestRun run(fake);
    run.Command1_Click();
    std::set<std::string> asked;
    for (int position = 1; position <= 21; ++position) {
        asked.insert(fake.View(Control::Label1).caption);
        AnswerShownQuestion(run, fake, true);
        run.Command4_Click();
    }
    EXPECT_EQ(asked.size(), 21u);
    EXPECT_EQ(run.State().QuestionNo, 21);
}

}  // namespace
}  // namespace infotest::testing
