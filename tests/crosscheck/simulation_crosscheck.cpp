// Prints the floating-point results the simulation depends on, so the Windows and the Linux
// builds can be compared line by line: the runtime's Sine and Cosine and std::sqrt as the
// person rules call them, then the world of a seeded run of several levels, driven through
// the world registry as the game drives it and written by the shared state writer. Built
// natively and with mingw-w64 alike; a difference between the builds is what it looks for.
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "opengl/opengl_api_do_nothing_table.h"
#include "runtime/random.h"
#include "runtime/trigonometry.h"
#include "simulation/Unit_THumanity.h"
#include "simulation/Unit_TProgram.h"
#include "simulation/world_state.h"

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

void printWorld(int64_t ParaStep) {
  std::fputs(WorldStateText(ParaStep).c_str(), stdout);
}

} // namespace

int main(int argc, char** argv) {
  const int32_t mathCount = argc > 1 ? std::atoi(argv[1]) : 40000;
  const int32_t steps = argc > 2 ? std::atoi(argv[2]) : 6000;
  const int32_t persons = argc > 3 ? std::atoi(argv[3]) : 100;
  printMath(mathCount);

  // The game's order of a step, without the pacing (ProgramSingleLoop is the throttle's wait
  // and then this cycle): the cycle, the paint (the first one sizes the field, and the
  // game-over overlay draws random numbers), then the player's clicks.
  InstallDoNothingOpenGLTable();
  RandSeed = 20261209u;
  PersonCount = persons;
  ProgramCreate();
  ProgramStartup();
  for (int32_t step = 1; step <= steps; ++step) {
    ProgramSimulationCycle();
    if (step == 1) {
      ProgramSetFieldSize(792, 673);
    } else if (step % 2500 == 0) {
      ProgramSetFieldSize(640 + step % 300, 480); // a resize re-scatters the persons
    }
    ProgramDraw();
    // Clicks, so the quarantine and the right-click infection take part too.
    if (step % 700 == 350) {
      ProgramInfect(396, 336);
      ProgramQuarantine(200 + step % 300, 300);
    }
    if (step % 1000 == 0) {
      printWorld(step);
    }
  }
  ProgramDestroy();
  return 0;
}
