#include "ui/core/clock.h"

#include <chrono>
#include <cmath>

namespace infotest {

double SteadyMilliseconds() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void TickClock::Start(double nowMs) {
    if (running_) return;
    running_ = true;
    Rebase(nowMs);
}

void TickClock::Rebase(double nowMs) { startedAt_ = nowMs - static_cast<double>(delivered_) * intervalMs_; }

bool TickClock::TakeDueTick(double nowMs) {
    if (!running_) return false;
    const auto due = static_cast<std::int64_t>(std::floor((nowMs - startedAt_) / intervalMs_));
    if (delivered_ >= due) return false;
    ++delivered_;
    return true;
}

double TickClock::UntilNextTick(double nowMs) const {
    if (!running_) return -1;
    return startedAt_ + static_cast<double>(delivered_ + 1) * intervalMs_ - nowMs;
}

}  // namespace infotest
