#include "Main/core/DeviceValues.h"

#include "Data/Flight.h"
#include "Data/Model.h"
#include "Main/core/NumberText.h"

#include <cmath>

const char *const MassWarningText =
    "Túl nagy az eltérés a közepes tömeg és a mérendő tömeg között\r"
    "Változtasd meg az egyiket!\r"
    "A részecskepályák számítására használt közelítések már nem érvényesek!";
const char *const VoltageWarningText =
    "A szükséges feszültség kívül esik a megengedett tartományon!\r"
    "Változtass a mágneses térerősségen!";
const char *const ErrorTitle = "*** HIBA ***";
const char *const ConfirmTitle = "*** MEGERŐSÍTÉS ***";

double AccVoltageFor(double magnetRadius, double induction, double chargeNumber, double meanMass)
{
    return Phys::VoltageConstant * magnetRadius * magnetRadius * induction * induction * chargeNumber
           / meanMass;
}

double EsaPotentialFor(double gap, double accVoltage, double radius)
{
    return gap * accVoltage / radius;
}

double TimeStepFor(double accVoltage, double mass)
{
    const double v = std::sqrt(2.0 * accVoltage * Phys::ElementaryCharge / (mass * Phys::AtomicMassUnit));
    return 0.01 / v;
}

ApplyOutcome InitDevice(TModel &m, const DeviceFields &fields, WarningLatches &latches)
{
    TParams &p = m.Params;
    p.Mass = 120.0;
    p.MeanMass = 120.0;
    p.ChargeNumber = 1.0;
    p.Induction = fields.Induction == 0.0 ? 1.0 : fields.Induction;
    p.AccVoltage = AccVoltageFor(LayoutConst::MagnetRadius, p.Induction, p.ChargeNumber, p.MeanMass);
    p.EsaPotential = EsaPotentialFor(LayoutConst::EsaGap, p.AccVoltage, LayoutConst::EsaRadius);
    BuildLayout(m);
    ApplyOutcome out = ApplyDeviceValues(m, fields, latches);
    ResetParticles(m);
    return out;
}

ApplyOutcome ApplyDeviceValues(TModel &m, const DeviceFields &f, WarningLatches &latches)
{
    TParams &p = m.Params;
    ApplyOutcome out;
    p.UnknownMode = f.UnknownMode;
    // The unknown-mass mode has no source options: its ions come as they come.
    p.Parallel = f.UnknownMode ? false : f.Parallel;
    p.MonoEnergetic = f.UnknownMode ? false : f.MonoEnergetic;
    p.PointSource = f.UnknownMode ? false : f.PointSource;

    p.Mass = f.UnknownMode ? m.IsotopeCumulative[0].Mass : f.Mass;
    p.MeanMass = f.MeanMass;
    if (MassWindowHolds(p)) {
        latches.MassWarningShown = false;
    } else {
        out.MassOutsideWindow = true;
        if (!latches.MassWarningShown) {
            out.ShowMassWarning = true;
            latches.MassWarningShown = true;
        }
    }

    p.Blende1 = f.Blende1;
    p.Blende2 = f.Blende2;
    p.Blende3 = f.Blende3;
    p.Blende3Offset = f.Blende3Offset;
    p.Induction = f.Induction;
    m.Magnet.Induction = p.Induction;

    p.AccVoltage = AccVoltageFor(m.Magnet.Radius, p.Induction, p.ChargeNumber, p.MeanMass);
    out.AccVoltageText = FormatFixed(p.AccVoltage / 1000.0, 10, 5);
    out.AccVoltageRed = p.AccVoltage < 1000.0 * Limits::Voltage.Min || p.AccVoltage > 1000.0 * Limits::Voltage.Max;

    p.EsaPotential = EsaPotentialFor(m.Esa.Gap, p.AccVoltage, m.Esa.Radius);
    m.Esa.Voltage = p.EsaPotential;
    out.EsaVoltageText = FormatFixed(2.0 * p.EsaPotential / 1000.0, 10, 5);
    out.EsaVoltageRed = p.EsaPotential < 500.0 * Limits::Voltage.Min || p.EsaPotential > 500.0 * Limits::Voltage.Max;

    const bool red = out.AccVoltageRed || out.EsaVoltageRed;
    if (!latches.VoltageWarningShown && red) {
        latches.VoltageWarningShown = true;
        out.ShowVoltageWarning = true;
        out.Applied = false;
        return out;
    }
    if (!red)
        latches.VoltageWarningShown = false;

    DrawExitAperture(m);
    p.TimeStep = TimeStepFor(p.AccVoltage, p.Mass);
    out.Applied = true;
    return out;
}
