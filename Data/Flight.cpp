// Emission of ions at the source and their step-by-step flight. The colour of
// the apparatus picture under an ion chooses its step; inside the analyser and,
// near the tuned mass, inside the magnet the ion follows the closed first-order
// solution instead of integrating its motion.
#include "Flight.h"

#include "Raster.h"
#include "SinCos.h"

#include <cassert>
#include <cmath>

double TRandom::Normal(double mean, double deviation)
{
    double u1, u2, s;
    do {
        u1 = 2.0 * Uniform() - 1.0;
        u2 = 2.0 * Uniform() - 1.0;
        s = u1 * u1 + u2 * u2;
    } while (s >= 1.0 || s == 0.0);   // s = 0 would take the log of zero
    return mean + deviation * u1 * std::sqrt(-2.0 * std::log(s) / s);
}

bool MassWindowHolds(const TParams &p)
{
    return 0.5 * p.MeanMass <= p.Mass && p.Mass <= 1.5 * p.MeanMass;
}

size_t SelectIsotope(const std::array<TIsotope, 6> &cumulative, double r)
{
    size_t i = 0;
    while (i + 1 < cumulative.size() && r > cumulative[i].Abundance)
        ++i;
    return i;
}

static void FirstOrderTransfer(const TModel &m, Particle &q)
{
    const double k = m.FocusFactor, r = m.Esa.Radius;
    const double phi = k * m.Esa.Angle, psi = m.Magnet.Angle, rm = m.Magnet.Radius;
    const double de = q.EnergyDeviation, dm = q.MassDeviation;
    const TSinCos f = SinCos(phi), g = SinCos(psi);
    q.X1 = f.Cos * q.X0 + f.Sin * q.A0 * r / k + (1 - f.Cos) * 0.5 * de * r;
    q.A1 = -f.Sin * q.X0 * k / r + f.Cos * q.A0 + f.Sin * de / k;
    q.X2 = m.Drift1.Length * q.A1 + q.X1;
    q.A2 = q.A1;
    q.X3 = g.Cos * q.X2 + g.Sin * q.A2 * rm + (1 - g.Cos) * 0.5 * de * rm + (1 - g.Cos) * 0.5 * dm * rm;
    q.A3 = -g.Sin * q.X2 / rm + g.Cos * q.A2 + g.Sin * 0.5 * de + g.Sin * 0.5 * dm;
}

void Emit(TModel &m, int slot, bool activate)
{
    assert(slot >= 0 && slot < ParticleSlots);
    Particle &q = m.Particles[slot];
    TParams &pr = m.Params;
    // The order of the random draws below is fixed: a seeded run repeats exactly.
    double a = pr.SourceGap != 0.0 ? (pr.Blende1 + pr.Blende2) / pr.SourceGap : 0.0;
    if (pr.Parallel)
        a = 0.0;
    q.Stage = 0;
    q.Charge = 1.0;
    q.Steps = 0;

    double energy = Phys::ElementaryCharge * pr.AccVoltage;
    if (!pr.MonoEnergetic)
        energy += m.Random.Normal(0.0, Phys::EnergySpread);

    double d = 0.5 - m.Random.Uniform();
    if (pr.PointSource)
        d = 0.0;
    q.X0 = d * pr.Blende2;
    q.X = m.AxisPoints[0].x + 0.01;
    q.Y = m.AxisPoints[0].y + d * pr.Blende2;

    q.EnergyDeviation = (energy / Phys::ElementaryCharge - pr.AccVoltage) / pr.AccVoltage;
    q.EsaPhase = 0.0;
    q.MagnetPhase = 0.0;
    const TPixel px = m.Map.ToPixel({q.X, q.Y});
    q.PixelX = px.x;
    q.PixelY = px.y;

    if (pr.UnknownMode)
        pr.Mass = m.IsotopeCumulative[SelectIsotope(m.IsotopeCumulative, m.Random.Uniform())].Mass;
    q.MassKg = pr.Mass * Phys::AtomicMassUnit;
    q.MassDeviation = (pr.MeanMass - pr.Mass) / pr.MeanMass;
    q.Speed = std::sqrt(2.0 * energy / q.MassKg);

    const double r = m.Random.Uniform();
    q.Vy = std::sin(a) * (r - 0.5) * q.Speed;
    q.Vx = std::sqrt(q.Speed * q.Speed - q.Vy * q.Vy);
    q.A0 = q.Vy / q.Speed;
    q.PhaseStep = q.Vx * pr.TimeStep / m.Esa.Radius;

    q.Active = activate;
    if (activate)
        ++m.LaunchCount;
    q.TraceColor = (m.LaunchCount / 100) % 2 == 0 ? Colors::TraceRed : Colors::TraceOlive;
    FirstOrderTransfer(m, q);
}

void ResetParticles(TModel &m)
{
    m.LaunchCount = 0;
    for (int i = 0; i < ParticleSlots; ++i)
        Emit(m, i, i == 0);
}

