// Emission and flight: the central ion, spread ions, the mass window, the
// force mode in the magnet, trace colours and ions that could never land.
#include "Data/Flight.h"
#include "Data/Raster.h"
#include "Data/SinCos.h"
#include "Main/core/RunEngine.h"
#include "helpers/ModelFixture.h"

#include <QtTest>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

// Distance in pixels from a picture point to the central trajectory.
double DistanceToCentralPath(const TModel &m, double px, double py)
{
    const TPoint w = m.Map.ToWorld({0, 0});
    const double x = w.x + px * m.Map.PixelSize, y = w.y + py * m.Map.PixelSize;
    double best = 1e9;
    auto segment = [&](TPoint a, TPoint b) {
        const double dx = b.x - a.x, dy = b.y - a.y;
        double t = ((x - a.x) * dx + (y - a.y) * dy) / (dx * dx + dy * dy);
        t = std::clamp(t, 0.0, 1.0);
        best = std::min(best, std::hypot(x - a.x - t * dx, y - a.y - t * dy));
    };
    auto arc = [&](TPoint c, double r, double a0, double a1) {
        double ang = std::atan2(x - c.x, -(y - c.y));
        if (ang < a0 - 1.0)
            ang += 2 * M_PI;
        if (ang >= a0 && ang <= a1)
            best = std::min(best, std::abs(std::hypot(x - c.x, y - c.y) - r));
    };
    arc(m.Esa.Center, m.Esa.Radius, m.Esa.StartAngle, m.Esa.StartAngle + m.Esa.Angle);
    segment(m.AxisPoints[1], m.AxisPoints[2]);
    arc(m.Magnet.Center, m.Magnet.Radius, m.Magnet.StartAngle, m.Magnet.StartAngle + m.Magnet.Angle);
    segment(m.AxisPoints[3], m.AxisPoints[5]);
    return best / m.Map.PixelSize;
}

} // namespace

