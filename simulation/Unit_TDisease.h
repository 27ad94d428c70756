// The disease: counts the cycles of a level, infects patient zero when the count reaches a
// random delay, and from then on spreads the illness on contact in a fixed pass order.
#pragma once

#include <cstdint>

#include "simulation/Unit_TSpreadingGrid.h"

class TDisease {
public:
  int32_t mCycle = 0;
  int32_t mCycleTillPatientZero = 0;
  bool mPatientZeroExists = false;

  // Starts the level's count and draws the delay until patient zero (100 .. 199).
  void Initialize();
  void Reset() { Initialize(); }
  void InfectPatientZero();
  void Think();
  // The spreading pass: every infected, unburied person in ascending index order infects
  // every not yet infected person it touches, flags read live.
  void Infect();

private:
  // Buffers of the pass, kept from cycle to cycle.
  TSpreadingGrid mSpreadingGrid;
};

// The one disease; created and freed by the world registry.
extern TDisease* Disease;
