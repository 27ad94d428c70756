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
  // The grid finds the same catches, in the same order, as testing every spreader against
  // every person; a person infected at a higher index still spreads later in this pass.
  mSpreadingGrid.Spread();
}
