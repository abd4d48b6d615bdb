#pragma once
#include <cstdint>
#include <random>

// The program's single uniform generator of doubles in [0, 1). Seedable, so a
// headless run can be repeated exactly.
class TRandom {
public:
    explicit TRandom(uint64_t seed = 0x1A2B3C4D5E6F7081ull) : m_engine(seed) {}
    void Seed(uint64_t seed) { m_engine.seed(seed); }
    double Uniform() { return static_cast<double>(m_engine() >> 11) * 0x1.0p-53; }
    // Normal deviate by the polar method.
    double Normal(double mean, double deviation);

private:
    std::mt19937_64 m_engine;
};
