// Timer1 on the page's timer: the ticks counted from a monotonic clock.

#include <cmath>

#include "ui/layout/form1_layout.h"
#include "ui/web/form1.h"
#include "ui/web/page_bridge.h"

namespace infotest::web {

double Form1::ClockAt(double nowMs) {
    const auto due = static_cast<std::int64_t>(std::floor((nowMs - openedAt_) / kTimer1IntervalMs));
    while (timerRunning_ && !Ended() && ticksDelivered_ < due) {
        ++ticksDelivered_;
        Deliver(&TestRun::Timer1_Timer);
    }
    if (!timerRunning_ || Ended()) return -1;
    return openedAt_ + static_cast<double>(ticksDelivered_ + 1) * kTimer1IntervalMs - nowMs;
}

void Form1::ScheduleTick() {
    if (!settings_.ownClock || !timerRunning_) return;
    page_schedule_tick(ClockAt(page_now()));
}

void Form1::SetTimerEnabled(bool enabled) {
    if (!enabled) {
        StopTimer();
    } else if (!timerRunning_ && !Ended()) {
        // Counting resumes from now, not from when the page opened.
        timerRunning_ = true;
        openedAt_ = page_now() - static_cast<double>(ticksDelivered_) * kTimer1IntervalMs;
        ScheduleTick();
    }
}

void Form1::StopTimer() {
    timerRunning_ = false;
    if (current_ == this) page_cancel_tick();
}

}  // namespace infotest::web
