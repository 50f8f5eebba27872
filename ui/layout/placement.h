#pragma once

namespace infotest {

// A rectangle on the screen, in pixels.
struct ScreenRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct ScreenPoint {
    int x = 0;
    int y = 0;
};

// Where a window opens so that its outer frame lies wholly inside the work
// area of its monitor (the screen without the taskbar): `frame` is the
// frame at its laid-out position, with its outer size. A frame that fits
// stays where it is; one that overhangs an edge moves just enough to clear
// it; along a side where the work area is smaller than the frame, the frame
// starts at the work area's start, so that the title bar and the top-left
// controls stay in reach.
ScreenPoint PlaceInWorkArea(const ScreenRect& frame, const ScreenRect& workArea);

}  // namespace infotest