class FlightTest : public QObject {
    Q_OBJECT

private slots:
    // The flight's own sine and cosine: within one unit in the last place of
    // the correctly rounded values (computed to 120 digits), at the multiples of
    // pi/2 too; where the C library is itself that close (glibc), over whole
    // ranges against it; and the library's answer where the own pair does not apply.
    void portableSinCosIsWithinOneUlp()
    {
        auto ulps = [](double a, double b) {
            int64_t x, y;
            std::memcpy(&x, &a, sizeof x);
            std::memcpy(&y, &b, sizeof y);
            x = x < 0 ? std::numeric_limits<int64_t>::min() - x : x;
            y = y < 0 ? std::numeric_limits<int64_t>::min() - y : y;
            return x > y ? x - y : y - x;
        };
        const double exact[][3] = {   // x, sin x, cos x
            {0x1.79ca10c924223p-67, 0x1.79ca10c924223p-67, 0x1.0000000000000p+0},
            {0x1.5798ee2308c3ap-27, 0x1.5798ee2308c3ap-27, 0x1.0000000000000p+0},
            {0x1.0000000000000p-1, 0x1.eaee8744b05f0p-2, 0x1.c1528065b7d50p-1},
            {0x1.921fb54442d18p-1, 0x1.6a09e667f3bccp-1, 0x1.6a09e667f3bcdp-1},
            {0x1.0000000000000p+0, 0x1.aed548f090ceep-1, 0x1.14a280fb5068cp-1},
            {0x1.921fb54442d18p+0, 0x1.0000000000000p+0, 0x1.1a62633145c07p-54},
            {0x1.0000000000000p+1, 0x1.d18f6ead1b446p-1, -0x1.aa22657537205p-2},
            {0x1.2d97c7f3321d2p+1, 0x1.6a09e667f3bcdp-1, -0x1.6a09e667f3bccp-1},
            {0x1.921fb54442d18p+1, 0x1.1a62633145c07p-53, -0x1.0000000000000p+0},
            {0x1.2d97c7f3321d2p+2, -0x1.0000000000000p+0, -0x1.a79394c9e8a0ap-53},
            {0x1.921fb54442d18p+2, -0x1.1a62633145c07p-52, 0x1.0000000000000p+0},
            {0x1.5fdbbe9bba775p+3, -0x1.0000000000000p+0, -0x1.ee2c2d963a10cp-52},
            {0x1.f6a7a2955385ep+4, -0x1.60fafbfd97309p-50, 0x1.0000000000000p+0},
            {0x1.9000000000000p+6, -0x1.03425b78c4db8p-1, 0x1.b981dbf665fdfp-1},
            {0x1.6300000000000p+9, 0x1.f9bd0303f6fafp-15, 0x1.fffffff063930p-1},
            {0x1.f400000000000p+9, 0x1.a75cc150a206bp-1, 0x1.1ff026793f1bbp-1},
            {0x1.81cd6c8b43958p+13, -0x1.687d5890974a5p-1, 0x1.6b94c3bbe24b8p-1},
            {0x1.0000400000000p+16, 0x1.f7c5f20a4ee8fp-2, -0x1.bdc12b5845db7p-1},
            {0x1.869f800000000p+16, 0x1.055f282f41bdap-1, -0x1.b8428c9f69a31p-1},
            {-0x1.3333333333333p-2, -0x1.2e9cd95baba33p-2, 0x1.e921dd42f09bap-1},
            {-0x1.c000000000000p+1, 0x1.6733b7eba621fp-2, -0x1.df77403c11a5fp-1},
            {-0x1.2d97c7f3321d2p+3, -0x1.a79394c9e8a0ap-52, -0x1.0000000000000p+0},
            {0x1.eadfb4c5d390cp+13, -0x1.116a342b4b4adp-42, 0x1.0000000000000p+0},
            {0x1.999999999999ap-4, 0x1.98eaecb8bcb2cp-4, 0x1.fd712f9a817c1p-1},
            {0x1.7333333333333p+1, 0x1.e9fb8d64830e3p-3, -0x1.f1216dba340c9p-1},
            {0x1.6000000000000p+2, -0x1.693c94e0ab057p-1, 0x1.6ad6c3c07d448p-1},
        };
        for (const auto &[x, sine, cosine] : exact) {
            const TSinCos p = PortableSinCos(x);
            QVERIFY2(ulps(p.Sin, sine) <= 1 && ulps(p.Cos, cosine) <= 1, qPrintable(QString::number(x, 'a')));
        }
#ifdef __GLIBC__
        int64_t worst = 0;
        for (const double range : {1e-6, 1.0, 4.0, 40.0, 9e4})
            for (int i = -20000; i <= 20000; ++i) {
                const double x = range * i / 20000.0 + (i % 7) * 1e-12;
                const TSinCos p = PortableSinCos(x);
                worst = std::max({worst, ulps(p.Sin, std::sin(x)), ulps(p.Cos, std::cos(x))});
            }
        QCOMPARE(worst, int64_t(1));
#endif
        // Beyond the own range the library answers (its sine and cosine apart or
        // as one pair, which on Windows differ at such arguments).
        for (const double x : {1e6, -3e8}) {
            const TSinCos p = PortableSinCos(x);
            QVERIFY(std::abs(p.Sin * p.Sin + p.Cos * p.Cos - 1) < 1e-12 && std::abs(p.Sin - std::sin(x)) < 1e-9);
        }
        for (const double x : {std::numeric_limits<double>::infinity(), std::nan("")}) {
            const TSinCos p = PortableSinCos(x);
            QVERIFY(std::isnan(p.Sin) && std::isnan(p.Cos));
        }
    }

    void derivedDefaults()
    {
        ModelFixture f;
        QVERIFY(std::abs(f.m.Params.AccVoltage - 25936.86) < 0.01);
        QVERIFY(std::abs(f.m.Params.TimeStep - 4.8965e-8) < 0.0001e-8);
        QCOMPARE(f.m.LaunchCount, 1);
        QVERIFY(f.m.Particles[0].Active);
        for (int i = 1; i < ParticleSlots; ++i)
            QVERIFY(!f.m.Particles[i].Active);
    }

