#pragma once
// Emission of ions at the source and their step-by-step flight (Flight.cpp):
// the isotope draw, the particle table and one step of one ion.
#include "Model.h"

#include <QImage>
#include <array>
#include <cstddef>
#include <optional>

// The first isotope whose cumulative abundance reaches r.
size_t SelectIsotope(const std::array<TIsotope, 6> &cumulative, double r);
void Emit(TModel &m, int slot, bool activate);
void ResetParticles(TModel &m);
bool MassWindowHolds(const TParams &p);
// One step of an active ion; `colour` is the ApparatusBitmap colour under it.
// Gives the detector channel when the ion landed on the detector's purple; the
// run engine adds the count.
std::optional<int> Advance(TModel &m, Particle &p, TColor colour, QImage &trace);
