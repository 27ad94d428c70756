// Time counter; see unit_TTimeCounter_version_002.h. The only unit of the pacing layer that
// talks to the platform clocks.
#include "pacing/unit_TTimeCounter_version_002.h"

#include "platform/platform_time.h"

namespace {

constexpr int64_t kTickCountFrequency = 1000;

} // namespace

TTimeCounter::TTimeCounter() {
  // On a platform without a readable counter this write is refused and the zero state,
  // tcm_high_accuracy, stays: Tick and Frequency then read 0.
  SetMode(tcm_high_accuracy);
}

void TTimeCounter::SetMode(TTimeCounterMode ParaMode) {
  if (ParaMode != tcm_high_accuracy) {
    mMode = ParaMode;
    return;
  }
  int64_t probe = 0;
  if (PlatformQueryPerformanceCounter(probe)) {
    mMode = tcm_high_accuracy;
  }
}

int64_t TTimeCounter::Tick() const {
  switch (mMode) {
  case tcm_high_accuracy: {
    int64_t counter = 0;
    PlatformQueryPerformanceCounter(counter);
    return counter;
  }
  case tcm_low_cpu_usage:
    return static_cast<int64_t>(PlatformGetTickCount());
  case tcm_simulation:
    return mSimulatedCounter;
  }
  return 0;
}

void TTimeCounter::SetTick(int64_t ParaTick) {
  if (mMode == tcm_simulation) {
    mSimulatedCounter = ParaTick;
  }
}

int64_t TTimeCounter::Frequency() const {
  switch (mMode) {
  case tcm_high_accuracy: {
    int64_t frequency = 0;
    PlatformQueryPerformanceFrequency(frequency);
    return frequency;
  }
  case tcm_low_cpu_usage:
    return kTickCountFrequency;
  case tcm_simulation:
    return mSimulatedFrequency;
  }
  return 0;
}

void TTimeCounter::SetFrequency(int64_t ParaFrequency) {
  if (mMode == tcm_simulation) {
    mSimulatedFrequency = ParaFrequency;
  }
}
