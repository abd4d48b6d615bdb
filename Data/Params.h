#pragma once
// The device parameters the flight reads. The device page (or the headless
// tool) sets them; the derived ones come from ApplyDerivedValues.

struct TParams {
    double Mass = 120.0;          // u; in the unknown-mass mode the mass of the latest emission
    double MeanMass = 120.0;      // u; the mass the instrument is tuned for
    double ChargeNumber = 1.0;
    double Induction = 1.0;       // T
    double AccVoltage = 0.0;      // V
    double EsaPotential = 0.0;    // V, outer plate; the inner one is at minus this
    double Blende1 = 0.02;        // m
    double Blende2 = 0.02;        // m
    double Blende3 = 0.008;       // m
    double Blende3Offset = 0.0;   // m
    double TimeStep = 1e-7;       // s
    double SourceGap = 0.1;       // m, between the two source apertures
    double SourceBoxHeight = 0.15;
    double SourceBoxLength = 0.2;
    bool PointSource = true;
    bool MonoEnergetic = true;
    bool Parallel = false;
    bool UnknownMode = false;
};
