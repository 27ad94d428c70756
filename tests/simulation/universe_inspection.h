// Test-only views into the pacing of a universe: its cycle throttle, of one the test made or
// of one it did not construct itself, and the throttle's wake-up signal. Both are protected; a
// derived class may name them, and a pointer to the member so formed applies to any object of
// the base.
#pragma once

#include "pacing/unit_TSpeedThrottle_version_021.h"
#include "simulation/Unit_TUniverseThreadLess.h"

class InspectedUniverse : public TUniverse {
public:
  using TUniverse::CycleThrottle;
  static TSpeedThrottle& CycleThrottleOf(TUniverse& ParaUniverse) {
    return (ParaUniverse.*&InspectedUniverse::CycleThrottle)();
  }
};

class ThrottleInspection : public TSpeedThrottle {
public:
  // Takes the pending wake-up, if there is one. Every wait of the throttle takes it, and only
  // property writes give it, so "still pending" proves that nothing waited since the last write.
  static bool TakeWakeUp(TSpeedThrottle& ParaThrottle) {
    return (ParaThrottle.*&ThrottleInspection::ContinueSignal)().WaitFor(0);
  }
};

inline bool TakeWakeUp(TSpeedThrottle& ParaThrottle) {
  return ThrottleInspection::TakeWakeUp(ParaThrottle);
}
