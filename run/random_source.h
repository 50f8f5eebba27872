#pragma once

#include <cstdint>
#include <random>

namespace infotest {

// Maps 64 random bits to a double in [0, 1): the top 53 bits fill the
// mantissa exactly, so the result can never round up to 1.0.
constexpr double UnitInterval(std::uint64_t bits) { return static_cast<double>(bits >> 11) * 0x1.0p-53; }

// floor(r * n) for a draw r, kept in 0..n-1 even for a draw outside [0, 1),
// so a faulty generator can never produce an id or a band that does not exist.
int ScaledDraw(double r, int n);

// The program's generator: re-seeded from a high-resolution clock mixed with
// the system's entropy source, so two pupils who start in the same second
// still get different orders.
class ClockRandom {
public:
    ClockRandom();
    explicit ClockRandom(std::uint64_t seed) : engine_(seed) {}

    void Reseed();
    double Draw() { return UnitInterval(engine_()); }

private:
    std::mt19937_64 engine_;
};

}  // namespace infotest
