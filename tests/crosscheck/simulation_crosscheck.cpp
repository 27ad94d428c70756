// Prints the floating-point results the simulation depends on, so the Windows and the Linux
// builds can be compared line by line: the runtime's Sine and Cosine and std::sqrt as the
// person rules call them, then the persons of a seeded run of several levels. Built natively
// and with mingw-w64 alike; a difference between the builds' math is what it looks for.
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "runtime/random.h"
#include "runtime/trigonometry.h"
#include "simulation/Unit_TDisease.h"
#include "simulation/Unit_TField.h"
#include "simulation/Unit_TGame.h"
#include "simulation/Unit_THumanity.h"
#include "simulation/Unit_TPerson.h"

namespace {

void printMath(int32_t ParaCount) {
  // The angles persons reach: whole degrees from the start, tenths from turning, and far
  // beyond 360 after many bounces; the conversion is written as the person rules write it.
  for (int32_t k = 0; k < ParaCount; ++k) {
    const double angle = k * 0.1;
    const double radians = angle * 3.141592653589793 / 180;
    const double distance = k * 0.37 + 0.5;
    std::printf("math %" PRId32 " %.17g %.17g %.17g\n", k, Sine(radians), Cosine(radians),
                std::sqrt(distance * distance + 2.25));
  }
}

void printPersons(int32_t ParaStep) {
  std::printf("state step=%" PRId32 " seed=%" PRIu32 " persons=%zu person_count=%" PRId32 "\n",
              ParaStep, RandSeed, Persons.size(), PersonCount);
  for (size_t i = 0; i < Persons.size(); ++i) {
    const TPerson& p = Persons[i];
    std::printf("%zu %.17g %.17g %.17g %.17g %d %d %d %d %d\n", i, p.mPositionX, p.mPositionY,
                p.mAngle, p.mSpeed, p.mInfected ? 1 : 0, p.mQuarantined ? 1 : 0, p.mDead ? 1 : 0,
                p.mBuried ? 1 : 0, p.mCycle);
  }
}

} // namespace

int main(int argc, char** argv) {
  const int32_t mathCount = argc > 1 ? std::atoi(argv[1]) : 40000;
  const int32_t steps = argc > 2 ? std::atoi(argv[2]) : 6000;
  const int32_t persons = argc > 3 ? std::atoi(argv[3]) : 100;
  printMath(mathCount);

  RandSeed = 20261209u;
  PersonCount = persons;
  Field = new TField;
  Humanity = new THumanity;
  Disease = new TDisease;
  Game = new TGame;
  Field->SetWidth(792);
  Field->SetHeight(673);
  Humanity->ReDistribute();
  for (int32_t step = 1; step <= steps; ++step) {
    Humanity->Think();
    Humanity->Move();
    Disease->Think();
    Disease->Infect();
    Game->Think();
    // The player's clicks, so the quarantine and the right-click infection take part too.
    if (step % 700 == 350) {
      Humanity->Infect(396, 336);
      Humanity->Quarantine(200 + step % 300, 300);
    }
    if (step % 1000 == 0) {
      printPersons(step);
    }
  }
  delete Game;
  delete Disease;
  delete Humanity;
  delete Field;
  return 0;
}
