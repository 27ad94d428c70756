// One member of the population: position, heading, turning rhythm and its course through
// infection, death and burial. Also declares the population array Persons (owned and filled
// by THumanity) and PersonSpeedRange. Drawing lives with the scene drawing.
#pragma once

#include <cstdint>
#include <vector>

#include "simulation/Unit_TRole.h"

class TPerson {
public:
  int32_t mCycle = 0;
  int32_t mResetCycle = 0;
  double mPositionX = 0.0;
  double mPositionY = 0.0;
  double mAngle = 0.0;
  double mAngleChangeSpeed = 0.0;
  int32_t mStartChangeAngleAfterCycle = 0;
  int32_t mStopChangeAngleAfterCycle = 0;
  int32_t mInfectionCycle = 0;
  int32_t mDeadAfterInfectionCycle = 0;
  bool mDead = false;
  int32_t mDeadCycle = 0;
  int32_t mBuriedAfterDeadCycle = 0;
  bool mBuried = false;
  double mDirectionX = 0.0;
  double mDirectionY = 0.0;
  double mSpeed = 0.0;
  bool mInfected = false;
  bool mQuarantined = false;
  TRole mRole = r_citizen;
  // Set by the first Move that computes a direction; declared here, where it fills padding.
  bool mDirectionKnown = false;
  int32_t mSize = 0;
  // The bits of the heading that mDirectionX and mDirectionY were computed from. A heading
  // changes only while turning and at the field's edges, so most steps reuse the direction
  // instead of computing the same sine and cosine again.
  uint64_t mDirectionAngleBits = 0;

  // Draws the nine random traits, in their fixed order.
  void Initialize();
  // One cycle: turning, reset of the rhythm, illness, death, burial.
  void Think();
  // One step along the heading, unless quarantined or dead.
  void Move();
  // Clamps the centre into the field; each violated edge reverses the heading.
  void KeepInside(int32_t ParaWidth, int32_t ParaHeight);
  // Think, Move and KeepInside in that order: the population's cycle for one person.
  void ThinkAndMove(int32_t ParaWidth, int32_t ParaHeight);
  void Draw() const;
  // True when the point lies on the person's square (bounds inclusive).
  bool Select(int32_t ParaX, int32_t ParaY) const;
  void Infect() { mInfected = true; }
  void Quarantine() { mQuarantined = true; }
  // True when the two persons' circles touch or overlap.
  bool Near(const TPerson& ParaPerson) const;
};

// The population, in the order of every pass over it. Owned by THumanity; the persons sit in
// one block, so a population too large for memory fails at once instead of part-way.
extern std::vector<TPerson> Persons;

extern int32_t PersonSpeedRange;
