#pragma once
// The detector as geometry: a parabola x = f(y) through three picture points,
// its two ends, and the mapping of a landing point onto a channel from 0 to
// 1000. Knows no picture and no spectrum: the flight asks it for a channel and
// the run engine adds the count.
#include "Types.h"

#include <array>
#include <optional>

struct TDetectorEnd {
    TPixel Pixel;
    TPoint World;
};

struct TDetector {
    // Picture coordinates of the device picture; a coordinate 0 means unset.
    std::array<TPixel, 3> Points{};
    // x = X0 + (y - y1) B + (y - y1)(y - y2) C in overlay coordinates; X0 = -9999 marks a failed fit.
    double CurveX0 = 0.0, CurveB = 0.0, CurveC = 0.0;
    TDetectorEnd End1;   // lower end on the picture
    TDetectorEnd End2;   // upper end
    bool Accepted = false;
    // The points the overlay was last drawn for; a rebuild for the same points
    // (every tick while the detector is shown) reuses the drawing.
    std::array<TPixel, 3> BuiltFor{};
    bool BuiltValid = false;
    bool BuiltResult = false;
};

constexpr double FailedFit = -9999.0;

bool DetectorDefined(const TDetector &d);

// Fits the curve through the three points (overlay coordinates). False, with
// X0 = FailedFit and the detector no longer accepted, when two points share a row.
bool FitDetectorCurve(TDetector &d);
// The curve's x at overlay row y.
double DetectorCurveX(const TDetector &d, double y);

// 1000 times the position of the projection of (x, y) on the chord from the
// upper end (0) to the lower end (1000); nothing when the ends coincide.
std::optional<double> ChordPosition(const TDetector &d, double x, double y);
// The channel of a chord position: rounded half to even, dropped outside 0 .. 1000.
std::optional<int> ChannelOf(double v);
// The channel of a landing at world point (x, y), or nothing when it counts nowhere.
std::optional<int> DetectorChannel(const TDetector &d, double x, double y);
