// Level rules; see Unit_TGame.h.
#include "simulation/Unit_TGame.h"

#include <cstdint>
#include <limits>

#include "runtime/numbers.h"
#include "simulation/Unit_TDisease.h"
#include "simulation/Unit_THumanity.h"

TGame* Game = nullptr;

void TGame::NextLevel() {
  const double grown = PersonCount * 1.2;
  // The 94th level would leave the 32-bit range: the population stops growing there.
  constexpr int32_t kLargest = std::numeric_limits<int32_t>::max();
  PersonCount = grown >= kLargest ? kLargest : RoundHalfEven(grown);
  Humanity->Reset();
  Disease->Reset();
}

void TGame::Think() {
  if (!(Disease->mCycle > Disease->mCycleTillPatientZero)) {
    return;
  }
  if (Humanity->Infected() != 0) {
    return;
  }
  if (Humanity->Alive() > 0) {
    NextLevel();
  } else {
    GameOver();
  }
}
