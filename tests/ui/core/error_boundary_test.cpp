// The core's one error boundary: whatever is thrown and not reported by the
// procedures shows the internal-error box, and then the run ends with the
// internal-error status.

#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>
#include <vector>

#include "tests/ui/core/core_test_window.h"

namespace infotest::testing {
namespace {

void ExpectOneErrorBoxThenStatusOne(const CoreTestWindow& window, std::string_view text = kErrorUnexpected) {
    ASSERT_EQ(window.boxes.size(), 1u);
    EXPECT_EQ(window.boxes[0].prompt, text);
    EXPECT_EQ(window.boxes[0].title, kErrorTitle);
    EXPECT_EQ(window.boxes[0].icon, MessageIcon::Critical);
    EXPECT_FALSE(window.boxes[0].afterTheEnd);
    EXPECT_EQ(window.exits, std::vector<int>{kErrorExitStatus});
    EXPECT_TRUE(window.Ended());
    EXPECT_EQ(window.ExitStatus(), kErrorExitStatus);
}

TEST(ErrorBoundary, AWindowThatCannotHideAtTheEndEndsWithStatusOne) {
    CoreTestWindow window;
    window.hideThrows = true;
    window.Click(Control::Command3);
    ExpectOneErrorBoxThenStatusOne(window);
}

TEST(ErrorBoundary, WhatAToolkitCatchesAtItsEdgeShowsTheBoxThenEnds) {
    CoreTestWindow window;
    window.Guarded([] { throw std::runtime_error("a paint message failed"); });
    ExpectOneErrorBoxThenStatusOne(window);
    // Nothing reaches the logic any more.
    window.Click(Control::Command1);
    EXPECT_EQ(window.Run().State().StartCount, 0);
}

TEST(ErrorBoundary, AnErrorTheRunReportedIsNotReportedTwice) {
    CoreTestWindow window;
    window.RunForTesting().StateForTesting().ElapsedSeconds = std::numeric_limits<std::int32_t>::max();
    window.endThrows = true;
    window.nowMs = 1000;
    window.TimerFired();
    ExpectOneErrorBoxThenStatusOne(window, kErrorClockOverflow);
}

TEST(ErrorBoundary, AFailingBoxStillEndsTheRun) {
    CoreTestWindow window;
    window.SetMessagePresenter(
        [](std::string_view, std::string_view, MessageIcon) -> int { throw std::runtime_error("no box"); });
    EXPECT_NO_THROW(window.Guarded([] { throw std::runtime_error("first"); }));
    EXPECT_EQ(window.exits, std::vector<int>{kErrorExitStatus});
}

TEST(ErrorBoundary, WhenNoEndWorksTheStatusIsStillSetAndNothingEscapes) {
    CoreTestWindow window;
    window.SetProgramEnder([](int) { throw std::runtime_error("replaced end"); });
    window.endThrows = true;
    EXPECT_NO_THROW(window.Click(Control::Command3));
    EXPECT_TRUE(window.Ended());
    EXPECT_EQ(window.ExitStatus(), kErrorExitStatus);
    EXPECT_EQ(window.boxes.size(), 1u);
}

TEST(ErrorBoundary, AfterTheEndAnErrorChangesNothing) {
    CoreTestWindow window;
    window.Click(Control::Command3);
    ASSERT_EQ(window.exits, std::vector<int>{0});
    window.Guarded([] { throw std::runtime_error("late"); });
    EXPECT_TRUE(window.boxes.empty());
    EXPECT_EQ(window.exits, std::vector<int>{0});
    EXPECT_EQ(window.ExitStatus(), 0);
}

TEST(ErrorBoundary, AWindowThatCannotOpenReportsWithStatusOne) {
    std::vector<std::string> shown;
    const int status = FormCore::OpeningFailed([&shown](std::string_view prompt, std::string_view, MessageIcon) {
        shown.emplace_back(prompt);
        return kOkResult;
    });
    EXPECT_EQ(status, kErrorExitStatus);
    EXPECT_EQ(shown, std::vector<std::string>{std::string(kErrorWindowNotOpened)});
}

}  // namespace
}  // namespace infotest::testing
