// The window's own destruction, and its brushes, made once per colour.

#include "ui/win32/handles.h"

namespace infotest::win32 {

OwnedWindow::~OwnedWindow() {
    if (window_ == nullptr) return;
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
}

HBRUSH Brushes::Of(std::uint32_t bgr) {
    for (const auto& [colour, brush] : brushes_) {
        if (colour == bgr) return brush.Get();
    }
    brushes_.emplace_back(bgr, Brush(CreateSolidBrush(bgr)));
    return brushes_.back().second.Get();
}

}  // namespace infotest::win32
