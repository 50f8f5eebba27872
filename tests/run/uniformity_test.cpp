#include <gtest/gtest.h>

#include <array>

#include "tests/run/fake_controls.h"

namespace infotest::testing {
namespace {

// Pearson's statistic of observed counts against one common expectation.
double ChiSquare(const std::vector<int>& counts, double expected) {
    double sum = 0;
    for (int count : counts) sum += (count - expected) * (count - expected) / expected;
    return sum;
}

// Thousands of Starts on the real generator with fixed seeds. The limits are
// the 0.999 quantiles of the chi-square distribution, so a fair deal fails
// one run in a thousand seeds, and these seeds are fixed.
TEST(Uniformity, EveryQuestionIsEquallyLikelyAtEveryPositionAndEveryArrangementEquallyOften) {
    constexpr int kStarts = 21000;
    std::vector<int> idAtPosition(static_cast<std::size_t>(kQuestionCount) * kQuestionCount, 0);
    std::vector<int> arrangements(4, 0);
    for (int start = 0; start < kStarts; ++start) {
        FakeControls fake(1000 + static_cast<std::uint64_t>(start));
        TestRun run(fake);
        run.Command1_Click();
        for (int position = 0; position < kQuestionCount; ++position) {
            const int id = run.State().QuestionOrder[static_cast<std::size_t>(position)];
            ++idAtPosition[static_cast<std::size_t>(position * kQuestionCount + id - 1)];
        }
        ++arrangements[static_cast<std::size_t>((run.State().LayoutRoll - 50) / 50)];
    }
    // 21 rows of 21 cells, each row summing to kStarts: 21 * 20 = 420 degrees
    // of freedom; the 0.999 quantile is about 512.
    EXPECT_LT(ChiSquare(idAtPosition, kStarts / 21.0), 512.0);
    // Three degrees of freedom: the 0.999 quantile is 16.27.
    EXPECT_LT(ChiSquare(arrangements, kStarts / 4.0), 16.27);
}

// The limit must be tight enough to catch a deal that favours one question
// by a third over 21000 Starts.
TEST(Uniformity, TheStatisticRejectsABiasedDeal) {
    std::vector<int> counts(21, 1000);
    counts[0] = 1300;
    counts[1] = 700;
    EXPECT_GT(ChiSquare(counts, 1000.0), 45.31);  // 0.999 quantile, 20 degrees of freedom
}

}  // namespace
}  // namespace infotest::testing
