// vantrel-sim: the game without a window. Runs the world cycle by cycle without pacing, applies
// field sizes and clicks at the steps the command line names, paints every step against a
// do-nothing OpenGL table (the game-over overlay draws random numbers), and prints the world.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "opengl/opengl_api_do_nothing_table.h"
#include "runtime/random.h"
#include "simulation/Unit_TDisease.h"
#include "simulation/Unit_TField.h"
#include "simulation/Unit_TGame.h"
#include "simulation/Unit_THumanity.h"
#include "simulation/Unit_TPerson.h"
#include "simulation/Unit_TProgram.h"
#include "simulation/world_state.h"
#include "tools/vantrel-sim/sim_options.h"

namespace {

// Events of one kind, walked in step order; events of the same step keep their command-line
// order.
template <typename TEvent> class TEventQueue {
public:
  explicit TEventQueue(std::vector<TEvent> ParaEvents) : mEvents(std::move(ParaEvents)) {
    std::stable_sort(mEvents.begin(), mEvents.end(),
                     [](const TEvent& a, const TEvent& b) { return a.mStep < b.mStep; });
  }

  template <typename TApply> void RunStep(int64_t ParaStep, TApply ParaApply) {
    while (mNext < mEvents.size() && mEvents[mNext].mStep <= ParaStep) {
      if (mEvents[mNext].mStep == ParaStep) {
        ParaApply(mEvents[mNext]);
      }
      ++mNext;
    }
  }

private:
  std::vector<TEvent> mEvents;
  std::size_t mNext = 0;
};

void ApplySize(const TSimSize& ParaSize) {
  ProgramSetFieldSize(ParaSize.mWidth, ParaSize.mHeight);
}

void ApplyClick(const TSimClick& ParaClick) {
  if (ParaClick.mButton == 'L') {
    ProgramQuarantine(ParaClick.mX, ParaClick.mY);
  } else {
    ProgramInfect(ParaClick.mX, ParaClick.mY);
  }
}

int32_t DeadCount() {
  int32_t dead = 0;
  for (const TPerson& person : Persons) {
    dead += person.mDead ? 1 : 0;
  }
  return dead;
}

void PrintTrace(int64_t ParaStep) {
  std::printf("step=%lld persons=%zu infected=%d alive=%d dead=%d seed=%u\n",
              static_cast<long long>(ParaStep), Persons.size(), Humanity->Infected(),
              Humanity->Alive(), DeadCount(), RandSeed);
}

void PrintState(int64_t ParaSteps) {
  const std::string state = WorldStateText(ParaSteps);
  std::fwrite(state.data(), 1, state.size(), stdout);
}

int Run(const TSimOptions& ParaOptions) {
  InstallDoNothingOpenGLTable();
  RandSeed = ParaOptions.mSeed;
  PersonCount = ParaOptions.mPersons;
  ProgramCreate();
  ProgramStartup();

  TEventQueue<TSimSize> sizes(ParaOptions.mSizes);
  TEventQueue<TSimClick> clicks(ParaOptions.mClicks);
  sizes.RunStep(0, ApplySize);
  clicks.RunStep(0, ApplyClick);
  for (int64_t step = 1; step <= ParaOptions.mSteps; ++step) {
    ProgramSimulationCycle();
    sizes.RunStep(step, ApplySize);
    ProgramDraw();
    clicks.RunStep(step, ApplyClick);
    if (ParaOptions.mTraceEvery > 0 && step % ParaOptions.mTraceEvery == 0) {
      PrintTrace(step);
    }
  }
  PrintState(ParaOptions.mSteps);
  ProgramDestroy();
  return 0;
}

} // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  std::string error;
  const auto options = ParseSimOptions(arguments, error);
  if (!options) {
    std::fprintf(stderr, "vantrel-sim: %s\n", error.c_str());
    return 2;
  }
  // The state of a large population is many lines: buffer them.
  static char buffer[1 << 16];
  std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
  try {
    return Run(*options);
  } catch (const std::exception& e) {
    std::fflush(stdout);
    std::fprintf(stderr, "vantrel-sim: %s\n", e.what());
    return 1;
  }
}
