#pragma once
// Basic value types of the ion-optical model: world points in metres, picture
// pixels, exact 24-bit colours and the rounding rules every drawing relies on.
#include <cmath>
#include <cstdint>

struct TPoint {
    double x = 0.0;
    double y = 0.0;
    friend bool operator==(const TPoint &, const TPoint &) = default;
};

struct TPixel {
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const TPixel &, const TPixel &) = default;
};

// A colour is 0xRRGGBB; pictures are compared by exact equality of these.
using TColor = uint32_t;

constexpr TColor Rgb(int r, int g, int b)
{
    return (TColor(r & 0xFF) << 16) | (TColor(g & 0xFF) << 8) | TColor(b & 0xFF);
}

namespace Colors {
constexpr TColor White = Rgb(255, 255, 255);
constexpr TColor Black = Rgb(0, 0, 0);
constexpr TColor Silver = Rgb(192, 192, 192);
constexpr TColor Blue = Rgb(0, 0, 255);
constexpr TColor Analyser = Rgb(255, 255, 208);
constexpr TColor Drift = Rgb(166, 202, 240);
constexpr TColor Magnet = Rgb(0, 255, 255);
constexpr TColor Detector = Rgb(128, 0, 128);
constexpr TColor TraceRed = Rgb(255, 0, 0);
constexpr TColor TraceOlive = Rgb(207, 207, 0);
// What a position outside the picture reads as: no element has it.
constexpr TColor Outside = 0xFF000000u;
} // namespace Colors

// Nearest integer, a half going to the even neighbour (the default FP rounding mode).
// A value beyond any picture (or not a number, from nonsense loaded from a file)
// maps far outside every picture instead of overflowing the integer.
inline int32_t RoundEven(double v)
{
    if (!(v > -1e9 && v < 1e9))
        return v > 0 ? 1000000000 : -1000000000;
    // Adding and taking away 1.5 * 2^52 leaves no fraction bits, so the sum is
    // rounded as nearbyint rounds; it is inline, where the Windows C library's
    // nearbyint was a slow call made twice in every flight step.
    constexpr double Shift = 0x1.8p52;
    return static_cast<int32_t>((v + Shift) - Shift);
}

// Cut towards zero.
inline int32_t Trunc(double v)
{
    return static_cast<int32_t>(std::trunc(v));
}
