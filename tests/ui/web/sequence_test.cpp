// Random pupils take the test in the page, with pointer events, keys, clock
// ticks and the closing of the tab, and side by side on the model of the
// test run; after every action the elements must show what the model
// predicts.

#include <gtest/gtest.h>

#include <memory>

#include "tests/model/window_sequences.h"
#include "tests/model/window_suite.h"
#include "tests/ui/web/web_window_driver.h"

namespace infotest::testing {
namespace {

constexpr int kSequences = 150;

std::unique_ptr<model::RealWindow> OpenPage() { return std::make_unique<WebWindow>(); }

TEST(WebWindowSequences, TheElementsShowWhatTheRulesOfTheTestPredict) {
    model::ExpectWindowFollowsTheRules(OpenPage, kSequences, "the web window", 300);
}

class WebWindowFindsAPlantedFault : public ::testing::TestWithParam<model::PlantedFault> {};

TEST_P(WebWindowFindsAPlantedFault, InTheFirstFewSequences) {
    model::ExpectWindowFindsPlantedFault(OpenPage, GetParam().fault, "the web window");
}

INSTANTIATE_TEST_SUITE_P(Faults, WebWindowFindsAPlantedFault, ::testing::ValuesIn(model::kPlantedFaults),
                         model::PlantedFaultName);

// The checks that are the same for every window.
using model::EveryWindow;
INSTANTIATE_TEST_SUITE_P(Web, EveryWindow, ::testing::Values(model::WindowKind{"Web", OpenPage}),
                         model::WindowKindName);

}  // namespace
}  // namespace infotest::testing
