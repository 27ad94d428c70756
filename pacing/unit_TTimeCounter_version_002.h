// The tick source of the pacing layer: the high-resolution counter, the millisecond tick
// count, or a clock whose tick and frequency the owner stores itself. Reads ask the source
// afresh every time; elapsed-time arithmetic is left to the caller (TSpeedThrottle).
#pragma once

#include <cstdint>

enum TTimeCounterMode : uint8_t {
  tcm_high_accuracy = 0,
  tcm_low_cpu_usage = 1,
  tcm_simulation = 2,
};

// Not thread-safe: its owner serialises every use.
class TTimeCounter {
public:
  TTimeCounter();
  virtual ~TTimeCounter() = default;

  TTimeCounterMode Mode() const { return mMode; }
  // tcm_high_accuracy is taken only when the performance counter can be read; otherwise the
  // write is silently refused and the previous mode stays.
  void SetMode(TTimeCounterMode ParaMode);

  int64_t Tick() const;
  // Stored only in tcm_simulation; ignored in the other modes.
  void SetTick(int64_t ParaTick);

  int64_t Frequency() const;
  // Stored only in tcm_simulation; ignored in the other modes.
  void SetFrequency(int64_t ParaFrequency);

protected:
  TTimeCounterMode mMode = tcm_high_accuracy;
  // Kept across mode changes, so a simulated clock resumes where it was left.
  int64_t mSimulatedCounter = 0;
  int64_t mSimulatedFrequency = 0;
};
