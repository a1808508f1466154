#include "platform/Random.h"

#include <random>

namespace platform {

Random::Random(Runtime& clock) : clock_(clock) {}

void Random::Reseed() {
    seed_ = static_cast<std::uint64_t>(clock_.Monotonic().count()) * 6364136223846793005ULL +
            1442695040888963407ULL;
}

double Random::Next() {
    std::mt19937_64 engine(seed_);
    seed_ = engine();
    // 53 random bits scaled into [0, 1): never 1.0, unlike some
    // uniform_real_distribution implementations.
    return static_cast<double>(engine() >> 11) * 0x1.0p-53;
}

}  // namespace platform
