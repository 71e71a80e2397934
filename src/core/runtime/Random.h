#pragma once
// The program's source of pseudo-random numbers. One generator, seeded from
// the clock at start; tests seed it or script the exact draws.

#include <cstdint>
#include <random>

namespace zem {

class Random {
  public:
    Random(); // seeded from the clock
    explicit Random(std::uint32_t seed);
    virtual ~Random() = default;
    void Seed(std::uint32_t seed) { gen_.seed(seed); }
    // A non-negative integer; callers reduce it modulo 100 or 3.
    virtual int Next();

  private:
    std::mt19937 gen_;
};

} // namespace zem
