#include <gtest/gtest.h>

#include "tests/run/fake_controls.h"

namespace infotest::testing {
namespace {

using ExitTest = RunTest;

void ExpectPressCheckOnExitBox(const FakeControls& fake) {
    ASSERT_FALSE(fake.boxes.empty());
    EXPECT_EQ(fake.boxes.back().prompt, "Нажмите кнопку ПРОВЕРИТЬ    ");
    EXPECT_EQ(fake.boxes.back().title, "Внимание!");
    EXPECT_EQ(fake.boxes.back().icon, MessageIcon::Information);
    EXPECT_FALSE(fake.ended);
}

TEST_F(ExitTest, BeforeStartEndsAtOnce) {
    run.Command3_Click();
    EXPECT_TRUE(fake.ended);
    EXPECT_EQ(fake.exitStatus, 0);
    EXPECT_TRUE(fake.boxes.empty());
    EXPECT_TRUE(run.Ended());
}

TEST_F(ExitTest, OnAnUncheckedQuestionAsksForCheck) {
    StartInOrder();
    run.Command3_Click();
    ExpectPressCheckOnExitBox(fake);
    EXPECT_EQ(run.State().ExitCount, 0);
}

TEST_F(ExitTest, AfterACheckWithNothingSelectedAsksForCheck) {
    StartInOrder();
    AnswerQuestions(run, fake, 6, 0);
    run.Command4_Click();
    run.Command2_Click();
    run.Command3_Click();
    ExpectPressCheckOnExitBox(fake);
    EXPECT_FALSE(View(Control::Label14).visible);
}

TEST_F(ExitTest, AfterFourQuestionsEndsWithoutAGrade) {
    StartInOrder();
    AnswerQuestions(run, fake, 4, 1);
    run.Command3_Click();
    EXPECT_TRUE(fake.ended);
    EXPECT_EQ(fake.exitStatus, 0);
    EXPECT_TRUE(fake.boxes.empty());
    EXPECT_FALSE(View(Control::Label14).visible);
    EXPECT_EQ(CaptionOf(Control::Label14), "");
    EXPECT_EQ(fake.callsAfterEnd, 0);
}

TEST_F(ExitTest, AfterFiveQuestionsShowsTheGradeAndAsksToShowTheTeacher) {
    StartInOrder();
    AnswerQuestions(run, fake, 5, 0);
    run.Command3_Click();
    EXPECT_FALSE(fake.ended);
    EXPECT_TRUE(View(Control::Label14).visible);
    EXPECT_EQ(CaptionOf(Control::Label14), "Ваша оценка: 5");
    EXPECT_FALSE(View(Control::Command4).visible);
    EXPECT_FALSE(View(Control::Label7).visible);
    EXPECT_FALSE(fake.timerEnabled);
    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_EQ(fake.boxes[0].prompt, "Покажите результат учителю");
    EXPECT_EQ(fake.boxes[0].title, "Внимание!");
    EXPECT_EQ(fake.boxes[0].icon, MessageIcon::Question);
}

TEST_F(ExitTest, TheSecondPressAfterTheGradeEnds) {
    StartInOrder();
    AnswerQuestions(run, fake, 5, 2);
    run.Command3_Click();
    ASSERT_FALSE(fake.ended);
    run.Command3_Click();
    EXPECT_TRUE(fake.ended);
    EXPECT_EQ(fake.exitStatus, 0);
    EXPECT_EQ(fake.boxes.size(), 1u);
}

TEST_F(ExitTest, ChecksAfterTheGradeChangeNothing) {
    StartInOrder();
    AnswerQuestions(run, fake, 5, 0);
    run.Command3_Click();
    fake.Choose(1);
    run.Command2_Click();
    EXPECT_EQ(CaptionOf(Control::Label4), "0");
    EXPECT_EQ(CaptionOf(Control::Label14), "Ваша оценка: 5");
}

struct Grading {
    int questions;
    int errors;
    const char* grade;
};

void PrintTo(const Grading& grading, std::ostream* out) {
    *out << grading.questions << " questions, " << grading.errors << " errors";
}

class GradeTest : public RunTest, public ::testing::WithParamInterface<Grading> {};

TEST_P(GradeTest, GivesTheGradeOfTheShareOfRightAnswers) {
    const Grading grading = GetParam();
    StartInOrder();
    AnswerQuestions(run, fake, grading.questions, grading.errors);
    run.Command3_Click();
    EXPECT_EQ(CaptionOf(Control::Label14), grading.grade)
        << grading.questions << " questions, " << grading.errors << " errors";
}

// Exactly 90, 75 and 50 percent belong to the higher grade.
INSTANTIATE_TEST_SUITE_P(BandEdges, GradeTest,
                         ::testing::Values(Grading{10, 1, "Ваша оценка: 5"}, Grading{20, 2, "Ваша оценка: 5"},
                                           Grading{8, 2, "Ваша оценка: 4"}, Grading{20, 5, "Ваша оценка: 4"},
                                           Grading{10, 5, "Ваша оценка: 3"}, Grading{5, 1, "Ваша оценка: 4"},
                                           Grading{5, 2, "Ваша оценка: 3"}, Grading{5, 3, "Ваша оценка: 2"},
                                           Grading{5, 5, "Ваша оценка: 2"}, Grading{6, 3, "Ваша оценка: 3"},
                                           Grading{7, 4, "Ваша оценка: 2"}));

std::vector<Grading> FullTestTable() {
    std::vector<Grading> table;
    for (int errors = 0; errors <= 21; ++errors) {
        const char* grade = errors <= 2    ? "Ваша оценка: 5"
                            : errors <= 5  ? "Ваша оценка: 4"
                            : errors <= 10 ? "Ваша оценка: 3"
                                           : "Ваша оценка: 2";
        table.push_back({21, errors, grade});
    }
    return table;
}

INSTANTIATE_TEST_SUITE_P(FullTest, GradeTest, ::testing::ValuesIn(FullTestTable()));

}  // namespace
}  // namespace infotest::testing
