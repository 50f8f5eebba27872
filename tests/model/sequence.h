#pragma once

// Random sequences of pupil actions, for driving a window and the model of
// the test run side by side; and the shrinking of a failing sequence to a
// short one that still fails.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/model/window_view.h"

namespace infotest::model {

struct Sequence {
    // What the window's random generator hands out, in order. Enough for any
    // Start; the model reads exactly as many as the rules of the test draw.
    std::vector<double> draws;
    // Seconds on the clock when the window opens (near the end of the clock's
    // range in a few sequences, to reach its overflow).
    std::int32_t openingSeconds = 0;
    std::vector<PupilEvent> events;
};

// One sequence, a pure function of its seed. Most are pupils taking the test
// (to question 21 and the grade, or stopping on the way), with presses out of
// turn, empty and repeated Checks, second thoughts, repeated keyboard presses
// of Next at question 21, ticks of the clock and closing the window; a few
// are actions at random.
Sequence GenerateSequence(std::uint64_t seed);

// The seed of sequence `index` of a run with seed `runSeed`.
std::uint64_t SequenceSeed(std::uint64_t runSeed, std::uint64_t index);

// The seed of a run: the value of INFOTEST_SEQUENCE_SEED (decimal or 0x-hex)
// when it is set, a fresh one otherwise.
std::uint64_t RunSeed();

// Removes actions from a failing sequence while it still fails: first long
// stretches, then single actions, until no single action can go; then the
// draws that nothing reads, and the clock at 0. At most `maxTrials` calls of `fails`.
Sequence Shrink(Sequence failing, const std::function<bool(const Sequence&)>& fails, int maxTrials = 20000);

// The sequence in a form a developer can read and replay by hand.
std::string Describe(const Sequence& sequence);

}  // namespace infotest::model
