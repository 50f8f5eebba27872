#include <gtest/gtest.h>

#include <algorithm>

#include "tests/run/fake_controls.h"

namespace infotest::testing {
namespace {

using NextTest = RunTest;

void ExpectPressCheckBox(const FakeControls& fake) {
    ASSERT_FALSE(fake.boxes.empty());
    EXPECT_EQ(fake.boxes.back().prompt, "Нажмите кнопку ПРОВЕРИТЬ");
    EXPECT_EQ(fake.boxes.back().title, "Внимание!");
    EXPECT_EQ(fake.boxes.back().icon, MessageIcon::Question);
}

TEST_F(NextTest, IsRefusedUntilTheAnswerIsChecked) {
    StartInOrder();
    fake.Choose(4);
    run.Command4_Click();
    ExpectPressCheckBox(fake);
    EXPECT_EQ(run.State().QuestionNo, 1);
    EXPECT_EQ(CaptionOf(Control::Label6), "1");
    EXPECT_EQ(CaptionOf(Control::Label1), FindQuestion(1)->QuestionText);
    EXPECT_TRUE(View(Control::Option4).selected);
}

TEST_F(NextTest, IsRefusedAfterACheckWithNothingSelected) {
    StartInOrder();
    run.Command2_Click();
    run.Command4_Click();
    ExpectPressCheckBox(fake);
    EXPECT_EQ(run.State().QuestionNo, 1);
    fake.Choose(4);
    run.Command2_Click();
    run.Command4_Click();
    EXPECT_EQ(run.State().QuestionNo, 2);
}

TEST_F(NextTest, ARefusedPressStillClearsTheStatusLine) {
    StartInOrder();
    AnswerShownQuestion(run, fake, true);
    ASSERT_EQ(CaptionOf(Control::Label7), "Ответ принят");
    // Ordinary use never shows the status line on an unjudged question; the
    // state is set so to see that a refused press still clears it.
    run.StateForTesting().CheckCount = 0;
    run.Command4_Click();
    ExpectPressCheckBox(fake);
    EXPECT_EQ(CaptionOf(Control::Label7), "");
    EXPECT_EQ(run.State().QuestionNo, 1);
}

TEST_F(NextTest, AdvancesToTheNextQuestionWithNothingSelected) {
    StartInOrder();
    AnswerShownQuestion(run, fake, true);
    run.Command4_Click();
    EXPECT_EQ(run.State().QuestionNo, 2);
    EXPECT_EQ(CaptionOf(Control::Label6), "2");
    EXPECT_EQ(CaptionOf(Control::Label7), "");
    EXPECT_EQ(CaptionOf(Control::Label1), FindQuestion(2)->QuestionText);
    EXPECT_EQ(fake.SelectedCount(), 0);
    EXPECT_TRUE(fake.boxes.empty());
}

TEST_F(NextTest, RewritesEveryCaptionEvenRepeatedTexts) {
    std::array<int, kQuestionCount> order = IdentityOrder();
    std::swap(order[0], order[4]);  // 5 first, then 2 ... put 6 second
    std::swap(order[1], order[5]);
    StartWith(order);
    EXPECT_EQ(CaptionOf(Control::Option3), "2 байта");
    AnswerShownQuestion(run, fake, true);
    run.Command4_Click();
    EXPECT_EQ(ShownId(), 6);
    EXPECT_EQ(CaptionOf(Control::Option2), "2 байта");
    EXPECT_EQ(CaptionOf(Control::Option3), "8 байтов");
    EXPECT_EQ(CaptionOf(Control::Option1), "1 бит");
}

TEST_F(NextTest, NeverMovesTheOptionButtons) {
    StartWith(IdentityOrder(), 2);
    std::array<std::pair<double, int>, 4> before{};
    for (int n = 1; n <= 4; ++n) before[n - 1] = {View(OptionControl(n)).left, View(OptionControl(n)).top};
    AnswerQuestions(run, fake, 10, 3);
    for (int n = 1; n <= 4; ++n) {
        EXPECT_EQ(View(OptionControl(n)).left, before[n - 1].first);
        EXPECT_EQ(View(OptionControl(n)).top, before[n - 1].second);
    }
}

TEST_F(NextTest, ReachingTheLastQuestionMovesTheButtonOutBeforeShowingIt) {
    StartInOrder();
    AnswerQuestions(run, fake, 20, 0);
    fake.log.clear();
    run.Command4_Click();
    EXPECT_EQ(run.State().QuestionNo, 21);
    EXPECT_EQ(View(Control::Command4).left, 14000);
    EXPECT_EQ(View(Control::Command4).top, 10000);
    EXPECT_TRUE(View(Control::Command4).visible);
    const auto moved = std::find(fake.log.begin(), fake.log.end(), "Command4.move");
    const auto shown = std::find_if(fake.log.begin(), fake.log.end(),
                                    [](const std::string& line) { return line.starts_with("Label1.caption="); });
    ASSERT_NE(moved, fake.log.end());
    ASSERT_NE(shown, fake.log.end());
    EXPECT_LT(moved, shown);
    EXPECT_EQ(CaptionOf(Control::Label1), FindQuestion(21)->QuestionText);
}

TEST_F(NextTest, StaysInPlaceBeforeTheLastQuestion) {
    StartInOrder();
    AnswerQuestions(run, fake, 20, 0);
    EXPECT_EQ(View(Control::Command4).left, 4560);
    EXPECT_EQ(View(Control::Command4).top, 5400);
}

TEST_F(NextTest, APressAtTheLastQuestionNeverPassesIt) {
    StartInOrder();
    AnswerQuestions(run, fake, 21, 0);
    fake.Choose(2);
    const std::string question = CaptionOf(Control::Label1);
    run.Command4_Click();
    run.Command4_Click();
    EXPECT_EQ(run.State().QuestionNo, 21);
    EXPECT_EQ(CaptionOf(Control::Label6), "21");
    EXPECT_EQ(CaptionOf(Control::Label1), question);
    EXPECT_TRUE(View(Control::Option2).selected);
    EXPECT_FALSE(fake.ended);
    EXPECT_TRUE(fake.boxes.empty());
}

TEST_F(NextTest, APressAtTheLastQuestionStillWarnsWhileItIsUnchecked) {
    StartInOrder();
    AnswerQuestions(run, fake, 20, 0);
    run.Command4_Click();
    run.Command4_Click();
    ExpectPressCheckBox(fake);
    EXPECT_EQ(run.State().QuestionNo, 21);
}

}  // namespace
}  // namespace infotest::testing