namespace {

// An ion whose new position is no finite number or lies off the picture stops
// where it was and draws nothing: a line towards such a point could run for a
// billion pixels. (RoundEven maps NaN and infinities far off the picture.)
void DrawStep(const TModel &m, Particle &q, QImage &trace)
{
    const TPixel to = m.Map.ToPixel({q.X, q.Y});
    if (static_cast<uint32_t>(to.x) >= uint32_t(PictureSize::Width)
        || static_cast<uint32_t>(to.y) >= uint32_t(PictureSize::Height)) {
        q.Active = false;
        return;
    }
    DrawThinLine(trace, {q.PixelX, q.PixelY}, to, q.TraceColor);
    q.PixelX = to.x;
    q.PixelY = to.y;
}

void StraightStep(const TModel &m, Particle &q, QImage &trace)
{
    const double dt = m.Params.TimeStep;
    q.X += q.Vx * dt;
    q.Y += q.Vy * dt;
    DrawStep(m, q, trace);
}

// Puts the ion onto its first-order values at an element's exit face.
void SetOntoExit(Particle &q, TPoint axis, double b, double offset, double angle)
{
    const TSinCos f = SinCos(b), v = SinCos(b + angle);
    q.X = axis.x - f.Sin * offset;
    q.Y = axis.y + f.Cos * offset;
    q.Vx = v.Cos * q.Speed;
    q.Vy = v.Sin * q.Speed;
}

void DriftStep(const TModel &m, Particle &q, QImage &trace)
{
    if (q.Stage == 0) {
        q.Stage = 1;
        SetOntoExit(q, m.AxisPoints[1], m.Esa.Angle + m.Esa.StartAngle, q.X1, q.A1);
    } else if (q.Stage == 2) {
        q.Stage = 3;
        if (MassWindowHolds(m.Params))
            SetOntoExit(q, m.AxisPoints[3], m.Magnet.Angle + m.Magnet.StartAngle, q.X3, q.A3);
    }
    StraightStep(m, q, trace);
}

void AnalyserStep(const TModel &m, Particle &q, QImage &trace)
{
    // The phase is held at the exit angle; an ion already held there on the
    // analyser's own colour could never move again, so its flight ends.
    if (q.EsaPhase >= m.Esa.Angle) {
        q.Active = false;
        return;
    }
    q.EsaPhase += q.PhaseStep;
    if (q.EsaPhase > m.Esa.Angle)
        q.EsaPhase = m.Esa.Angle;
    const double k = m.FocusFactor, r = m.Esa.Radius;
    const double d = k * q.EsaPhase, de = q.EnergyDeviation;
    const TSinCos f = SinCos(d);
    const double s = f.Cos * q.X0 + f.Sin * q.A0 * r / k + (1 - f.Cos) * 0.5 * de * r;
    const TSinCos a = SinCos(m.Esa.StartAngle + q.EsaPhase);
    q.X = m.Esa.Center.x + a.Sin * (r - s);
    q.Y = m.Esa.Center.y - a.Cos * (r - s);
    const double beta = -f.Sin * q.X0 * k / r + f.Cos * q.A0 + f.Sin * de / k;
    const TSinCos v = SinCos(beta + q.EsaPhase);
    q.Vx = v.Cos * q.Speed;
    q.Vy = v.Sin * q.Speed;
    DrawStep(m, q, trace);
}

void MagnetStep(const TModel &m, Particle &q, QImage &trace)
{
    if (q.Stage == 1) {
        q.Stage = 2;
        q.MagnetPhase = 0.0;
        const TSinCos a = SinCos(m.Magnet.StartAngle);
        q.X = m.AxisPoints[2].x - a.Sin * q.X2;
        q.Y = m.AxisPoints[2].y + a.Cos * q.X2;
    }
    if (MassWindowHolds(m.Params)) {
        // As in the analyser: a phase already at the sector angle cannot move the ion.
        if (q.MagnetPhase >= m.Magnet.Angle) {
            q.Active = false;
            return;
        }
        q.MagnetPhase += q.PhaseStep;
        const double psi = std::min(q.MagnetPhase, m.Magnet.Angle);
        const double rm = m.Magnet.Radius, de = q.EnergyDeviation, dm = q.MassDeviation;
        const TSinCos g = SinCos(psi);
        const double s = g.Cos * q.X2 + g.Sin * q.A2 * rm + (1 - g.Cos) * 0.5 * de * rm + (1 - g.Cos) * 0.5 * dm * rm;
        const double rho = rm - s;
        const TSinCos a = SinCos(m.Magnet.StartAngle + psi);
        q.X = a.Sin * rho + m.Magnet.Center.x;
        q.Y = -a.Cos * rho + m.Magnet.Center.y;
    } else {
        const double f = q.Speed * m.Magnet.Induction * q.Charge * Phys::ElementaryCharge;
        const double cx = q.Vx / q.Speed, cy = q.Vy / q.Speed;
        const double g = f / q.MassKg, dt = m.Params.TimeStep;
        q.Vx = q.Vx - dt * cy * g;
        q.Vy = q.Vy + dt * cx * g;
        q.X = q.X + dt * q.Vx - 0.5 * dt * dt * g * cy;
        q.Y = q.Y + dt * q.Vy + 0.5 * dt * dt * g * cx;
    }
    DrawStep(m, q, trace);
}

} // namespace

std::optional<int> Advance(TModel &m, Particle &q, TColor colour, QImage &trace)
{
    if (++q.Steps > MaxParticleSteps) {
        q.Active = false;
        return std::nullopt;
    }
    if (colour == Colors::Silver)
        StraightStep(m, q, trace);
    else if (colour == m.Drift1.Color)
        DriftStep(m, q, trace);
    else if (colour == m.Esa.Color)
        AnalyserStep(m, q, trace);
    else if (colour == m.Magnet.Color)
        MagnetStep(m, q, trace);
    else {
        q.Active = false;
        if (colour == Colors::Detector)
            return DetectorChannel(m.Detector, q.X, q.Y);
    }
    return std::nullopt;
}
