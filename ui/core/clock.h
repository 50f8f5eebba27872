#pragma once

#include <cstdint>
#include <functional>

namespace infotest {

// Milliseconds on a monotonic clock, from an origin of its own.
using ClockSource = std::function<double()>;

// std::chrono::steady_clock in milliseconds: the core's clock unless the
// window brings its own. With libstdc++ on Linux it is CLOCK_MONOTONIC,
// which stands still while the system is suspended.
double SteadyMilliseconds();

// Timer1's ticks counted from a monotonic clock rather than from the
// toolkit's timer messages: a tick falls due every interval after the clock
// was started, and every one that fell due is delivered exactly once,
// however late or early the timer woke the window, and however many wake-ups
// a stalled machine swallowed. The timer only wakes the window; it is armed
// for the next due tick.
class TickClock {
public:
    explicit TickClock(double intervalMs) : intervalMs_(intervalMs) {}

    bool Running() const { return running_; }
    std::int64_t Delivered() const { return delivered_; }

    // Starts counting at `nowMs`, or resumes: the ticks delivered so far
    // stay counted, and the next one falls due a whole interval later.
    void Start(double nowMs);
    void Stop() { running_ = false; }
    // The clock's source was replaced: counting goes on from the new
    // source's `nowMs` as if resumed there.
    void Rebase(double nowMs);

    // Whether a tick had fallen due by `nowMs` that is not delivered yet; if
    // so, it counts as delivered now.
    bool TakeDueTick(double nowMs);
    // Milliseconds from `nowMs` until the next tick falls due; negative
    // while stopped.
    double UntilNextTick(double nowMs) const;

private:
    double intervalMs_;
    double startedAt_ = 0;  // when tick 0 would have fallen due
    std::int64_t delivered_ = 0;
    bool running_ = false;
};

}  // namespace infotest
