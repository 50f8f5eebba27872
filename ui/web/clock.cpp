// Timer1 on the page's timer. The page's timer only wakes the core when the
// next tick is due (the script layer calls TimerFired); the core counts the
// ticks from performance.now() and arms it again.

#include "ui/web/form1.h"
#include "ui/web/page_bridge.h"

namespace infotest::web {

void Form1::ArmTimer(double delayMs) {
    if (current_ != this) return;
    if (delayMs < 0) {
        page_cancel_tick();
    } else if (settings_.ownClock) {
        page_schedule_tick(delayMs);
    }
}

}  // namespace infotest::web
