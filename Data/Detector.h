#pragma once
// The detector the user places: a parabola x = f(y) through three picture
// points, drawn where it lies inside drift 2 or drift 3, and the mapping of a
// landing point onto a channel from 0 to 1000.
#include "Data/Types.h"

#include <array>
#include <optional>

class QImage;

struct TModel;
class TDrift;
class Spectra;

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
bool InsideDrift(TPixel p, const TDrift &drift);
// A point may be placed where it lies strictly inside drift 2 or drift 3.
bool PlaceablePoint(const TModel &m, TPixel p);

// The visible device picture: the trace picture with, when shown, the detector
// overlay on top (white pixels of the overlay left out).
void ComposeDevicePicture(QImage &out, const TModel &m, bool withDetector);

// All three points unset and the overlay blank.
void ClearDetector(TModel &m);
// Fits the curve, draws it into DetectorBitmap and sets both ends. False when
// two of the points share a picture row (the overlay then stays white).
bool BuildDetector(TModel &m);
// What "Elfogad" does to the model: the detector joins the apparatus picture,
// so its purple stops and counts ions. False (nothing accepted) when the fit fails.
bool AcceptDetector(TModel &m);

// 1000 times the position of the projection of (x, y) on the chord from the
// upper end (0) to the lower end (1000); nothing when the ends coincide.
std::optional<double> ChordPosition(const TDetector &d, double x, double y);
// The channel of a chord position: rounded half to even, dropped outside 0 .. 1000.
std::optional<int> ChannelOf(double v);
// The channel of a landing at world point (x, y), or nothing when it counts nowhere.
std::optional<int> DetectorChannel(const TDetector &d, double x, double y);
void DetectorHit(const TModel &m, double x, double y, Spectra &spectra, int spectrum);
