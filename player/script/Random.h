// rand: a fresh seed from the high-resolution clock on every call, one step
// of the linear congruential generator, and the upper half of seed x number.
#pragma once

#include <cstdint>

namespace player::script {

// One draw from a given seed: seed := seed * 134775813 + 1 (mod 2^32), then
// the upper 32 bits of seed * (number read as unsigned 32 bits), as signed.
std::int32_t RandFromSeed(std::uint32_t seed, std::int32_t number);

// The low 32 bits of the monotonic high-resolution clock.
std::uint32_t CounterSeed();

// RandFromSeed(CounterSeed(), number).
std::int32_t Rand(std::int32_t number);

} // namespace player::script
