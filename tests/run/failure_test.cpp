#include <gtest/gtest.h>

#include "tests/run/fake_controls.h"

namespace infotest::testing {
namespace {

// Faults that ordinary use cannot reach, put in place through the state.
using FailureTest = RunTest;

void ExpectErrorBoxAndEnd(const FakeControls& fake, std::string_view text) {
    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_EQ(fake.boxes[0].prompt, text);
    EXPECT_EQ(fake.boxes[0].title, "Ошибка");
    EXPECT_EQ(fake.boxes[0].icon, MessageIcon::Critical);
    EXPECT_TRUE(fake.ended);
    EXPECT_EQ(fake.exitStatus, 1);
}

TEST_F(FailureTest, TheClockStopsWithAnErrorInsteadOfWrapping) {
    TickSeconds(run, fake, 2);
    run.StateForTesting().ElapsedSeconds = 2147483647;
    run.Timer1_Timer();
    ExpectErrorBoxAndEnd(fake, kErrorClockOverflow);
    EXPECT_EQ(run.State().ElapsedSeconds, 2147483647);
    EXPECT_EQ(CaptionOf(Control::Label13), "2");
}

TEST_F(FailureTest, ACheckAtAPositionOutsideTheOrderStopsWithAnError) {
    StartInOrder();
    run.StateForTesting().QuestionNo = 25;
    run.StateForTesting().CheckCount = 24;
    fake.Choose(1);
    run.Command2_Click();
    ExpectErrorBoxAndEnd(fake, kErrorIndexOutOfRange);
    EXPECT_EQ(run.State().ErrorCount, 0);
    EXPECT_EQ(CaptionOf(Control::Label4), "");
    EXPECT_EQ(CaptionOf(Control::Label7), "");
}

TEST_F(FailureTest, ShowingAQuestionAtAPositionOutsideTheOrderWritesNoCaption) {
    StartInOrder();
    AnswerShownQuestion(run, fake, true);
    run.StateForTesting().QuestionNo = -3;
    run.StateForTesting().CheckCount = -3;
    run.Command4_Click();
    ExpectErrorBoxAndEnd(fake, kErrorIndexOutOfRange);
    EXPECT_EQ(CaptionOf(Control::Label1), FindQuestion(1)->QuestionText);
    EXPECT_EQ(CaptionOf(Control::Label6), "-2");
}

TEST_F(FailureTest, NothingRunsAfterTheProgramHasEnded) {
    run.Command3_Click();
    ASSERT_TRUE(fake.ended);
    run.Command1_Click();
    run.Command2_Click();
    run.Command3_Click();
    run.Command4_Click();
    run.Timer1_Timer();
    EXPECT_EQ(fake.callsAfterEnd, 0);
    EXPECT_EQ(CaptionOf(Control::Label13), "");
    EXPECT_TRUE(View(Control::Command1).visible);
}

TEST_F(FailureTest, NothingRunsAfterAnErrorHasEndedTheProgram) {
    run.StateForTesting().ElapsedSeconds = 2147483647;
    run.Timer1_Timer();
    run.Timer1_Timer();
    run.Command1_Click();
    EXPECT_EQ(fake.boxes.size(), 1u);
    EXPECT_EQ(fake.callsAfterEnd, 0);
}

// A window whose box throws: the run must still end, and nothing escapes.
class ThrowingBoxControls : public FakeControls {
public:
    int ShowMessage(std::string_view, std::string_view, MessageIcon) override { throw std::runtime_error("box"); }
};

TEST(FailureInTheWindow, AnExceptionFromTheWindowNeverLeavesAProcedure) {
    ThrowingBoxControls window;
    TestRun run(window);
    window.ScriptDraws(DrawsForStart(IdentityOrder(), 0));
    run.Command1_Click();
    EXPECT_NO_THROW(run.Command2_Click());
    EXPECT_TRUE(window.ended);
    EXPECT_EQ(window.exitStatus, 1);
}

}  // namespace
}  // namespace infotest::testing
