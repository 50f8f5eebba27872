#pragma once

// The random-sequence tests of a real window, for any window that can be
// driven as a RealWindow: random pupils take the test on the window and, side
// by side, on the model of the test run; and a model with one rule of the
// test dropped must disagree with the window. Each window's test binary calls
// these from its own TESTs with its way of opening the window.

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "tests/model/real_window.h"

namespace infotest::model {

// Opens a fresh window object; RealWindow::Open then opens the window itself
// for each sequence.
using WindowOpener = std::function<std::unique_ptr<RealWindow>()>;

// Runs `sequences` random sequences of a fresh run seed (INFOTEST_SEQUENCE_SEED
// replays one) on one window, and more of the same seed, up to five times as
// many, until the rare sights have all been seen. Every sequence must be
// valid and agree with the model after every action; the first disagreements
// are shrunk (each trial opens a window, at most `shrinkTrials` of them) and
// reported with the seed. Prints the seed and a line
// "window sequences: N, steps: M, divergences: D (T s)", and expects the
// sequences to have reached the last question, every grade, arrangement of
// the options and kind of box, keyboard presses of Next that find the button
// gone, and the end of the program. `label` names the window in failures.
void ExpectWindowFollowsTheRules(const WindowOpener& openWindow, int sequences, const char* label,
                                 int shrinkTrials = 1500);

// A rule of the test the model can be made to drop.
struct PlantedFault {
    ModelFault fault;
    const char* name;
};

// The faults a real window must expose: in its selection, its clock and its
// error count.
inline constexpr std::array<PlantedFault, 3> kPlantedFaults{{
    {ModelFault::RepeatedCheckJudgesAgain, "RepeatedCheckJudgesAgain"},
    {ModelFault::GradeLeavesClockRunning, "GradeLeavesClockRunning"},
    {ModelFault::NextKeepsSelection, "NextKeepsSelection"},
}};

void PrintTo(const PlantedFault& planted, std::ostream* out);

// The test name of a planted-fault case, for INSTANTIATE_TEST_SUITE_P:
//   INSTANTIATE_TEST_SUITE_P(Faults, Suite, ::testing::ValuesIn(model::kPlantedFaults),
//                            model::PlantedFaultName);
std::string PlantedFaultName(const ::testing::TestParamInfo<PlantedFault>& info);

// Expects one of the first `withinSequences` sequences of a fixed seed to
// disagree with the model carrying the planted fault, and the window to agree
// on that sequence with the faultless model.
void ExpectWindowFindsPlantedFault(const WindowOpener& openWindow, ModelFault fault, const char* label,
                                   int withinSequences = 40);

}  // namespace infotest::model
