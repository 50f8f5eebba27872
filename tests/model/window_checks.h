#pragma once

// Checks that every window's driver runs alike, each called by a one-line
// test of the window: the clock after a stall of the machine, and an
// exception that escapes a procedure.

#include <functional>

#include "tests/model/real_window.h"
#include "ui/core/form_core.h"

namespace infotest::model {

// The core of the window the driver opened last.
using CoreOf = std::function<FormCore&()>;

// A stall of ten minutes: at the timer's next wake-up the clock has counted
// every second of it, and the minutes label has gone on by ten.
void CheckClockAfterStall(RealWindow& window, const CoreOf& core);

// An exception out of the end of the program that Exit on the title screen
// asks for shows the internal-error box, and once it is closed the run ends
// with the internal-error status.
void CheckExceptionEndsTheRun(RealWindow& window, const CoreOf& core);

}  // namespace infotest::model
