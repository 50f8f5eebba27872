// Where the window opens: wholly inside the work area, at its laid-out place
// when it fits there.

#include <gtest/gtest.h>

#include <climits>

#include "ui/layout/placement.h"

namespace infotest::testing {
namespace {

// The 96-dpi window's frame at its laid-out place, about 800 x 457 outside.
constexpr ScreenRect kLaidOut{107, 160, 800, 457};

void ExpectAt(ScreenPoint point, int x, int y) {
    EXPECT_EQ(point.x, x);
    EXPECT_EQ(point.y, y);
}

TEST(PlacementTest, AFrameThatFitsKeepsItsLaidOutPlace) {
    ExpectAt(PlaceInWorkArea(kLaidOut, {0, 0, 1280, 984}), 107, 160);
    // Touching the work area's edges is still inside it.
    ExpectAt(PlaceInWorkArea(kLaidOut, {107, 160, 800, 457}), 107, 160);
}

TEST(PlacementTest, AFrameUnderTheTaskbarOfANetbookMovesUpJustEnough) {
    // 1024 x 600 with a 30-pixel taskbar at the bottom.
    ExpectAt(PlaceInWorkArea(kLaidOut, {0, 0, 1024, 570}), 107, 113);
}

TEST(PlacementTest, AFrameBeyondTheWorkAreasLeftOrTopMovesInJustEnough) {
    // A taskbar at the left and one at the top; a monitor left of the
    // primary one has negative coordinates.
    ExpectAt(PlaceInWorkArea(kLaidOut, {200, 0, 1080, 1024}), 200, 160);
    ExpectAt(PlaceInWorkArea(kLaidOut, {0, 200, 1280, 824}), 107, 200);
    ExpectAt(PlaceInWorkArea({-1000, 160, 800, 457}, {-1280, 0, 1280, 1024}), -1000, 160);
    ExpectAt(PlaceInWorkArea({-300, 160, 800, 457}, {-1280, 0, 1280, 1024}), -800, 160);
}

TEST(PlacementTest, AlongASideWhereTheWorkAreaIsSmallerTheFrameStartsAtItsStart) {
    ExpectAt(PlaceInWorkArea(kLaidOut, {0, 30, 640, 450}), 0, 30);
    // Only the height is too small: the width still keeps its place.
    ExpectAt(PlaceInWorkArea(kLaidOut, {0, 0, 1024, 400}), 107, 0);
    // An empty or nonsensical work area gives its corner, not a crash.
    ExpectAt(PlaceInWorkArea(kLaidOut, {5, 7, 0, -10}), 5, 7);
    ExpectAt(PlaceInWorkArea({INT_MAX - 10, INT_MAX - 10, 800, 457}, {0, 0, INT_MAX, INT_MAX}), INT_MAX - 800,
             INT_MAX - 457);
}

}  // namespace
}  // namespace infotest::testing
