// Disease rules; see Unit_TDisease.h.
#include "simulation/Unit_TDisease.h"

#include "runtime/numbers.h"
#include "runtime/random.h"
#include "simulation/Unit_TPerson.h"

TDisease* Disease = nullptr;

void TDisease::Initialize() {
  mCycle = 0;
  mPatientZeroExists = false;
  mCycleTillPatientZero = Random(100) + 100;
}

void TDisease::InfectPatientZero() {
  const int32_t index = Random(static_cast<int32_t>(Persons.size()));
  Persons[static_cast<std::size_t>(index)].Infect();
  mPatientZeroExists = true;
}

void TDisease::Think() {
  // The count goes on for as long as the level lasts; it wraps rather than overflows.
  mCycle = WrapAdd(mCycle, 1);
  if (mCycle >= mCycleTillPatientZero && !mPatientZeroExists) {
    InfectPatientZero();
  }
}

void TDisease::Infect() {
  if (!mPatientZeroExists) {
    return;
  }
  // Flags are read live: a person infected at a higher index than the current spreader
  // spreads later in this same pass.
  const std::size_t count = Persons.size();
  for (std::size_t i = 0; i < count; ++i) {
    const TPerson& spreader = Persons[i];
    if (!spreader.mInfected || spreader.mBuried) {
      continue;
    }
    const std::size_t inner = Persons.size();
    for (std::size_t j = 0; j < inner; ++j) {
      if (j == i) {
        continue;
      }
      TPerson& catcher = Persons[j];
      if (!catcher.mInfected && spreader.Near(catcher)) {
        catcher.Infect();
      }
    }
  }
}
