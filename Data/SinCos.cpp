#include "SinCos.h"

#include <cstdint>

namespace {

// pi/2 in three parts; the first two end in zero bits, so an integer of up to
// 17 bits times either is exact.
constexpr double HalfPi1 = 0x1.921fb544p+0;
constexpr double HalfPi2 = 0x1.0b4611a6p-34;
constexpr double HalfPi3 = 0x1.3198a2e037073p-69;
constexpr double TwoOverPi = 0x1.45f306dc9c883p-1;

// Taylor series on |r| <= pi/4: the first term left out is below 2^-62 of the value.
double SinSeries(double r, double z)
{
    const double p = -1.0 / 6 + z * (1.0 / 120 + z * (-1.0 / 5040 + z * (1.0 / 362880 + z * (-1.0 / 39916800
                     + z * (1.0 / 6227020800 + z * (-1.0 / 1307674368000 + z * (1.0 / 355687428096000
                     + z * (-1.0 / 121645100408832000))))))));
    return r + r * z * p;
}

// cos r = 1 - z/2 + z^2 q(z); the rounding of 1 - z/2 is added back.
double CosSeries(double z)
{
    const double q = 1.0 / 24 + z * (-1.0 / 720 + z * (1.0 / 40320 + z * (-1.0 / 3628800 + z * (1.0 / 479001600
                     + z * (-1.0 / 87178291200 + z * (1.0 / 20922789888000 + z * (-1.0 / 6402373705728000
                     + z * (1.0 / 2432902008176640000))))))));
    const double half = 0.5 * z;
    const double w = 1.0 - half;
    return w + (((1.0 - w) - half) + z * z * q);
}

} // namespace

TSinCos PortableSinCos(double x)
{
    if (!(std::fabs(x) < 1e5))
        return {std::sin(x), std::cos(x)};
    // x = k pi/2 + r + tail, |r| <= pi/4: x - k HalfPi1 is exact, the rest is
    // carried as a small tail.
    const double k = std::floor(x * TwoOverPi + 0.5);
    const double r1 = x - k * HalfPi1;
    const double w = k * HalfPi2;
    const double r = r1 - w;
    const double bv = r - r1;
    const double tail = ((r1 - (r - bv)) + (-w - bv)) - k * HalfPi3;
    const double z = r * r;
    // sin(r + t) = sin r + t cos r, cos(r + t) = cos r - t sin r, t being tiny.
    const double s = SinSeries(r, z) + tail * (1.0 - 0.5 * z);
    const double c = CosSeries(z) - r * tail;
    switch (static_cast<int64_t>(k) & 3) {
    case 0: return {s, c};
    case 1: return {c, -s};
    case 2: return {-s, -c};
    default: return {-c, s};
    }
}
