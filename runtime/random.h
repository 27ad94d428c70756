// The program's one pseudo-random source: a 32-bit linear congruential generator.
// The order of the draws is part of the game's behaviour, so every random decision goes
// through Random(). Seeding from the clock happens once at start-up (see RandomizeFromCounter).
#pragma once

#include <cstdint>

// The generator state. Tests and the headless driver set it directly to replay a run.
extern uint32_t RandSeed;

// A uniform integer in 0 .. ParaRange - 1. The range is taken as an unsigned 32-bit number,
// so Random(0) yields 0.
int32_t Random(int32_t ParaRange);

// Seeds the generator from a 64-bit counter value: low 32 bits xor high 32 bits.
void RandomizeFromCounter(int64_t ParaCounter);
