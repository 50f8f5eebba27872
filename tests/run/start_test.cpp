#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tests/run/fake_controls.h"

namespace infotest::testing {
namespace {

using StartTest = RunTest;

TEST_F(StartTest, SwapsTheStartButtonForTheNextButton) {
    StartInOrder();
    EXPECT_FALSE(View(Control::Command1).visible);
    EXPECT_TRUE(View(Control::Command4).visible);
}

TEST_F(StartTest, TheNestedNextRunsBeforeTheOrderIsDrawnAndShowsNoBox) {
    StartInOrder();
    const auto randomize = std::find(fake.log.begin(), fake.log.end(), "randomize");
    const auto hide = std::find(fake.log.begin(), fake.log.end(), "Command1.hide");
    ASSERT_NE(randomize, fake.log.end());
    EXPECT_LT(hide, randomize);
    EXPECT_TRUE(fake.boxes.empty());
    // The nested Next found no question to show: the first question is
    // written once, after the order was drawn.
    EXPECT_EQ(std::count(fake.log.begin(), fake.log.end(),
                         "Label1.caption=" + std::string(FindQuestion(1)->QuestionText)),
              1);
    EXPECT_EQ(std::count_if(fake.log.begin(), randomize,
                            [](const std::string& line) { return line.starts_with("Label1.caption"); }),
              0);
}

TEST_F(StartTest, MovesTheTitleImageOutOfTheWindowWithoutHidingIt) {
    StartInOrder();
    EXPECT_EQ(View(Control::Picture1).left, 14000);
    EXPECT_EQ(View(Control::Picture1).top, 10000);
    EXPECT_TRUE(View(Control::Picture1).visible);
}

TEST_F(StartTest, ShowsTheFirstQuestionNumberedOneWithNothingSelected) {
    StartInOrder();
    EXPECT_EQ(CaptionOf(Control::Label6), "1");
    EXPECT_EQ(CaptionOf(Control::Label8), "из 21");
    EXPECT_EQ(CaptionOf(Control::Label7), "");
    EXPECT_EQ(CaptionOf(Control::Frame1), "Выберите ответ (изменения вносите до ПРОВЕРКИ)");
    EXPECT_EQ(CaptionOf(Control::Label1), FindQuestion(1)->QuestionText);
    for (int n = 1; n <= 4; ++n) {
        EXPECT_TRUE(View(OptionControl(n)).visible);
        EXPECT_EQ(View(OptionControl(n)).backColor, 0xC0FFC0u);
        EXPECT_EQ(CaptionOf(OptionControl(n)), FindQuestion(1)->OptionCaptions[static_cast<std::size_t>(n - 1)]);
    }
    EXPECT_EQ(fake.SelectedCount(), 0);
    EXPECT_EQ(run.State().QuestionNo, 1);
    EXPECT_EQ(run.State().StartCount, 1);
}

TEST_F(StartTest, ClearsASelectionMadeBeforeStart) {
    fake.Choose(3);
    StartInOrder();
    EXPECT_EQ(fake.SelectedCount(), 0);
}

TEST_F(StartTest, RedrawsACandidateAlreadyInTheOrder) {
    // 5 is drawn again for the second slot and must be refused.
    std::vector<double> draws{DrawForCandidate(5), DrawForCandidate(5), DrawForCandidate(5)};
    std::array<int, kQuestionCount> expected{};
    expected[0] = 5;
    int next = 1;
    for (std::size_t i = 1; i < expected.size(); ++i) {
        if (next == 5) ++next;
        expected[i] = next++;
    }
    for (std::size_t i = 1; i < expected.size(); ++i) draws.push_back(DrawForCandidate(expected[i]));
    draws.push_back(DrawForLayout(0));
    fake.ScriptDraws(draws);
    run.Command1_Click();
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(run.State().QuestionOrder[i], expected[i]) << i;
    EXPECT_EQ(ShownId(), 5);
    EXPECT_EQ(CaptionOf(Control::Label1), FindQuestion(5)->QuestionText);
}

TEST_F(StartTest, DealsTheDrawnPermutation) {
    std::array<int, kQuestionCount> order = IdentityOrder();
    std::reverse(order.begin(), order.end());
    StartWith(order);
    for (std::size_t i = 0; i < order.size(); ++i) EXPECT_EQ(run.State().QuestionOrder[i], order[i]);
    EXPECT_EQ(CaptionOf(Control::Label1), FindQuestion(21)->QuestionText);
}

TEST_F(StartTest, TheSmallestAndLargestDrawsGiveTheEndsOfBothRanges) {
    const double largest = std::nextafter(1.0, 0.0);
    // The largest draw picks id 21 first; zero picks id 1 next.
    std::vector<double> draws{largest, 0.0};
    for (int id = 2; id <= 20; ++id) draws.push_back(DrawForCandidate(id));
    draws.push_back(largest);
    fake.ScriptDraws(draws);
    run.Command1_Click();
    EXPECT_EQ(run.State().QuestionOrder[0], 21);
    EXPECT_EQ(run.State().QuestionOrder[1], 1);
    EXPECT_EQ(run.State().LayoutRoll, 249);
    EXPECT_EQ(run.State().FillIndex, 22);
    EXPECT_EQ(run.State().ScanIndex, 22);
}

TEST_F(StartTest, AZeroLayoutDrawGivesTheFirstArrangement) {
    std::vector<double> draws = DrawsForStart(IdentityOrder(), 0);
    draws.back() = 0.0;
    fake.ScriptDraws(draws);
    run.Command1_Click();
    EXPECT_EQ(run.State().LayoutRoll, 50);
    EXPECT_EQ(View(Control::Option4).top, 360);
}

TEST_F(StartTest, ReseedsOnceBeforeDrawing) {
    StartInOrder();
    EXPECT_EQ(fake.randomizeCount, 1);
}

TEST_F(StartTest, LeavesTheClockCounting) {
    TickSeconds(run, fake, 3);
    StartInOrder();
    TickSeconds(run, fake, 1);
    EXPECT_TRUE(fake.timerEnabled);
    EXPECT_EQ(CaptionOf(Control::Label13), "4");
}

// Each arrangement: the buttons from the top place to the bottom one.
struct Arrangement {
    int layout;
    std::array<int, 4> topToBottom;
};

void PrintTo(const Arrangement& arrangement, std::ostream* out) { *out << "arrangement " << arrangement.layout; }

class OptionLayoutTest : public RunTest, public ::testing::WithParamInterface<Arrangement> {};

TEST_P(OptionLayoutTest, PlacesTheButtonsOneUnderTheOther) {
    const Arrangement arrangement = GetParam();
    StartWith(IdentityOrder(), arrangement.layout);
    const std::array<std::pair<double, int>, 4> places{{{360, 360}, {350, 900}, {350, 1500}, {350, 2100}}};
    for (std::size_t place = 0; place < places.size(); ++place) {
        const ControlView& option = View(OptionControl(arrangement.topToBottom[place]));
        EXPECT_EQ(option.left, places[place].first) << "place " << place;
        EXPECT_EQ(option.top, places[place].second) << "place " << place;
    }
}

TEST_P(OptionLayoutTest, KeepsEachCaptionOnItsNamedButton) {
    StartWith(IdentityOrder(), GetParam().layout);
    EXPECT_EQ(CaptionOf(Control::Option4), "1 бит");
    fake.Choose(4);
    run.Command2_Click();
    EXPECT_EQ(CaptionOf(Control::Label4), "0");
}

INSTANTIATE_TEST_SUITE_P(AllFour, OptionLayoutTest,
                         ::testing::Values(Arrangement{0, {4, 1, 2, 3}}, Arrangement{1, {3, 2, 4, 1}},
                                           Arrangement{2, {2, 3, 1, 4}}, Arrangement{3, {1, 4, 3, 2}}));

TEST_F(StartTest, BandEdgesPickTheirArrangements) {
    // LayoutRoll 99 is still the first band, 100 the second.
    for (const auto& [roll, topButton] : std::array<std::pair<int, int>, 4>{{{99, 4}, {100, 3}, {199, 2}, {200, 1}}}) {
        FakeControls edgeFake;
        TestRun edgeRun(edgeFake);
        std::vector<double> draws = DrawsForStart(IdentityOrder(), 0);
        draws.back() = (roll - 50 + 0.5) / 200.0;
        edgeFake.ScriptDraws(draws);
        edgeRun.Command1_Click();
        EXPECT_EQ(edgeRun.State().LayoutRoll, roll);
        EXPECT_EQ(edgeFake.View(OptionControl(topButton)).top, 360) << roll;
        EXPECT_EQ(edgeFake.View(OptionControl(topButton)).left, 360) << roll;
    }
}

}  // namespace
}  // namespace infotest::testing
