// Per-bit coin tosses on the generator's raw output, so that a seed gives the same errors on every platform.
#include "bit_noise.h"

#include <algorithm>

namespace orvisim {

void BitNoise::Set(double perBitAt9600, std::uint32_t seed) {
    perBitAt9600_ = perBitAt9600;
    random_.seed(seed);
}

void BitNoise::Apply(std::uint8_t* bytes, std::size_t size, int rate) {
    if (!On() || rate <= 0) return;
    const double chance = std::min(1.0, perBitAt9600_ * rate / 9600.0);
    // Compared with the generator's 32-bit output: the distributions of <random> differ between libraries.
    const double threshold = chance * 4294967296.0;
    for (std::size_t i = 0; i < size; ++i) {
        for (int bit = 0; bit < 8; ++bit) {
            if (static_cast<double>(random_()) < threshold)
                bytes[i] = static_cast<std::uint8_t>(bytes[i] ^ (1u << bit));
        }
    }
}

}  // namespace orvisim
