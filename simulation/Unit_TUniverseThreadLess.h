// The universe: owns the cycle throttle and runs one simulation cycle per call on the calling
// thread, paced at 60 cycles per second with catch-up after stalls. It has no thread of its
// own. The world objects it drives are created by the registry (Unit_TProgram).
#pragma once

#include <memory>

#include "pacing/unit_TSpeedThrottle_version_021.h"

class TUniverse {
public:
  // An enabled throttle at 60 units per second, capacity 80000, single waits of at most 1 s.
  TUniverse();
  virtual ~TUniverse();
  TUniverse(const TUniverse&) = delete;
  TUniverse& operator=(const TUniverse&) = delete;

  // Restarts the cycle clock and draws the delay until patient zero.
  void Startup();
  // Waits until the throttle grants a whole cycle, runs it, and takes its unit out.
  void SingleLoop();
  // The cycle's work alone, unpaced: for callers that run cycles back to back.
  void SimulationCycle();

protected:
  // Lets a derived class inspect the pacing; the world itself never reaches the throttle.
  TSpeedThrottle& CycleThrottle() { return *mCycleThrottle; }

private:
  std::unique_ptr<TSpeedThrottle> mCycleThrottle;
};

// The one universe; created and freed by the world registry.
extern TUniverse* Universe;
