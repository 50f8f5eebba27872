// Thousands of random pupils take the test on the recording fake window and,
// side by side, on the model of the test run; after every action both must
// show the same. A disagreement is shrunk to the shortest sequence that
// still disagrees and printed with the seed that replays it.

#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <memory>
#include <ostream>
#include <sstream>

#include "tests/model/side_by_side.h"
#include "tests/run/fake_controls.h"

namespace infotest::model {
namespace {

using infotest::testing::FakeControls;

void ReadWindow(const FakeControls& fake, WindowView& into) {
    for (int index = 0; index < kControlCount; ++index) {
        const auto control = static_cast<Control>(index);
        const auto& shown = fake.View(control);
        ControlView& view = into[control];
        if (view.caption != shown.caption) view.caption = shown.caption;
        view.left = shown.left;
        view.top = shown.top;
        view.backColor = shown.backColor;
        view.visible = shown.visible;
        view.selected = shown.selected;
    }
    into.timerEnabled = fake.timerEnabled;
}

// Only what decides whether the window passes an action on: where the
// controls are and whether they are shown; the timer.
void ReadPlaces(const FakeControls& fake, WindowView& into) {
    for (int index = 0; index < kControlCount; ++index) {
        const auto control = static_cast<Control>(index);
        const auto& shown = fake.View(control);
        ControlView& view = into[control];
        view.left = shown.left;
        view.top = shown.top;
        view.visible = shown.visible;
    }
    into.timerEnabled = fake.timerEnabled;
}

// Calls of the logic that a deliberately broken window leaves undone, as if
// the logic had skipped a step.
enum class DroppedCall { None, ClearSelected, MoveCommand4 };

// The recording fake, noting the window behind each box while it is open.
class WatchedFake : public FakeControls {
public:
    explicit WatchedFake(DroppedCall dropped) : dropped_(dropped) {}

    void ClearSelected(Control option) override {
        if (dropped_ != DroppedCall::ClearSelected) FakeControls::ClearSelected(option);
    }
    void Move(Control control, double leftTwips, int topTwips) override {
        if (dropped_ != DroppedCall::MoveCommand4 || control != Control::Command4)
            FakeControls::Move(control, leftTwips, topTwips);
    }
    int ShowMessage(std::string_view prompt, std::string_view title, MessageIcon icon) override {
        ShownBox box{std::string(prompt), std::string(title), icon, {}};
        ReadWindow(*this, box.windowBehind);
        opened.push_back(std::move(box));
        return FakeControls::ShowMessage(prompt, title, icon);
    }

    std::vector<ShownBox> opened;

private:
    DroppedCall dropped_;
};

// The real test logic on the recording fake, taking the pupil's actions the
// way the window would. Closing the window has no procedure in the logic:
// the window is gone and nothing reaches the logic any more. After the logic
// has ended the program its procedures are still called for the actions a
// window would pass on, to prove that they then do nothing.
class FakeWindow : public WindowUnderTest {
public:
    explicit FakeWindow(DroppedCall dropped = DroppedCall::None) : dropped_(dropped) {}

    void Open(const Sequence& sequence) override {
        run_.reset();
        fake_ = std::make_unique<WatchedFake>(dropped_);
        // The fake starts with only what the logic touches set up; give it the
        // whole window as it opens, so that nothing else may change either.
        const WindowView& opening = OpeningWindow();
        for (int index = 0; index < kControlCount; ++index) {
            const auto control = static_cast<Control>(index);
            if (control == Control::Timer1) continue;
            const ControlView& view = opening[control];
            const auto& now = fake_->View(control);
            if (now.caption != view.caption) fake_->SetCaption(control, view.caption);
            if (now.left != view.left || now.top != view.top) fake_->Move(control, view.left, view.top);
            if (now.backColor != view.backColor) fake_->SetBackColor(control, view.backColor);
            if (now.visible != view.visible) fake_->SetVisible(control, view.visible);
        }
        fake_->ScriptDraws(sequence.draws);
        run_ = std::make_unique<TestRun>(*fake_);
        run_->StateForTesting().ElapsedSeconds = sequence.openingSeconds;
        closed_ = false;
    }

    void Apply(const PupilEvent& event) override {
        if (closed_) return;
        ReadPlaces(*fake_, places_);
        if (!WindowTakes(places_, event)) return;
        switch (event.action) {
            case Action::Start: run_->Command1_Click(); break;
            case Action::Check: run_->Command2_Click(); break;
            case Action::Exit: run_->Command3_Click(); break;
            case Action::NextClick:
            case Action::NextKey: run_->Command4_Click(); break;
            case Action::Tick: run_->Timer1_Timer(); break;
            case Action::Choose:
                if (!fake_->ended) fake_->Choose(event.option);
                break;
            case Action::Close:
                if (!fake_->ended) closed_ = true;
                break;
        }
    }

