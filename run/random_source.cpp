#include "run/random_source.h"

#include <chrono>
#include <cmath>

namespace infotest {

int ScaledDraw(double r, int n) {
    if (!(r >= 0.0)) return 0;  // also catches NaN
    const double scaled = std::floor(r * n);
    if (scaled >= n) return n - 1;
    return static_cast<int>(scaled);
}

ClockRandom::ClockRandom() { Reseed(); }

void ClockRandom::Reseed() {
    std::random_device entropy;
    const auto ticks = static_cast<std::uint64_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count());
    std::seed_seq seed{static_cast<std::uint32_t>(ticks), static_cast<std::uint32_t>(ticks >> 32), entropy(),
                       entropy()};
    engine_.seed(seed);
}

}  // namespace infotest
