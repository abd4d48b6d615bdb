#pragma once
// The detector the user places: the visible device picture with its overlay, and
// accepting it into the apparatus. Where its points may lie and its overlay (the
// curve drawn where it lies inside drift 2 or drift 3) belong to the model's
// pictures (Model.h); the curve, its ends and the channel of a landing are the
// detector's geometry (DetectorGeometry.h).
#include "DetectorGeometry.h"
#include "Model.h"
#include "Status.h"

// The visible device picture: the trace picture with, when shown, the detector
// overlay on top (white pixels of the overlay left out).
void ComposeDevicePicture(QImage &out, const TModel &m, bool withDetector);
// The same over another base picture of the picture's size (the apparatus
// stands for the trace picture right after the traces were cleared).
void ComposeDevicePicture(QImage &out, const QImage &base, const TModel &m, bool withDetector);

// The message of a detector that cannot be accepted.
extern const char *const UnusableDetectorText;   // "Hibás a detektort definiáló 3 pont!"

// "Elfogad": the detector becomes part of the apparatus, so its purple stops and
// counts ions. Fails with UnusableDetectorText, nothing accepted, when a point
// is unset or the fit fails.
Status AcceptDetector(TModel &m);
