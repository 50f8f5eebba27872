#include "ui/layout/placement.h"

#include <algorithm>

namespace infotest {
namespace {

// One side of the placement. Computed in 64 bits: a start near the end of
// the int range plus a length would overflow in int.
int PlaceAlong(int start, int length, int areaStart, int areaLength) {
    if (length >= areaLength) return areaStart;
    const long long last = static_cast<long long>(areaStart) + areaLength - length;
    return static_cast<int>(std::clamp<long long>(start, areaStart, last));
}

}  // namespace

ScreenPoint PlaceInWorkArea(const ScreenRect& frame, const ScreenRect& workArea) {
    return {PlaceAlong(frame.left, frame.width, workArea.left, workArea.width),
            PlaceAlong(frame.top, frame.height, workArea.top, workArea.height)};
}

}  // namespace infotest
