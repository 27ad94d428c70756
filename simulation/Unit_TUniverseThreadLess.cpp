// The paced simulation cycle; see Unit_TUniverseThreadLess.h.
#include "simulation/Unit_TUniverseThreadLess.h"

#include <cmath>

#include "simulation/Unit_TDisease.h"
#include "simulation/Unit_TGame.h"
#include "simulation/Unit_THumanity.h"

TUniverse* Universe = nullptr;

namespace {

constexpr double kCyclesPerSecond = 60;
// Caps the catch-up after a stall at 80000 cycles (22 min 13 1/3 s at 60 per second).
constexpr double kMaximumCatchUp = 80000;
constexpr double kMaximumSingleWait = 1;

} // namespace

TUniverse::TUniverse() : mCycleThrottle(std::make_unique<TSpeedThrottle>()) {
  // The order matters: enabling last starts the bucket empty with the clock restarted, and
  // the two signalling writes before it leave one wake-up pending for the first wait.
  mCycleThrottle->SetSpeed(kCyclesPerSecond);
  mCycleThrottle->SetMaximumExtractionQuantity(kMaximumCatchUp);
  mCycleThrottle->SetMaximumWaitingTime(kMaximumSingleWait);
  mCycleThrottle->SetEnabled(true);
}

TUniverse::~TUniverse() = default;

void TUniverse::Startup() {
  // The time between creation and start-up is not made up later.
  mCycleThrottle->Reset();
  Disease->Initialize();
}

void TUniverse::SingleLoop() {
  // Truncated as a double, so no content of any size meets an integer conversion.
  while (std::trunc(mCycleThrottle->QuantityAvailable()) == 0.0) {
    mCycleThrottle->SleepIfWaitingTimeAvailable(1);
  }
  SimulationCycle();
  // Taken out only after the work, so the next test sees the cycle as done.
  mCycleThrottle->QuantityUsed(1);
}

void TUniverse::SimulationCycle() {
  // Every person thinks, then every person moves: one pass that gives the same persons.
  Humanity->ThinkAndMove();
  Disease->Think();
  Disease->Infect();
  Game->Think();
}
