#pragma once
// The program's source of pseudo-random numbers. One generator, seeded from
// the clock at start; tests seed it or script the exact draws.

#include <cstdint>
#include <deque>
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

// Answers with the given numbers in order, then with 0.
class ScriptedRandom : public Random {
  public:
    ScriptedRandom(std::initializer_list<int> draws) : draws_(draws) {}
    void Push(int n) { draws_.push_back(n); }
    int Next() override;
    int Taken() const { return taken_; }
    bool Empty() const { return draws_.empty(); }

  private:
    std::deque<int> draws_;
    int taken_ = 0;
};

} // namespace zem
