#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ui/layout/form1_layout.h"

namespace infotest::web {

// A control's element in the page's terms: its colours as CSS and its style
// at creation.

// 0xBBGGRR as "#RRGGBB".
std::string Css(std::uint32_t bgr);

// The element's inline style at creation: its rectangle, stacking level,
// colours and font.
std::string InitialStyle(const ControlLayout& row, int stackLevel);

}  // namespace infotest::web