    void centralIonFollowsTheCentralTrajectory()
    {
        ModelFixture f;
        f.fields.Parallel = true;   // point source and mono-energetic are on by default
        QVERIFY(f.Apply().Applied);
        ResetParticles(f.m);
        Particle &p = f.m.Particles[0];
        QCOMPARE(p.PixelX, 605);
        QCOMPARE(p.PixelY, 83);
        for (double v : {p.X0, p.A0, p.EnergyDeviation, p.MassDeviation, p.X1, p.X2, p.X3, p.A1, p.A3})
            QCOMPARE(v, 0.0);
        double worst = 0.0, worstAtFaces = 0.0;
        int stagesSeen = 0, steps = 0;
        while (p.Active && steps < 1000) {
            const TColor c = f.ReadColorAt(p.PixelX, p.PixelY);
            Advance(f.m, p, c, f.m.TraceBitmap);
            const double d = DistanceToCentralPath(f.m, p.PixelX, p.PixelY);
            // On the magnet's silver faces an ion steps straight on with the velocity it
            // entered with, until the next drift pixel puts it back on its exit values.
            if (c == Colors::Silver && p.Stage == 2)
                worstAtFaces = std::max(worstAtFaces, d);
            else
                worst = std::max(worst, d);
            stagesSeen |= 1 << p.Stage;
            ++steps;
        }
        QVERIFY(!p.Active);
        QCOMPARE(stagesSeen, 0b1111);
        QVERIFY2(worst < 1.5, qPrintable(QString::number(worst)));
        QVERIFY2(worstAtFaces < 5.5, qPrintable(QString::number(worstAtFaces)));
        // It stops on the end wall of drift 3, next to the last axis point (84, 464).
        QCOMPARE(f.ReadColorAt(p.PixelX, p.PixelY), Colors::Black);
        QVERIFY2(std::hypot(p.PixelX - 84, p.PixelY - 464) < 6, qPrintable(QString("%1,%2").arg(p.PixelX).arg(p.PixelY)));
        QVERIFY(steps > 150 && steps < 300);
    }

    void sourceOptionsSpreadTheStart()
    {
        ModelFixture f;
        // Parallel without point source: offsets within +-Blende2/2, no angle.
        f.fields.PointSource = false;
        f.fields.Parallel = true;
        QVERIFY(f.Apply().Applied);
        double minX0 = 1, maxX0 = -1;
        for (int i = 0; i < 400; ++i) {
            Emit(f.m, 1, false);
            const Particle &p = f.m.Particles[1];
            QCOMPARE(p.A0, 0.0);
            minX0 = std::min(minX0, p.X0);
            maxX0 = std::max(maxX0, p.X0);
            // Its first step is an analyser step for every aperture.
            QCOMPARE(f.ReadColorAt(p.PixelX, p.PixelY), Colors::Analyser);
        }
        QVERIFY(minX0 >= -0.01 && maxX0 <= 0.01 && maxX0 - minX0 > 0.018);
        // Point source without parallel: on the axis, angles within +-sin(a)/2.
        f.fields.PointSource = true;
        f.fields.Parallel = false;
        f.fields.Blende2 = 0.1;
        QVERIFY(f.Apply().Applied);
        const double a = (f.fields.Blende1 + f.fields.Blende2) / 0.1;
        double maxA0 = 0;
        for (int i = 0; i < 400; ++i) {
            Emit(f.m, 1, false);
            const Particle &p = f.m.Particles[1];
            QCOMPARE(p.X0, 0.0);
            QVERIFY(std::abs(p.A0) <= std::sin(a) / 2);
            maxA0 = std::max(maxA0, std::abs(p.A0));
        }
        QVERIFY(maxA0 > 0.9 * std::sin(a) / 2);
        // The widest aperture with spread still starts every ion between the plates.
        f.fields.PointSource = false;
        QVERIFY(f.Apply().Applied);
        for (int i = 0; i < 200; ++i) {
            Emit(f.m, 1, false);
            QCOMPARE(f.ReadColorAt(f.m.Particles[1].PixelX, f.m.Particles[1].PixelY), Colors::Analyser);
        }
    }

    void traceColourFollowsTheLaunchCount()
    {
        ModelFixture f;
        const std::pair<int, TColor> cases[] = {{98, Colors::TraceRed}, {99, Colors::TraceOlive},
                                                {199, Colors::TraceRed}, {150, Colors::TraceOlive}};
        for (const auto &[before, colour] : cases) {
            f.m.LaunchCount = before;
            Emit(f.m, 3, true);
            QCOMPARE(f.m.LaunchCount, before + 1);
            QCOMPARE(f.m.Particles[3].TraceColor, colour);
        }
        // An ion emitted inactive does not count.
        f.m.LaunchCount = 10;
        Emit(f.m, 4, false);
        QCOMPARE(f.m.LaunchCount, 10);
        QVERIFY(!f.m.Particles[4].Active);
    }

