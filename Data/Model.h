#pragma once
// The ion-optical model: the five elements, the pictures, the particle table and
// the parameters the flight reads. One instance lives for the whole program and
// is passed by reference to everything that needs it. Here too: the apparatus
// picture and the detector overlay it carries. Emission and flight are Flight.h's,
// placing and accepting the detector Detector.h's.
#include "Constants.h"
#include "DetectorGeometry.h"
#include "Elements.h"
#include "Params.h"
#include "Particles.h"
#include "Random.h"

#include <QImage>
#include <array>

struct TIsotope {
    double Mass = 0.0;        // u
    double Abundance = 0.0;   // fraction; cumulative in IsotopeCumulative
};

struct TModel {
    TPixelMap Map;
    double FocusFactor = LayoutConst::FocusFactor;

    TESA Esa;
    TDrift Drift1;
    TMAG Magnet;
    TDrift Drift2;
    TDrift Drift3;
    std::array<TPoint, 6> AxisPoints{};

    std::array<TIsotope, 6> Isotopes{};
    std::array<TIsotope, 6> IsotopeCumulative{};

    QImage ApparatusBitmap;   // the collision map the flight reads
    QImage TraceBitmap;       // the apparatus with the drawn trajectories
    QImage DetectorBitmap;    // the detector overlay at DetectorOrigin

    TParams Params;
    std::array<Particle, ParticleSlots> Particles{};
    int32_t LaunchCount = 0;
    TRandom Random;
    TDetector Detector;
};

// Start-up: pictures (sized 1000 x 745 and 390 x 310), zeroed elements, cleared
// detector, isotope tables.
void InitModel(TModel &m);

// The layout chain: constants, elements and axis points. The caller applies the
// parameters and resets the particle table afterwards.
void BuildLayout(TModel &m);

// ---- apparatus picture ----

struct TEndWall {
    TPixel From, To;
};
TEndWall EndWallPoints(const TModel &m);

struct TExitAperture {
    std::array<TPixel, 4> Outer;    // J1..J4
    std::array<TPixel, 4> Inner;    // K1..K4
    std::array<TPixel, 4> Opening;  // Q
};
TExitAperture ExitAperturePoints(const TModel &m);

// Redraws ApparatusBitmap with everything the flight must meet: the elements,
// the end wall, the accepted detector (its purple stops and counts ions) and
// the exit aperture. The one place that says what the apparatus carries.
void DrawApparatus(TModel &m);
// Draws the analyser's exit aperture onto TraceBitmap, then onto ApparatusBitmap.
void DrawExitAperture(TModel &m);
// TraceBitmap becomes a copy of ApparatusBitmap: every trajectory is erased.
void ClearTraces(TModel &m);

// ---- detector overlay ----
// The accepted detector is part of the apparatus, so the overlay is drawn here
// with the other pictures; placing and accepting it is Detector.h's.

bool InsideDrift(TPixel p, const TDrift &drift);
// A point may be placed where it lies strictly inside drift 2 or drift 3.
bool PlaceablePoint(const TModel &m, TPixel p);

// All three points unset and the overlay blank.
void ClearDetector(TModel &m);
// Fits the curve, draws it into DetectorBitmap and sets both ends. False when
// two of the points share a picture row (the overlay then stays white).
bool BuildDetector(TModel &m);
