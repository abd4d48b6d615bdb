#pragma once
#include "Types.h"

#include <cstdint>

// One ion in flight. Offsets and angles are first-order quantities relative to
// the central trajectory, positive towards the centre of curvature.
struct Particle {
    double X0 = 0, X1 = 0, X2 = 0, X3 = 0;   // m
    double A0 = 0, A1 = 0, A2 = 0, A3 = 0;
    double EnergyDeviation = 0;
    double MassDeviation = 0;
    double Speed = 0;           // m/s
    double EsaPhase = 0;        // rad
    double MagnetPhase = 0;     // rad
    double PhaseStep = 0;       // rad per step
    double X = 0, Y = 0;        // m
    double Vx = 0, Vy = 0;      // m/s
    int32_t PixelX = 0, PixelY = 0;
    double MassKg = 0;
    double Charge = 1.0;
    int32_t Stage = 0;          // 0 analyser, 1 drift 1, 2 magnet, 3 after the magnet
    bool Active = false;
    TColor TraceColor = 0;
    int32_t Steps = 0;          // steps taken; an ion that never lands is stopped at MaxSteps
};

// The longest path through the instrument is about 250 steps of 0.01 m. An ion
// still flying after this many steps is circling (force mode) and is stopped.
constexpr int32_t MaxParticleSteps = 20000;
