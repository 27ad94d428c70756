// See world_state.h. The format is fixed: tests and other implementations compare it bit for bit.
#include "simulation/world_state.h"

#include <algorithm>
#include <cstdio>

#include "runtime/random.h"
#include "simulation/Unit_TDisease.h"
#include "simulation/Unit_TField.h"
#include "simulation/Unit_TGame.h"
#include "simulation/Unit_THumanity.h"
#include "simulation/Unit_TPerson.h"

namespace {

template <typename... TArguments>
void appendFormatted(std::string& ParaText, const char* ParaFormat, TArguments... ParaArguments) {
  char line[512];
  const int length = std::snprintf(line, sizeof line, ParaFormat, ParaArguments...);
  if (length > 0) {
    // A line is far shorter than the buffer; a longer one would be cut, never overrun.
    ParaText.append(line, std::min(static_cast<std::size_t>(length), sizeof line - 1));
  }
}

} // namespace

std::string WorldStateText(int64_t ParaSteps) {
  std::string text;
  text.reserve(64 + Persons.size() * 96);
  appendFormatted(text,
                  "state steps=%lld seed=%u person_count=%d persons=%zu disease_cycle=%d till=%d "
                  "patient_zero=%d over=%d field=%dx%d\n",
                  static_cast<long long>(ParaSteps), static_cast<unsigned>(RandSeed),
                  static_cast<int>(PersonCount), Persons.size(), static_cast<int>(Disease->mCycle),
                  static_cast<int>(Disease->mCycleTillPatientZero),
                  Disease->mPatientZeroExists ? 1 : 0, Game->Over() ? 1 : 0,
                  static_cast<int>(Field->Width()), static_cast<int>(Field->Height()));
  for (std::size_t i = 0; i < Persons.size(); ++i) {
    const TPerson& p = Persons[i];
    appendFormatted(text, "%zu %.17g %.17g %.17g %.17g %d %d %d %d %d %d %d %d\n", i, p.mPositionX,
                    p.mPositionY, p.mAngle, p.mSpeed, static_cast<int>(p.mSize),
                    p.mInfected ? 1 : 0, p.mQuarantined ? 1 : 0, p.mDead ? 1 : 0, p.mBuried ? 1 : 0,
                    static_cast<int>(p.mCycle), static_cast<int>(p.mInfectionCycle),
                    static_cast<int>(p.mDeadCycle));
  }
  return text;
}
