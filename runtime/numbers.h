// Integer arithmetic helpers with the program's fixed rules: nearest-integer conversion with
// ties to even, and 32-bit counters that wrap instead of overflowing into undefined behaviour.
#pragma once

#include <cstdint>

// The nearest integer, ties to the even neighbour (2.5 -> 2, 3.5 -> 4). Raises EFloatError
// when the value is not finite or does not fit a 32-bit signed integer.
int32_t RoundHalfEven(double ParaValue);

// a + b in 32-bit two's complement: the simulation's counters count for ever and wrap.
constexpr int32_t WrapAdd(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

// a - b in 32-bit two's complement.
constexpr int32_t WrapSub(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

// a * b in 32-bit two's complement.
constexpr int32_t WrapMul(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}
