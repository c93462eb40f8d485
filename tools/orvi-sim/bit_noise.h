// Random bit errors on the line, repeatable from a seed, more of them the faster the line runs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>

namespace orvisim {

class BitNoise {
public:
    // perBitAt9600: the chance that one data bit flips at 9600 bit/s (0 turns the noise off).
    void Set(double perBitAt9600, std::uint32_t seed);
    void Off() { perBitAt9600_ = 0; }
    bool On() const { return perBitAt9600_ > 0; }

    // Flips the data bits the noise hits. Reflections grow with the rate, so the chance per bit scales
    // with rate / 9600 (at most every bit).
    void Apply(std::uint8_t* bytes, std::size_t size, int rate);

private:
    double perBitAt9600_ = 0;
    std::mt19937 random_;
};

}  // namespace orvisim
