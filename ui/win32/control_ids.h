#pragma once

// How the Win32 window numbers its controls: the child window ids.

#include "run/controls.h"

namespace infotest::win32 {

// Child window ids start above IDOK and IDCANCEL, so that an Enter or an
// Escape cannot be taken for a click on a control.
inline constexpr int kFirstControlId = 100;

inline int ControlId(Control control) { return kFirstControlId + static_cast<int>(control); }

// The control of a child window id; Form1 for an id that names none.
inline Control ControlOfId(int id) {
    return id >= kFirstControlId && id < kFirstControlId + kControlCount ? static_cast<Control>(id - kFirstControlId)
                                                                         : Control::Form1;
}

}  // namespace infotest::win32
