// The random numbers of rand. The generator is reseeded on every call, so a
// sequence can be neither set in advance nor repeated.
#include "player/script/Random.h"

#include <chrono>

namespace player::script {

// The multiplier of the generator's step.
constexpr std::uint32_t kMultiplier = 134775813u;

std::int32_t RandFromSeed(std::uint32_t seed, std::int32_t number) {
    seed = seed * kMultiplier + 1u;
    const std::uint64_t product =
        static_cast<std::uint64_t>(seed) * static_cast<std::uint32_t>(number);
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(product >> 32));
}

std::uint32_t CounterSeed() {
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    return static_cast<std::uint32_t>(ticks);
}

std::int32_t Rand(std::int32_t number) {
    return RandFromSeed(CounterSeed(), number);
}

} // namespace player::script
