// Random pupils take the test on the real window, with real clicks and key
// presses, and side by side on the model of the test run; after every action
// the widgets must show what the model predicts. A disagreement is shrunk to
// the shortest sequence that still disagrees and printed with the seed that
// replays it (INFOTEST_SEQUENCE_SEED).

#include <gtest/gtest.h>

#include <memory>

#include "tests/model/window_sequences.h"
#include "tests/model/window_suite.h"
#include "tests/ui/qt/qt_window_driver.h"

namespace infotest::testing {
namespace {

std::unique_ptr<model::RealWindow> OpenQtWindow() { return std::make_unique<QtWindow>(); }

TEST(WindowSequences, TheWidgetsShowWhatTheRulesOfTheTestPredict) {
    model::ExpectWindowFollowsTheRules(OpenQtWindow, 200, "Qt window");
}

// The comparison must be able to fail on the real widgets: a model that
// drops one rule of the test disagrees with what the window shows, in its
// selection, its clock or its error count.
class WindowFindsAPlantedFault : public ::testing::TestWithParam<model::PlantedFault> {};

TEST_P(WindowFindsAPlantedFault, InTheFirstFewSequences) {
    model::ExpectWindowFindsPlantedFault(OpenQtWindow, GetParam().fault, "Qt window");
}

INSTANTIATE_TEST_SUITE_P(Faults, WindowFindsAPlantedFault, ::testing::ValuesIn(model::kPlantedFaults),
                         model::PlantedFaultName);

// The checks that are the same for every window.
using model::EveryWindow;
INSTANTIATE_TEST_SUITE_P(Qt, EveryWindow, ::testing::Values(model::WindowKind{"Qt", OpenQtWindow}),
                         model::WindowKindName);

}  // namespace
}  // namespace infotest::testing
