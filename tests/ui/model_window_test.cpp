// Random pupils take the test on the real window, with real clicks and key
// presses, and side by side on the model of the test run; after every action
// the widgets must show what the model predicts. A disagreement is shrunk to
// the shortest sequence that still disagrees and printed with the seed that
// replays it (INFOTEST_SEQUENCE_SEED).

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <optional>
#include <sstream>

#include "tests/ui/qt_window_driver.h"

namespace infotest::testing {
namespace {

using model::ModelFault;
using model::Sequence;
using model::SideBySideResult;

constexpr int kSequences = 200;

bool Diverges(const Sequence& sequence, ModelFault fault = ModelFault::None) {
    QtWindow window;
    const SideBySideResult result = RunOnQtWindow(sequence, window, fault);
    return result.divergence.has_value() && result.invalid.empty();
}

std::string Report(const Sequence& failing) {
    // Each trial opens a window: fewer trials than on the recording fake.
    const Sequence shortest = model::Shrink(failing, [](const Sequence& candidate) { return Diverges(candidate); },
                                            1500);
    QtWindow window;
    const SideBySideResult result = RunOnQtWindow(shortest, window);
    std::ostringstream text;
    text << "shortest failing sequence:\n" << model::Describe(shortest);
    if (result.divergence) {
        text << "after action " << result.divergence->step << ", expected by the rules of the test vs shown:\n"
             << result.divergence->differences;
    } else {
        text << "(it did not fail again" << (result.invalid.empty() ? "" : ": " + result.invalid) << ")\n";
    }
    return text.str();
}

TEST(WindowSequences, TheWidgetsShowWhatTheRulesOfTheTestPredict) {
    const std::uint64_t seed = model::RunSeed();
    std::printf("seed: %" PRIu64 " (replay with INFOTEST_SEQUENCE_SEED=%" PRIu64 ")\n", seed, seed);

    const auto began = std::chrono::steady_clock::now();
    QtWindow window;
    std::size_t steps = 0;
    int divergences = 0;
    int reachedLast = 0;
    int unreachableNextKeys = 0;
    int ended = 0;
    std::array<int, 6> grades{};
    std::array<int, 4> layouts{};
    std::array<int, model::kBoxKindCount> boxes{};
    // Rare sights (the clock's overflow comes in about one sequence in a
    // hundred) may be missing from the first sequences: the run goes on with
    // the following sequences of the same seed until each has been seen.
    auto rareSightsMissing = [&] {
        for (const int count : boxes)
            if (count == 0) return true;
        for (int grade = 2; grade <= 5; ++grade)
            if (grades.at(static_cast<std::size_t>(grade)) < 2) return true;
        return false;
    };
    int sequences = 0;
    for (; sequences < kSequences || (rareSightsMissing() && sequences < 5 * kSequences); ++sequences) {
        const int i = sequences;
        const Sequence sequence = model::GenerateSequence(model::SequenceSeed(seed, static_cast<std::uint64_t>(i)));
        const SideBySideResult result = RunOnQtWindow(sequence, window);
        steps += result.steps;
        EXPECT_EQ(result.invalid, "") << "sequence " << i << " of the run with seed " << seed;
        const model::RunFacts& facts = result.facts;
        if (facts.highestPosition == 21) ++reachedLast;
        ++grades.at(static_cast<std::size_t>(facts.grade));
        if (facts.layout >= 0) ++layouts.at(static_cast<std::size_t>(facts.layout));
        for (std::size_t kind = 0; kind < boxes.size(); ++kind) boxes.at(kind) += facts.boxes.at(kind);
        unreachableNextKeys += window.UnreachableNextKeys();
        if (window.Window().Ended()) ++ended;
        if (result.divergence && ++divergences <= 2) {
            ADD_FAILURE() << "sequence " << i << " of the run with seed " << seed
                          << " disagrees with the rules of the test\n"
                          << Report(sequence);
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    std::printf("window sequences: %d, steps: %" PRIu64 ", divergences: %d (%.1f s)\n", sequences,
                static_cast<std::uint64_t>(steps), divergences, seconds);
    EXPECT_EQ(divergences, 0);

    // The sequences must reach what they are meant to exercise on this window
    // too: the last question and every grade, every arrangement of the
    // options, every kind of box, keyboard presses of Next that find the
    // button gone, and the end of the program.
    EXPECT_GE(reachedLast, sequences / 3);
    for (int grade = 2; grade <= 5; ++grade)
        EXPECT_GE(grades.at(static_cast<std::size_t>(grade)), 2) << "grade " << grade;
    for (int layout = 0; layout < 4; ++layout)
        EXPECT_GE(layouts.at(static_cast<std::size_t>(layout)), sequences / 10) << "arrangement " << layout;
    for (int kind = 0; kind < model::kBoxKindCount; ++kind)
        EXPECT_GE(boxes.at(static_cast<std::size_t>(kind)), 1) << "box kind " << kind;
    EXPECT_GE(unreachableNextKeys, 10);
    EXPECT_GE(ended, sequences / 2);
}

// The comparison must be able to fail on the real widgets: a model that
// drops one rule of the test disagrees with what the window shows, in its
// selection, its clock or its error count.
struct PlantedFault {
    ModelFault fault;
    const char* name;
};

void PrintTo(const PlantedFault& planted, std::ostream* out) { *out << planted.name; }

class WindowFindsAPlantedFault : public ::testing::TestWithParam<PlantedFault> {};

TEST_P(WindowFindsAPlantedFault, InTheFirstFewSequences) {
    const PlantedFault planted = GetParam();
    std::optional<Sequence> failing;
    for (std::uint64_t i = 0; i < 40 && !failing; ++i) {
        Sequence sequence = model::GenerateSequence(model::SequenceSeed(20260301, i));
        if (Diverges(sequence, planted.fault)) failing = std::move(sequence);
    }
    ASSERT_TRUE(failing.has_value()) << "no sequence showed the planted fault";
    EXPECT_FALSE(Diverges(*failing)) << "the window itself disagrees:\n" << model::Describe(*failing);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, WindowFindsAPlantedFault,
    ::testing::Values(PlantedFault{ModelFault::RepeatedCheckJudgesAgain, "RepeatedCheckJudgesAgain"},
                      PlantedFault{ModelFault::GradeLeavesClockRunning, "GradeLeavesClockRunning"},
                      PlantedFault{ModelFault::NextKeepsSelection, "NextKeepsSelection"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace infotest::testing
