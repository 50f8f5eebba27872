#include "run/random_source.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace infotest {
namespace {

const double kLargestBelowOne = std::nextafter(1.0, 0.0);

TEST(UnitInterval, SpansZeroToJustBelowOne) {
    EXPECT_EQ(UnitInterval(0), 0.0);
    EXPECT_EQ(UnitInterval(std::numeric_limits<std::uint64_t>::max()), kLargestBelowOne);
}

TEST(ScaledDraw, ZeroAndTheLargestDrawGiveTheEndsOfTheRange) {
    EXPECT_EQ(ScaledDraw(0.0, 21), 0);
    EXPECT_EQ(ScaledDraw(kLargestBelowOne, 21), 20);
    EXPECT_EQ(ScaledDraw(0.0, 200), 0);
    EXPECT_EQ(ScaledDraw(kLargestBelowOne, 200), 199);
}

TEST(ScaledDraw, ADrawNarrowedToFloatWouldHaveLeftTheRange) {
    // 0.99999999 rounds to 1.0f; kept in double it still scales below 21.
    EXPECT_EQ(static_cast<float>(0.99999999), 1.0f);
    EXPECT_EQ(ScaledDraw(0.99999999, 21), 20);
}

TEST(ScaledDraw, KeepsFaultyDrawsInsideTheRange) {
    EXPECT_EQ(ScaledDraw(1.0, 21), 20);
    EXPECT_EQ(ScaledDraw(7.5, 200), 199);
    EXPECT_EQ(ScaledDraw(-0.25, 21), 0);
    EXPECT_EQ(ScaledDraw(std::numeric_limits<double>::quiet_NaN(), 21), 0);
    EXPECT_EQ(ScaledDraw(std::numeric_limits<double>::infinity(), 21), 20);
}

TEST(ClockRandom, DrawsStayInTheUnitInterval) {
    ClockRandom random(7);
    for (int i = 0; i < 100000; ++i) {
        const double r = random.Draw();
        ASSERT_GE(r, 0.0);
        ASSERT_LT(r, 1.0);
    }
}

TEST(ClockRandom, ReseedingTwiceInARowGivesDifferentSequences) {
    ClockRandom first;
    ClockRandom second;
    first.Reseed();
    second.Reseed();
    int equal = 0;
    for (int i = 0; i < 8; ++i) equal += first.Draw() == second.Draw() ? 1 : 0;
    EXPECT_LT(equal, 8);
}

TEST(ClockRandom, AFixedSeedRepeatsItsSequence) {
    ClockRandom first(42);
    ClockRandom second(42);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(first.Draw(), second.Draw());
}

}  // namespace
}  // namespace infotest