    void spreadIonsAllStop()
    {
        ModelFixture f(11);
        f.fields.PointSource = false;
        f.fields.MonoEnergetic = false;
        QVERIFY(f.Apply().Applied);
        int onWall = 0, onJaw = 0, other = 0;
        for (int i = 0; i < 300; ++i) {
            Emit(f.m, 0, true);
            Particle &p = f.m.Particles[0];
            const int steps = f.FlyToEnd(p);
            QVERIFY(!p.Active);
            QVERIFY(steps < 1000);
            const TColor c = f.ReadColorAt(p.PixelX, p.PixelY);
            if (c == Colors::Black && std::hypot(p.PixelX - 84, p.PixelY - 464) < 80)
                ++onWall;
            else if (c == Colors::Black && std::hypot(p.PixelX - 701, p.PixelY - 287) < 40)
                ++onJaw;
            else
                ++other;
        }
        // The exit aperture of 8 mm stops most of a 2 cm wide beam; the rest reaches the end wall.
        QVERIFY2(onJaw > 100 && onWall > 20, qPrintable(QString("%1 %2 %3").arg(onJaw).arg(onWall).arg(other)));
    }

    void massWindowIsInclusive()
    {
        TParams p;
        p.MeanMass = 100;
        p.Mass = 150;
        QVERIFY(MassWindowHolds(p));
        p.Mass = 50;
        QVERIFY(MassWindowHolds(p));
        p.Mass = 151;
        QVERIFY(!MassWindowHolds(p));
        p.Mass = 49.999;
        QVERIFY(!MassWindowHolds(p));
    }

    void farMassIsIntegratedInTheMagnet()
    {
        // Mass 50 with the instrument tuned for 120: outside the window.
        ModelFixture f;
        f.fields.Mass = 50;
        f.fields.Parallel = true;
        const ApplyOutcome out = f.Apply();
        QVERIFY(out.MassOutsideWindow);
        QVERIFY(out.ShowMassWarning);
        ResetParticles(f.m);
        Particle &p = f.m.Particles[0];
        bool sawForceStep = false, enteredDrift2 = false;
        double lastVx = 0, lastVy = 0;
        int guard = 0;
        while (p.Active && guard++ < 2000) {
            const TColor c = f.ReadColorAt(p.PixelX, p.PixelY);
            const int stageBefore = p.Stage;
            const double vx = p.Vx, vy = p.Vy;
            Advance(f.m, p, c, f.m.TraceBitmap);
            if (c == Colors::Magnet && stageBefore == 2 && (p.Vx != vx || p.Vy != vy))
                sawForceStep = true;   // first-order mode never changes the velocity
            if (stageBefore == 2 && p.Stage == 3) {
                enteredDrift2 = true;
                // Not put onto the first-order exit: the velocity is the integrated one.
                QCOMPARE(p.Vx, lastVx);
                QCOMPARE(p.Vy, lastVy);
            }
            lastVx = p.Vx;
            lastVy = p.Vy;
        }
        QVERIFY(sawForceStep);
        Q_UNUSED(enteredDrift2);
        QVERIFY(!p.Active);
        // Inside the window the magnet never changes the velocity.
        f.fields.Mass = 120;
        QVERIFY(f.Apply().Applied);
        ResetParticles(f.m);
        Particle &q = f.m.Particles[0];
        while (q.Active) {
            const TColor c = f.ReadColorAt(q.PixelX, q.PixelY);
            const double vx = q.Vx, vy = q.Vy;
            const int stage = q.Stage;
            Advance(f.m, q, c, f.m.TraceBitmap);
            if (c == Colors::Magnet && stage == 2) {
                QCOMPARE(q.Vx, vx);
                QCOMPARE(q.Vy, vy);
            }
        }
    }

    void ionsThatCouldNeverLandAreStopped()
    {
        ModelFixture f;
        // Held at the analyser's exit angle on the analyser's own colour: it cannot move.
        Particle p = f.m.Particles[0];
        p.EsaPhase = f.m.Esa.Angle;
        const double x = p.X, y = p.Y;
        Advance(f.m, p, Colors::Analyser, f.m.TraceBitmap);
        QVERIFY(!p.Active);
        QCOMPARE(p.X, x);
        QCOMPARE(p.Y, y);
        // The same in the magnet's first-order mode.
        Particle q = f.m.Particles[0];
        q.Stage = 2;
        q.MagnetPhase = f.m.Magnet.Angle;
        Advance(f.m, q, Colors::Magnet, f.m.TraceBitmap);
        QVERIFY(!q.Active);
        // An ion just below the limit still moves.
        Particle r = f.m.Particles[0];
        r.EsaPhase = f.m.Esa.Angle - r.PhaseStep / 2;
        Advance(f.m, r, Colors::Analyser, f.m.TraceBitmap);
        QVERIFY(r.Active);
        QCOMPARE(r.EsaPhase, f.m.Esa.Angle);
        // Circling for ever in the force mode ends at the step limit.
        Particle c = f.m.Particles[0];
        c.Steps = MaxParticleSteps;
        Advance(f.m, c, Colors::Silver, f.m.TraceBitmap);
        QVERIFY(!c.Active);
    }

