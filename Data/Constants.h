#pragma once
// Physical and layout constants of the instrument, exactly as the stored doubles.

namespace Phys {
constexpr double ElementaryCharge = 1.602176634e-19;   // C
constexpr double AtomicMassUnit = 1.66053904e-27;      // kg
constexpr double EnergySpread = 8.01088317e-18;        // J (50 eV), one standard deviation
// e / (2 u) in C/kg: the acceleration voltage that puts the mean mass on the central radius.
constexpr double VoltageConstant = 48242657.0;
} // namespace Phys

namespace LayoutConst {
constexpr double PixelSize = 0.002;     // m per pixel
constexpr int OriginX = 600;
constexpr int OriginY = 210;
constexpr double Sqrt2 = 1.4142135623730951;     // the double nearest to the square root of 2
constexpr double Pi = 3.141592653589793;
constexpr double FocusFactor = Sqrt2;
constexpr double EsaRadius = 0.254;
constexpr double EsaGap = 0.15;
// The analyser turns the beam by pi / sqrt(2) (127.28 degrees), not 127 degrees.
constexpr double EsaAngle = Pi / Sqrt2;
constexpr double MagnetRadius = 0.254;
// One unit in the last place above the double nearest to pi / 3, as the instrument stores it.
constexpr double MagnetAngle = 1.0471975511965979;
constexpr double Drift1Length = 0.44;
constexpr double Drift1EndWidth = 0.2;
constexpr double Drift2Length = 0.44;
constexpr double Drift2EndWidth = 0.3;
constexpr double Drift3Length = 0.3;
} // namespace LayoutConst

// The pictures of the device page.
namespace PictureSize {
constexpr int Width = 1000;
constexpr int Height = 745;
constexpr int DetectorOriginX = 70;
constexpr int DetectorOriginY = 390;
constexpr int DetectorCornerX = 460;
constexpr int DetectorCornerY = 700;
constexpr int DetectorWidth = DetectorCornerX - DetectorOriginX;    // 390
constexpr int DetectorHeight = DetectorCornerY - DetectorOriginY;   // 310
} // namespace PictureSize

constexpr int ParticleSlots = 101;
