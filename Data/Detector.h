#pragma once
// The detector on the pictures: where its points may be placed, its overlay
// (the curve drawn where it lies inside drift 2 or drift 3), the visible device
// picture with it, and accepting it into the apparatus. The curve, its ends and
// the channel of a landing are the detector's geometry.
#include "DetectorGeometry.h"
#include "Status.h"

class QImage;

struct TModel;
class TDrift;

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

// The message of a detector that cannot be accepted.
extern const char *const UnusableDetectorText;   // "Hibás a detektort definiáló 3 pont!"

// "Elfogad": the detector becomes part of the apparatus, so its purple stops and
// counts ions. Fails with UnusableDetectorText, nothing accepted, when a point
// is unset or the fit fails.
Status AcceptDetector(TModel &m);
