// Implementation of the linear congruential generator; see random.h.
#include "runtime/random.h"

uint32_t RandSeed = 0;

int32_t Random(int32_t ParaRange) {
  RandSeed = RandSeed * 134775813u + 1u;
  const uint64_t product = static_cast<uint64_t>(RandSeed) * static_cast<uint32_t>(ParaRange);
  // The high half of the product; for a negative range it may exceed INT32_MAX and wraps,
  // exactly as a 32-bit register would.
  return static_cast<int32_t>(static_cast<uint32_t>(product >> 32));
}

void RandomizeFromCounter(int64_t ParaCounter) {
  const auto counter = static_cast<uint64_t>(ParaCounter);
  RandSeed = static_cast<uint32_t>(counter) ^ static_cast<uint32_t>(counter >> 32);
}