    void Observe(Observation& into) override {
        ReadWindow(*fake_, into.window);
        into.boxes = std::move(fake_->opened);
        fake_->opened.clear();
        into.ended = fake_->ended || closed_;
        into.exitStatus = fake_->ended ? fake_->exitStatus : (closed_ ? 0 : -1);
        into.reseeds = fake_->randomizeCount;
        into.touchesAfterEnd = fake_->callsAfterEnd;
    }

private:
    DroppedCall dropped_;
    std::unique_ptr<WatchedFake> fake_;
    std::unique_ptr<TestRun> run_;
    WindowView places_;
    bool closed_ = false;
};

bool Diverges(const Sequence& sequence, ModelFault fault = ModelFault::None, DroppedCall dropped = DroppedCall::None) {
    FakeWindow window(dropped);
    const SideBySideResult result = RunSideBySide(sequence, window, fault);
    return result.divergence.has_value() && result.invalid.empty();
}

// The shortest failing sequence, the order of questions its draws deal and
// where the window first disagrees with the model.
std::string Report(const Sequence& failing, ModelFault fault = ModelFault::None) {
    const Sequence shortest =
        Shrink(failing, [fault](const Sequence& candidate) { return Diverges(candidate, fault); });
    FakeWindow window;
    const SideBySideResult result = RunSideBySide(shortest, window, fault);
    std::ostringstream text;
    text << "shortest failing sequence:\n" << Describe(shortest);
    TestModel model(DrawsOf(shortest));
    for (const PupilEvent& event : shortest.events) model.Apply(event);
    if (model.Started()) {
        text << "questions in the order dealt:";
        for (int id : model.Order()) text << ' ' << id;
        text << '\n';
    }
    if (result.divergence) {
        text << "after action " << result.divergence->step << ", expected by the rules of the test vs shown:\n"
             << result.divergence->differences;
    }
    return text.str();
}

TEST(RandomSequences, TheLogicShowsWhatTheRulesOfTheTestPredict) {
    constexpr int kSequences = 10000;
    const std::uint64_t seed = RunSeed();
    std::printf("seed: %" PRIu64 " (replay with INFOTEST_SEQUENCE_SEED=%" PRIu64 ")\n", seed, seed);

    FakeWindow window;
    std::size_t steps = 0;
    int divergences = 0;
    int reachedLast = 0;
    std::array<int, 6> grades{};
    std::array<int, 4> layouts{};
    std::array<int, kBoxKindCount> boxes{};
    for (int i = 0; i < kSequences; ++i) {
        const Sequence sequence = GenerateSequence(SequenceSeed(seed, static_cast<std::uint64_t>(i)));
        const SideBySideResult result = RunSideBySide(sequence, window);
        steps += result.steps;
        EXPECT_EQ(result.invalid, "") << "sequence " << i << " of the run with seed " << seed;
        const RunFacts& facts = result.facts;
        if (facts.highestPosition == 21) ++reachedLast;
        ++grades.at(static_cast<std::size_t>(facts.grade));
        if (facts.layout >= 0) ++layouts.at(static_cast<std::size_t>(facts.layout));
        for (std::size_t kind = 0; kind < boxes.size(); ++kind) boxes.at(kind) += facts.boxes.at(kind);
        if (result.divergence && ++divergences <= 3) {
            ADD_FAILURE() << "sequence " << i << " of the run with seed " << seed
                          << " disagrees with the rules of the test\n"
                          << Report(sequence);
        }
    }
    std::printf("sequences: %d, steps: %" PRIu64 ", divergences: %d\n", kSequences, static_cast<std::uint64_t>(steps),
                divergences);
    EXPECT_EQ(divergences, 0);

    // The sequences must reach what they are meant to exercise.
    EXPECT_GE(reachedLast, kSequences / 3);
    for (int grade = 2; grade <= 5; ++grade)
        EXPECT_GE(grades.at(static_cast<std::size_t>(grade)), kSequences / 50) << "grade " << grade;
    for (int layout = 0; layout < 4; ++layout)
        EXPECT_GE(layouts.at(static_cast<std::size_t>(layout)), kSequences / 8) << "arrangement " << layout;
    for (int kind = 0; kind < kBoxKindCount; ++kind)
        EXPECT_GE(boxes.at(static_cast<std::size_t>(kind)), 20) << "box kind " << kind;
}

// The comparison must be able to fail: a model that drops one rule of the
// test disagrees with the real logic, and the disagreement shrinks to a few
// actions from which none can be left out.
struct PlantedFault {
    ModelFault fault;
    std::size_t longestShrunk;
    const char* name;
};

void PrintTo(const PlantedFault& planted, std::ostream* out) { *out << planted.name; }

class HarnessFindsAPlantedFault : public ::testing::TestWithParam<PlantedFault> {};

TEST_P(HarnessFindsAPlantedFault, AndShrinksItToAFewActions) {
    const PlantedFault planted = GetParam();
    std::optional<Sequence> failing;
    for (std::uint64_t i = 0; i < 2000 && !failing; ++i) {
        Sequence sequence = GenerateSequence(SequenceSeed(20260214, i));
        if (Diverges(sequence, planted.fault)) failing = std::move(sequence);
    }
    ASSERT_TRUE(failing.has_value()) << "no sequence showed the planted fault";

    const Sequence shortest =
        Shrink(*failing, [&](const Sequence& candidate) { return Diverges(candidate, planted.fault); });
    EXPECT_TRUE(Diverges(shortest, planted.fault));
    EXPECT_FALSE(Diverges(shortest)) << "the real logic itself disagrees:\n" << Describe(shortest);
    EXPECT_LE(shortest.events.size(), planted.longestShrunk) << Describe(shortest);
    for (std::size_t i = 0; i < shortest.events.size(); ++i) {
        Sequence shorter = shortest;
        shorter.events.erase(shorter.events.begin() + static_cast<std::ptrdiff_t>(i));
        EXPECT_FALSE(Diverges(shorter, planted.fault)) << "action " << i + 1 << " could go:\n" << Describe(shortest);
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, HarnessFindsAPlantedFault,
                         ::testing::Values(
                             // Start, choose a wrong answer, Check, Check (or a change of mind between).
                             PlantedFault{ModelFault::RepeatedCheckJudgesAgain, 5, "RepeatedCheckJudgesAgain"},
                             // Start, then five questions answered and checked with Next between, Exit.
                             PlantedFault{ModelFault::GradeLeavesClockRunning, 16, "GradeLeavesClockRunning"},
                             // Start, choose, Check, Next.
                             PlantedFault{ModelFault::NextKeepsSelection, 4, "NextKeepsSelection"}),
                         [](const auto& info) { return std::string(info.param.name); });

// And from the other side: a window that leaves one call of the logic
// undone, as a logic that skips a step would, is caught as well.
struct SkippedStep {
    DroppedCall dropped;
    std::size_t longestShrunk;
    const char* name;
};

void PrintTo(const SkippedStep& skipped, std::ostream* out) { *out << skipped.name; }

class HarnessFindsASkippedStep : public ::testing::TestWithParam<SkippedStep> {};

TEST_P(HarnessFindsASkippedStep, AndShrinksItToTheActionsThatReachIt) {
    const SkippedStep skipped = GetParam();
    auto fails = [&](const Sequence& candidate) { return Diverges(candidate, ModelFault::None, skipped.dropped); };
    std::optional<Sequence> failing;
    for (std::uint64_t i = 0; i < 2000 && !failing; ++i) {
        Sequence sequence = GenerateSequence(SequenceSeed(20260215, i));
        if (fails(sequence)) failing = std::move(sequence);
    }
    ASSERT_TRUE(failing.has_value()) << "no sequence showed the skipped step";
    const Sequence shortest = Shrink(*failing, fails);
    EXPECT_TRUE(fails(shortest));
    EXPECT_LE(shortest.events.size(), skipped.longestShrunk) << Describe(shortest);
}

INSTANTIATE_TEST_SUITE_P(Steps, HarnessFindsASkippedStep,
                         ::testing::Values(
                             // Start, choose, Check, Next: the new question still shows the choice.
                             SkippedStep{DroppedCall::ClearSelected, 4, "ClearingTheSelection"},
                             // Start, then twenty questions answered with Next between: the last
                             // Next leaves the button within the mouse's reach.
                             SkippedStep{DroppedCall::MoveCommand4, 61, "MovingNextAwayAtTheLastQuestion"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Shrinking, FindsTheFewActionsThatMatter) {
    Sequence sequence = GenerateSequence(SequenceSeed(7, 7));
    sequence.events.insert(sequence.events.begin() + static_cast<std::ptrdiff_t>(sequence.events.size() / 3),
                           {Action::Choose, 3});
    // Fails while it holds a Choose 3 followed, anywhere later, by an Exit.
    auto fails = [](const Sequence& candidate) {
        bool chose = false;
        for (const PupilEvent& event : candidate.events) {
            if (event == PupilEvent{Action::Choose, 3}) chose = true;
            if (chose && event.action == Action::Exit) return true;
        }
        return false;
    };
    sequence.events.push_back({Action::Exit});
    const Sequence shortest = Shrink(sequence, fails);
    const std::vector<PupilEvent> expected{{Action::Choose, 3}, {Action::Exit}};
    EXPECT_EQ(shortest.events, expected) << Describe(shortest);
}

TEST(Shrinking, ASeedReplaysTheSameSequence) {
    const Sequence first = GenerateSequence(SequenceSeed(42, 9));
    const Sequence again = GenerateSequence(SequenceSeed(42, 9));
    const Sequence other = GenerateSequence(SequenceSeed(42, 10));
    EXPECT_EQ(first.events, again.events);
    EXPECT_EQ(first.draws, again.draws);
    EXPECT_NE(first.draws, other.draws);
}

}  // namespace
}  // namespace infotest::model
