#pragma once
// The values the device page derives from its fields: the acceleration and
// analyser voltages, the time step and the mass window, with the two warning
// latches. The window and the headless tool both apply parameters through here.
#include <string>

struct TModel;

struct ParamLimit {
    double Min;
    double Max;
};

namespace Limits {
constexpr ParamLimit Mass{1.0, 1000.0};          // "Tömegszám: ", "Közepes tömeg: "
constexpr ParamLimit Voltage{1.0, 120.0};        // kV, the two computed voltages
constexpr ParamLimit Blende{0.005, 0.1};         // m, the three apertures
constexpr ParamLimit Offset{-0.05, 0.05};        // m, "Helyzet (m) "
constexpr ParamLimit Induction{0.1, 2.0};        // T
// Arrow positions per unit of value: apertures step by 0.001 m, the induction by 0.01 T.
constexpr double BlendeScale = 1000.0;
constexpr double InductionScale = 100.0;
} // namespace Limits

inline bool WithinLimit(double v, ParamLimit l)
{
    return v >= l.Min && v <= l.Max;
}

// What the device page holds when parameters are applied.
struct DeviceFields {
    double Mass = 120.0;          // the mass-number field (ignored in the unknown-mass mode)
    double MeanMass = 120.0;
    double Blende1 = 0.02;
    double Blende2 = 0.02;
    double Blende3 = 0.008;
    double Blende3Offset = 0.0;
    double Induction = 1.0;
    bool PointSource = true;
    bool MonoEnergetic = true;
    bool Parallel = false;
    bool UnknownMode = false;
};

struct WarningLatches {
    bool MassWarningShown = false;
    bool VoltageWarningShown = false;
};

struct ApplyOutcome {
    bool Applied = false;          // false only when the voltage warning stops the application
    bool ShowMassWarning = false;  // the mass warning is due now (its latch was clear)
    bool ShowVoltageWarning = false;
    bool MassOutsideWindow = false;
    bool AccVoltageRed = false;
    bool EsaVoltageRed = false;
    std::string AccVoltageText;    // "%10.5f" kV, for "Gyorsító fesz (kV) "
    std::string EsaVoltageText;    // "%10.5f" kV between the plates, for "Feszültség (kV) "
};

extern const char *const MassWarningText;
extern const char *const VoltageWarningText;
extern const char *const ErrorTitle;          // "*** HIBA ***"
extern const char *const ConfirmTitle;        // "*** MEGERŐSÍTÉS ***"

double AccVoltageFor(double magnetRadius, double induction, double chargeNumber, double meanMass);
double EsaPotentialFor(double gap, double accVoltage, double radius);
double TimeStepFor(double accVoltage, double mass);

// The parameter initialisation of the device: default masses and induction, the
// voltages, the layout chain, one application and the particle table reset.
ApplyOutcome InitDevice(TModel &m, const DeviceFields &fields, WarningLatches &latches);

// Reads the fields into the model and recomputes the derived values; draws the
// exit aperture when the application goes through.
ApplyOutcome ApplyDeviceValues(TModel &m, const DeviceFields &fields, WarningLatches &latches);
