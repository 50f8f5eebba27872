// Random pupils take the test on the real Win32 window, with clicks, key
// presses, timer messages and close requests, and side by side on the model
// of the test run; after every action the controls must show what the model
// predicts.

#include <gtest/gtest.h>

#include <memory>

#include "tests/model/window_sequences.h"
#include "tests/model/window_suite.h"
#include "tests/ui/win32/win32_window_driver.h"

namespace infotest::testing {
namespace {

// Fewer than on Linux: every sequence opens a window under Wine.
constexpr int kSequences = 100;

std::unique_ptr<model::RealWindow> OpenWin32Window() { return std::make_unique<Win32Window>(); }

TEST(Win32WindowSequences, TheControlsShowWhatTheRulesOfTheTestPredict) {
    model::ExpectWindowFollowsTheRules(OpenWin32Window, kSequences, "the Win32 window", 300);
}

class Win32WindowFindsAPlantedFault : public ::testing::TestWithParam<model::PlantedFault> {};

TEST_P(Win32WindowFindsAPlantedFault, InTheFirstFewSequences) {
    model::ExpectWindowFindsPlantedFault(OpenWin32Window, GetParam().fault, "the Win32 window");
}

INSTANTIATE_TEST_SUITE_P(Faults, Win32WindowFindsAPlantedFault, ::testing::ValuesIn(model::kPlantedFaults),
                         model::PlantedFaultName);

// The checks that are the same for every window.
using model::EveryWindow;
INSTANTIATE_TEST_SUITE_P(Win32, EveryWindow, ::testing::Values(model::WindowKind{"Win32", OpenWin32Window}),
                         model::WindowKindName);

}  // namespace
}  // namespace infotest::testing
