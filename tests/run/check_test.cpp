#include <gtest/gtest.h>

#include "tests/run/fake_controls.h"

namespace infotest::testing {
namespace {

using CheckTest = RunTest;

TEST_F(CheckTest, BeforeStartChangesNothing) {
    fake.Choose(2);
    run.Command2_Click();
    EXPECT_TRUE(fake.boxes.empty());
    EXPECT_EQ(CaptionOf(Control::Label4), "");
    EXPECT_EQ(CaptionOf(Control::Label7), "");
    EXPECT_EQ(run.State().CheckCount, 0);
    EXPECT_EQ(run.State().ErrorCount, 0);
}

TEST_F(CheckTest, PressedBeforeStartDoesNotBlockTheStart) {
    run.Command2_Click();
    run.Command2_Click();
    StartInOrder();
    EXPECT_TRUE(fake.boxes.empty());
    EXPECT_EQ(CaptionOf(Control::Label6), "1");
}

TEST_F(CheckTest, ARightFirstAnswerShowsZeroErrors) {
    StartInOrder();
    fake.Choose(4);  // "1 бит"
    run.Command2_Click();
    EXPECT_EQ(CaptionOf(Control::Label4), "0");
    EXPECT_EQ(CaptionOf(Control::Label7), "Ответ принят");
    EXPECT_EQ(run.State().ErrorCount, 0);
}

TEST_F(CheckTest, AWrongFirstAnswerShowsOneError) {
    StartInOrder();
    fake.Choose(2);
    run.Command2_Click();
    EXPECT_EQ(CaptionOf(Control::Label4), "1");
    EXPECT_EQ(CaptionOf(Control::Label7), "Ответ принят");
}

TEST_F(CheckTest, JudgesEachQuestionOnlyOnce) {
    StartInOrder();
    fake.Choose(4);
    run.Command2_Click();
    fake.Choose(1);
    run.Command2_Click();
    run.Command2_Click();
    EXPECT_EQ(run.State().ErrorCount, 0);
    EXPECT_EQ(CaptionOf(Control::Label4), "0");
    EXPECT_EQ(run.State().CheckCount, 1);
    EXPECT_TRUE(fake.boxes.empty());
}

TEST_F(CheckTest, AWrongAnswerIsNotUndoneByARightOneAfterIt) {
    StartInOrder();
    fake.Choose(1);
    run.Command2_Click();
    fake.Choose(4);
    run.Command2_Click();
    EXPECT_EQ(CaptionOf(Control::Label4), "1");
}

TEST_F(CheckTest, WithNothingSelectedAsksForAnAnswerEveryTime) {
    StartInOrder();
    for (int press = 1; press <= 3; ++press) {
        run.Command2_Click();
        ASSERT_EQ(fake.boxes.size(), static_cast<std::size_t>(press));
        EXPECT_EQ(fake.boxes.back().prompt, "Выберите ответ");
        EXPECT_EQ(fake.boxes.back().title, "Внимание!");
        EXPECT_EQ(fake.boxes.back().icon, MessageIcon::Question);
        EXPECT_EQ(run.State().EmptyCheckCount, press);
        EXPECT_EQ(run.State().CheckCount, 1);
    }
    EXPECT_EQ(CaptionOf(Control::Label4), "");
    EXPECT_EQ(CaptionOf(Control::Label7), "");
    EXPECT_EQ(run.State().MsgResult, std::to_string(FakeControls::kOkCode));
}

TEST_F(CheckTest, AnAnswerAfterEmptyPressesIsJudgedOnce) {
    StartInOrder();
    run.Command2_Click();
    run.Command2_Click();
    fake.Choose(1);
    run.Command2_Click();
    EXPECT_EQ(run.State().EmptyCheckCount, 0);
    EXPECT_EQ(run.State().CheckCount, 1);
    EXPECT_EQ(CaptionOf(Control::Label4), "1");
    run.Command2_Click();
    EXPECT_EQ(CaptionOf(Control::Label4), "1");
    EXPECT_EQ(fake.boxes.size(), 2u);
}

TEST_F(CheckTest, JudgesByTheButtonThatCarriesTheRightAnswer) {
    std::array<int, kQuestionCount> order = IdentityOrder();
    std::swap(order[0], order[9]);  // question 10 first: Option1 is right
    for (int chosen = 1; chosen <= 4; ++chosen) {
        FakeControls window;
        TestRun test(window);
        window.ScriptDraws(DrawsForStart(order, chosen - 1));
        test.Command1_Click();
        window.Choose(chosen);
        test.Command2_Click();
        EXPECT_EQ(test.State().ErrorCount, chosen == 1 ? 0 : 1) << "Option" << chosen;
    }
}

TEST_F(CheckTest, CountsErrorsAcrossQuestions) {
    StartInOrder();
    AnswerQuestions(run, fake, 6, 4);
    EXPECT_EQ(CaptionOf(Control::Label4), "4");
    EXPECT_EQ(run.State().ErrorCount, 4);
}

}  // namespace
}  // namespace infotest::testing
