#pragma once

class QWidget;

namespace infotest::qt {

// Keeps a top-level window, not yet shown and at its laid-out place, wholly
// inside the work area of its screen (the screen without the panels and
// taskbars) when it opens: moved just enough, or to the work area's corner
// where the work area is smaller. The window manager's frame is known only
// once it has framed the window, so the window is placed by its own size
// first and once more when the frame appears.
void KeepWhollyOnScreen(QWidget& window);

}  // namespace infotest::qt