    void ionsOffThePictureStopWithoutDrawing()
    {
        ModelFixture f;
        const double nan = std::nan("");
        struct Case {
            const char *name;
            TColor colour;
            void (*spoil)(Particle &, double);
        };
        const Case cases[] = {
            {"straight step to NaN", Colors::Silver, [](Particle &q, double n) { q.Vx = n; }},
            {"straight step far off", Colors::Silver, [](Particle &q, double) { q.Vx = 1e15; }},
            {"position beyond any picture", Colors::Silver, [](Particle &q, double) { q.X = 1e300; }},
            {"analyser exit to NaN", Colors::Drift, [](Particle &q, double n) { q.X1 = n; }},
            {"analyser arc to NaN", Colors::Analyser, [](Particle &q, double n) { q.X0 = n; }},
            {"magnet entry off the picture", Colors::Magnet, [](Particle &q, double) { q.Stage = 1, q.X2 = -1e6; }},
        };
        for (const Case &c : cases) {
            Particle p = f.m.Particles[0];
            c.spoil(p, nan);
            const TPixel at{p.PixelX, p.PixelY};
            const QImage before = f.m.TraceBitmap.copy();
            QVERIFY2(!Advance(f.m, p, c.colour, f.m.TraceBitmap), c.name);
            QVERIFY2(!p.Active, c.name);
            QVERIFY2((TPixel{p.PixelX, p.PixelY}) == at, c.name);
            QVERIFY2(f.m.TraceBitmap == before, c.name);
        }
    }

    void everyRunEndsEvenForStuckIons()
    {
        // A very light ion tuned far away: the force mode curls it in the magnet.
        for (double mass : {1.0, 10.0, 59.0, 181.0, 1000.0}) {
            ModelFixture f(3);
            f.fields.Mass = mass;
            f.fields.PointSource = false;
            f.fields.MonoEnergetic = false;
            f.Apply();
            RunState run;
            run.PresetCount = 150;
            StartRun(f.m, run);
            int ticks = 0;
            while (run.Running && ticks < 200000) {
                Tick(f.m, f.spectra, run);
                ++ticks;
            }
            QVERIFY2(!run.Running, qPrintable(QString("mass %1 did not finish").arg(mass)));
            QCOMPARE(f.m.LaunchCount, 150);
        }
    }

    void stepsDrawTheTrace()
    {
        ModelFixture f;
        Particle &p = f.m.Particles[0];
        const TPixel start{p.PixelX, p.PixelY};
        Advance(f.m, p, f.ReadColorAt(p.PixelX, p.PixelY), f.m.TraceBitmap);
        QVERIFY(start != (TPixel{p.PixelX, p.PixelY}));
        QCOMPARE(ReadColor(f.m.TraceBitmap, start.x, start.y), Colors::TraceRed);
        QCOMPARE(ReadColor(f.m.TraceBitmap, p.PixelX, p.PixelY), Colors::TraceRed);
        // The collision map itself is never drawn on by the flight.
        QCOMPARE(ReadColor(f.m.ApparatusBitmap, start.x, start.y), Colors::Analyser);
    }

    void seededRunsRepeat()
    {
        auto run = [](uint64_t seed) {
            ModelFixture f(seed);
            f.fields.PointSource = false;
            f.fields.MonoEnergetic = false;
            f.Apply();
            RunState r;
            r.PresetCount = 50;
            StartRun(f.m, r);
            while (r.Running)
                Tick(f.m, f.spectra, r);
            return f.m.TraceBitmap;
        };
        QCOMPARE(run(5), run(5));
        QVERIFY(run(5) != run(6));
    }
};

QTEST_APPLESS_MAIN(FlightTest)
#include "test_flight.moc"
