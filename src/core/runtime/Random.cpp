#include "runtime/Random.h"

#include <chrono>

namespace zem {

Random::Random()
    : gen_(std::uint32_t(std::chrono::high_resolution_clock::now().time_since_epoch().count())) {}

Random::Random(std::uint32_t seed) : gen_(seed) {}

int Random::Next() {
    return int(gen_() >> 1);
}

} // namespace zem
