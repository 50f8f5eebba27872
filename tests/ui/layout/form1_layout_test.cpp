// The layout table's derived orders and the rule for a control moved out of
// its container, which every window builds its focus chain and its stacking
// from.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "ui/layout/form1_layout.h"

namespace infotest::testing {
namespace {

std::string Name(Control control) { return std::string(ControlName(control)); }

std::ptrdiff_t PositionIn(const std::array<Control, kLayoutRows - 1>& order, Control control) {
    return std::find(order.begin(), order.end(), control) - order.begin();
}

bool Overlap(const ControlLayout& a, const ControlLayout& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

// ---- TabOrder ----

TEST(TabOrderTest, HoldsEachFocusableControlOnceAndNothingElse) {
    const std::vector<Control> order = TabOrder();
    const std::set<Control> inOrder(order.begin(), order.end());
    EXPECT_EQ(inOrder.size(), order.size()) << "a control appears twice";
    const std::set<Control> focusable{Control::Command1, Control::Command2, Control::Command3,
                                      Control::Command4, Control::Picture1, Control::Option1,
                                      Control::Option2,  Control::Option3,  Control::Option4};
    EXPECT_EQ(inOrder, focusable);
}

// ---- CreationOrder ----

TEST(CreationOrderTest, HoldsEveryControlWithAWindowOnce) {
    const auto order = CreationOrder();
    const std::set<Control> inOrder(order.begin(), order.end());
    EXPECT_EQ(inOrder.size(), order.size());
    EXPECT_EQ(inOrder.count(Control::Form1), 0U);
    EXPECT_EQ(inOrder.count(Control::Timer1), 0U);
}

TEST(CreationOrderTest, TheFocusChainComesFirstInTabOrder) {
    const auto order = CreationOrder();
    const std::vector<Control> tab = TabOrder();
    ASSERT_LE(tab.size(), order.size());
    EXPECT_TRUE(std::equal(tab.begin(), tab.end(), order.begin()));
}

// Wherever two controls of one container overlap, the one the table draws
// on top comes first. Two pairs never show together where they overlap: the
// options, which Start moves apart before it shows them, and Start and
// Next, which swap.
TEST(CreationOrderTest, EveryOverlapIsDrawnAsTheTableStacksIt) {
    const auto order = CreationOrder();
    const auto& rows = Form1Layout();
    int overlaps = 0;
    for (std::size_t upper = 0; upper < rows.size(); ++upper) {
        for (std::size_t lower = upper + 1; lower < rows.size(); ++lower) {
            const ControlLayout& a = rows[upper];
            const ControlLayout& b = rows[lower];
            if (a.kind == ControlKind::Timer || b.kind == ControlKind::Timer || a.parent != b.parent) continue;
            if (!Overlap(a, b)) continue;
            if (IsOption(a.control) && IsOption(b.control)) continue;
            const std::set<Control> pair{a.control, b.control};
            if (pair == std::set<Control>{Control::Command1, Control::Command4}) continue;
            ++overlaps;
            EXPECT_LT(PositionIn(order, a.control), PositionIn(order, b.control))
                << Name(a.control) << " must be drawn over " << Name(b.control);
        }
    }
    EXPECT_GE(overlaps, 3);  // the title image's two and Label8's at least
}

// ---- LiesOutsideContainer ----

struct EdgeCase {
    Control control;
    double left;
    int top;
    bool outside;
};

TEST(LiesOutsideContainerTest, OneTwipInsideAnyEdgeIsInsideAndOnTheEdgeIsOutside) {
    // Command4 is 3015 x 495 in the client area of 11910 x 6420.
    const EdgeCase cases[] = {
        {Control::Command4, 11909, 100, false},
        {Control::Command4, 11910, 100, true},
        {Control::Command4, 11909.5, 100, false},
        {Control::Command4, -3014, 100, false},
        {Control::Command4, -3015, 100, true},
        {Control::Command4, 100, 6419, false},
        {Control::Command4, 100, 6420, true},
        {Control::Command4, 100, -494, false},
        {Control::Command4, 100, -495, true},
        {Control::Command4, 4560, 5400, false},
        // Where Start moves the title image and the last question Next.
        {Control::Picture1, 14000, 10000, true},
        {Control::Command4, 14000, 10000, true},
    };
    for (const EdgeCase& c : cases) {
        EXPECT_EQ(LiesOutsideContainer(c.control, c.left, c.top), c.outside)
            << Name(c.control) << " at (" << c.left << ", " << c.top << ")";
    }
}

TEST(LiesOutsideContainerTest, AnOptionIsMeasuredAgainstTheFrameNotTheWindow) {
    // Frame1 is 10095 x 2655; an option 9500 x 375.
    EXPECT_FALSE(LiesOutsideContainer(Control::Option2, 10094, 360));
    EXPECT_TRUE(LiesOutsideContainer(Control::Option2, 10095, 360));
    EXPECT_FALSE(LiesOutsideContainer(Control::Option2, 360, 2654));
    EXPECT_TRUE(LiesOutsideContainer(Control::Option2, 360, 2655));
    EXPECT_TRUE(LiesOutsideContainer(Control::Option2, -9500, 360));
    EXPECT_FALSE(LiesOutsideContainer(Control::Option2, -9499, 360));
}

TEST(LiesOutsideContainerTest, TheWindowItselfAndTheTimerAreNeverOutside) {
    EXPECT_FALSE(LiesOutsideContainer(Control::Form1, 100000, 100000));
    EXPECT_FALSE(LiesOutsideContainer(Control::Timer1, -100000, 100000));
}

}  // namespace
}  // namespace infotest::testing
