#pragma once

// The load-and-life calculation: gear forces, bearing reactions in two planes, axial loads by
// bearing type and mounting, equivalent dynamic loads and rating lives.

#include "calc/calcinput.h"
#include "calc/conversions.h"

// Runs every step in order on the result record. Each quantity is evaluated in double from the
// stored values and stored as a 32-bit float. Returns Fault::Overflow or Fault::DivisionByZero at
// the failing step (earlier results kept, later ones untouched); a negative base under the
// fractional life exponent skips only that life (Fault::InvalidArgument is not returned).
Fault ComputeLoads(const CalcInput &input, CalcResult &result);

// The caption number of a life: hours / 10000 as a 32-bit float, rounded to k decimals with halves
// to even (k = 0 above 10^7 h, 1 above 10^5 h, else 2), in general number form.
QString lifeCaptionNumber(float hours);
