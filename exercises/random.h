#pragma once

#include "gfx/canvas.h"

namespace exercises {

// Uniform random numbers in [0, 1] from the minimal standard multiplicative congruential
// generator (multiplier 16807, modulus 2^31 - 1), computed in double precision on a real state.
// RAN11 places every stimulus; it is never seeded, so each run draws the same sequence.
float RAN11();
void RAN11IN();  // restarts RAN11's sequence

// A second generator with the same arithmetic and its own state; only RAN uses it.
float RAN2();
void RAN2IN();

// RAN2 after a skip, on its first call, of hundredths × seconds of the local time of day.
float RAN(gfx::Canvas& canvas);

// A standard normal deviate (Box–Muller, sine branch) from two RAN11 values.
float FNN();
// Restarts RAN2, the source of RAN.
void FNN0();

// Restarts both generators and RAN's first-call skip, as a fresh run has them: for tests that
// draw the same random sequence twice.
void reset_generators();

}  // namespace exercises
