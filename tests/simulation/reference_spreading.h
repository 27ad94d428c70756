// The straightforward spreading pass, kept as the reference that the grid pass must match:
// every spreader in ascending index order against every other person, flags read live.
// Shared by the spreading tests and the benchmarks; it is not part of the game.
#pragma once

#include <cstddef>

#include "simulation/Unit_TDisease.h"
#include "simulation/Unit_TPerson.h"

inline void ReferenceSpreadingPass(const TDisease& ParaDisease) {
  if (!ParaDisease.mPatientZeroExists) {
    return;
  }
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
