#pragma once
// The region of interest of a spectrum: its two bounds, the gross count and the
// centroid (the count-weighted mean channel) of the channels between them.
#include "Main/core/Counts.h"

#include <cstdint>
#include <string>

struct RoiData {
    int32_t X1 = 0;     // first bound, as the user set it (may be the larger one)
    int32_t X2 = 0;     // second bound
    int32_t Brutto = 0; // gross count of the last evaluation
    double Kozep = 0.0; // centroid of the last evaluation
};

// The texts of the four boxes of a ROI group: "X1:", "X2:", "Bruttó:", "Közép:".
struct RoiBoxTexts {
    std::string X1;
    std::string X2;
    std::string Brutto;
    std::string Kozep;
};

// Nearest whole number, a half going to the even neighbour.
double RoundHalfEven(double v);

// "Számíts!": sums round(count) over the channels from the smaller to the larger
// bound, both included, and the channel-weighted sum in 64 bits; the centroid
// of a region without counts is the midpoint of the bounds. Returns false and
// leaves `roi` unchanged when a bound lies outside 0 .. 1000, or when a count or
// the gross count does not fit the 32-bit gross count.
bool EvaluateRoi(RoiData &roi, const SpectrumCounts &counts);

// The "Bruttó:" box: a plain decimal integer.
std::string FormatBrutto(int32_t brutto);
// The "Közép:" box: "%10.4f" with ".", e.g. "  500.0000".
std::string FormatKozep(double kozep);

// Where the lime ROI strip goes in the chart panel, in pixels.
struct RoiMarkGeometry {
    int Left = 0;
    int Width = 0; // 0 hides the strip
};

// The strip from the pixel of the lower bound to that of the upper one:
// k = plotWidth / (xMax - xMin), edge = round(k * (bound - xMin)) + chartLeft
// + plotLeft + 4 (the 4 lines the strip up with the chart's frame). The bounds
// may come in either order. The strip is clipped to the plot's width (a region
// outside the view gives width 0), and an empty or invalid X range gives width 0.
RoiMarkGeometry ComputeRoiMark(int32_t bound1, int32_t bound2, double xMin, double xMax,
                               int plotWidth, int chartLeft, int plotLeft);
