#pragma once
// Sine and cosine of one angle, as the flight needs them at every step of an
// ion in the analyser and the magnet.
#include <cmath>

struct TSinCos {
    double Sin, Cos;
};

// The program's own pair: within about one unit in the last place of the
// exact values for |x| < 1e5 (beyond that, and for NaN and infinity, the C
// library's).
TSinCos PortableSinCos(double x);

// The C library of the Windows build computes sine and cosine on the x87 unit,
// which made a flight step there three times slower than on Linux; its results
// differ from the program's own pair in the last bit as often as from Linux's,
// and a flight rounds positions to pixels, so the runs stay the same.
inline TSinCos SinCos(double x)
{
#ifdef _WIN32
    return PortableSinCos(x);
#else
    return {std::sin(x), std::cos(x)};
#endif
}
