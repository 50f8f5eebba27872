// Where a window paints the parts of a command button and of a frame: the
// same pixels in every toolkit.

#include <gtest/gtest.h>

#include "ui/layout/painting.h"

namespace infotest::testing {
namespace {

bool Contains(const PixelRect& outer, const PixelRect& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// Check at 96 dpi: 129 x 33 pixels at (136, 360).
constexpr PixelRect kButton{136, 360, 265, 393};

TEST(CommandButtonGeometryTest, TheFaceFillsTheButtonUnlessTheFocusOutlineNeedsItsEdge) {
    for (const bool pressed : {false, true}) {
        const CommandButtonPaint plain = CommandButtonGeometry(kButton, false, pressed);
        EXPECT_FALSE(plain.outlined);
        EXPECT_EQ(plain.face, kButton) << pressed;
        const CommandButtonPaint focused = CommandButtonGeometry(kButton, true, pressed);
        EXPECT_TRUE(focused.outlined);
        EXPECT_EQ(focused.face, kButton.Inset(1)) << pressed;
    }
}

// The 3D edge is two pixels wide: neither the caption nor the focus
// rectangle may be drawn over it, pressed or not.
TEST(CommandButtonGeometryTest, CaptionAndFocusRectangleStayClearOfTheEdge) {
    for (const bool focused : {false, true}) {
        for (const bool pressed : {false, true}) {
            const CommandButtonPaint paint = CommandButtonGeometry(kButton, focused, pressed);
            SCOPED_TRACE(::testing::Message() << "focused " << focused << ", pressed " << pressed);
            EXPECT_TRUE(Contains(paint.face.Inset(2), paint.caption));
            EXPECT_TRUE(Contains(paint.face.Inset(2), paint.focus));
            EXPECT_GT(paint.caption.Width(), 0);
            EXPECT_GT(paint.caption.Height(), 0);
        }
    }
}

TEST(CommandButtonGeometryTest, PressingMovesOnlyTheCaptionOnePixelDownAndRight) {
    for (const bool focused : {false, true}) {
        const CommandButtonPaint up = CommandButtonGeometry(kButton, focused, false);
        const CommandButtonPaint down = CommandButtonGeometry(kButton, focused, true);
        EXPECT_EQ(down.caption, up.caption.Shifted(1, 1)) << focused;
        EXPECT_EQ(down.face, up.face) << focused;
        EXPECT_EQ(down.focus, up.focus) << focused;
    }
}

// Frame1 at 96 dpi: 673 x 177 pixels at (64, 152).
constexpr PixelRect kFrame{64, 152, 737, 329};

TEST(FrameGeometryTest, TheBorderRunsThroughTheMiddleOfTheCaption) {
    const FramePaint paint = FrameGeometry(kFrame, 100, 19);
    EXPECT_EQ(paint.border.top, kFrame.top + 9);
    EXPECT_EQ(paint.border.left, kFrame.left);
    EXPECT_EQ(paint.border.right, kFrame.right);
    EXPECT_EQ(paint.border.bottom, kFrame.bottom);
    EXPECT_LT(paint.caption.top, paint.border.top);
    EXPECT_GT(paint.caption.bottom, paint.border.top);
}

TEST(FrameGeometryTest, IndentAndGapsScaleWithTheDpi) {
    const PixelRect frame{96, 228, 1106, 494};  // Frame1 at 144 dpi
    const FramePaint paint = FrameGeometry(frame, 150, 28, 144);
    EXPECT_EQ(paint.caption.left, frame.left + 12);
    EXPECT_EQ(paint.behindCaption.left, paint.caption.left - 3);
    EXPECT_EQ(paint.behindCaption.right, paint.caption.right + 3);
    EXPECT_EQ(paint.border.top, frame.top + 14);
}

TEST(FrameGeometryTest, ACaptionTooWideIsClippedInsideTheFrameAndNeverTurnsNegative) {
    const FramePaint wide = FrameGeometry(kFrame, 5000, 19);
    EXPECT_EQ(wide.caption.right, kFrame.right - 8);
    EXPECT_TRUE(Contains(kFrame, wide.behindCaption));
    const FramePaint tiny = FrameGeometry({0, 0, 10, 40}, 100, 19);
    EXPECT_EQ(tiny.caption.Width(), 0);
    EXPECT_EQ(tiny.behindCaption.Width(), 4);
}

}  // namespace
}  // namespace infotest::testing
