#include "tests/model/window_sequences.h"

#include <chrono>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <sstream>
#include <utility>

namespace infotest::model {
namespace {

bool Diverges(const WindowOpener& openWindow, const Sequence& sequence, ModelFault fault = ModelFault::None) {
    const std::unique_ptr<RealWindow> window = openWindow();
    const SideBySideResult result = RunOnRealWindow(sequence, *window, fault);
    return result.divergence.has_value() && result.invalid.empty();
}

// The shortest failing sequence and where the window first disagrees with
// the model on it.
std::string Report(const WindowOpener& openWindow, const Sequence& failing, int shrinkTrials) {
    const auto fails = [&](const Sequence& candidate) { return Diverges(openWindow, candidate); };
    const Sequence shortest = Shrink(failing, fails, shrinkTrials);
    const std::unique_ptr<RealWindow> window = openWindow();
    const SideBySideResult result = RunOnRealWindow(shortest, *window);
    std::ostringstream text;
    text << "shortest failing sequence:\n" << Describe(shortest);
    if (result.divergence) {
        text << "after action " << result.divergence->step << ", expected by the rules of the test vs shown:\n"
             << result.divergence->differences;
    } else {
        text << "(it did not fail again" << (result.invalid.empty() ? "" : ": " + result.invalid) << ")\n";
    }
    return text.str();
}

}  // namespace

void ExpectWindowFollowsTheRules(const WindowOpener& openWindow, int sequences, const char* label, int shrinkTrials) {
    const std::uint64_t seed = RunSeed();
    std::printf("seed: %" PRIu64 " (replay with INFOTEST_SEQUENCE_SEED=%" PRIu64 ")\n", seed, seed);

    const auto began = std::chrono::steady_clock::now();
    const std::unique_ptr<RealWindow> window = openWindow();
    std::size_t steps = 0;
    int divergences = 0;
    int reachedLast = 0;
    int unreachableNextKeys = 0;
    int ended = 0;
    std::array<int, 6> grades{};
    std::array<int, 4> layouts{};
    std::array<int, kBoxKindCount> boxes{};
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
    int run = 0;
    for (; run < sequences || (rareSightsMissing() && run < 5 * sequences); ++run) {
        const Sequence sequence = GenerateSequence(SequenceSeed(seed, static_cast<std::uint64_t>(run)));
        const SideBySideResult result = RunOnRealWindow(sequence, *window);
        steps += result.steps;
        EXPECT_EQ(result.invalid, "") << label << ": sequence " << run << " of the run with seed " << seed;
        const RunFacts& facts = result.facts;
        if (facts.highestPosition == 21) ++reachedLast;
        ++grades.at(static_cast<std::size_t>(facts.grade));
        if (facts.layout >= 0) ++layouts.at(static_cast<std::size_t>(facts.layout));
        for (std::size_t kind = 0; kind < boxes.size(); ++kind) boxes.at(kind) += facts.boxes.at(kind);
        unreachableNextKeys += window->UnreachableNextKeys();
        if (window->ProgramEnded()) ++ended;
        if (result.divergence && ++divergences <= 2) {
            ADD_FAILURE() << label << ": sequence " << run << " of the run with seed " << seed
                          << " disagrees with the rules of the test\n"
                          << Report(openWindow, sequence, shrinkTrials);
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    std::printf("window sequences: %d, steps: %" PRIu64 ", divergences: %d (%.1f s)\n", run,
                static_cast<std::uint64_t>(steps), divergences, seconds);
    EXPECT_EQ(divergences, 0) << label;

    // The sequences must reach what they are meant to exercise on this window
    // too: the last question and every grade, every arrangement of the
    // options, every kind of box, keyboard presses of Next that find the
    // button gone, and the end of the program.
    EXPECT_GE(reachedLast, run / 3) << label;
    for (int grade = 2; grade <= 5; ++grade)
        EXPECT_GE(grades.at(static_cast<std::size_t>(grade)), 2) << label << ": grade " << grade;
    for (int layout = 0; layout < 4; ++layout)
        EXPECT_GE(layouts.at(static_cast<std::size_t>(layout)), run / 10) << label << ": arrangement " << layout;
    for (int kind = 0; kind < kBoxKindCount; ++kind)
        EXPECT_GE(boxes.at(static_cast<std::size_t>(kind)), 1) << label << ": box kind " << kind;
    EXPECT_GE(unreachableNextKeys, 10) << label;
    EXPECT_GE(ended, run / 2) << label;
}

void PrintTo(const PlantedFault& planted, std::ostream* out) { *out << planted.name; }

std::string PlantedFaultName(const ::testing::TestParamInfo<PlantedFault>& info) { return info.param.name; }

void ExpectWindowFindsPlantedFault(const WindowOpener& openWindow, ModelFault fault, const char* label,
                                   int withinSequences) {
    std::optional<Sequence> failing;
    for (int i = 0; i < withinSequences && !failing; ++i) {
        Sequence sequence = GenerateSequence(SequenceSeed(20260301, static_cast<std::uint64_t>(i)));
        if (Diverges(openWindow, sequence, fault)) failing = std::move(sequence);
    }
    ASSERT_TRUE(failing.has_value()) << label << ": no sequence showed the planted fault";
    EXPECT_FALSE(Diverges(openWindow, *failing)) << "the " << label << " itself disagrees:\n" << Describe(*failing);
}

}  // namespace infotest::model
