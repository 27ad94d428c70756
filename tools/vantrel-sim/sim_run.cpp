// One game; see sim_run.h.
#include "tools/vantrel-sim/sim_run.h"

#include <algorithm>
#include <vector>

#include "opengl/opengl_api_do_nothing_table.h"
#include "runtime/random.h"
#include "simulation/Unit_TDisease.h"
#include "simulation/Unit_TGame.h"
#include "simulation/Unit_THumanity.h"
#include "simulation/Unit_TProgram.h"

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

} // namespace

TRunSummary RunGame(const TSimOptions& ParaOptions, uint32_t ParaSeed, bool ParaSummarise,
                    TRunWatcher* ParaWatcher, TRunProgress& ParaProgress) {
  // Everything a fresh process would start from: no world, the seed, the first population.
  ProgramDestroy();
  ParaProgress = TRunProgress{};
  InstallDoNothingOpenGLTable();
  RandSeed = ParaSeed;
  PersonCount = ParaOptions.mPersons;
  ProgramCreate();
  ParaProgress.mCreated = true;
  ProgramStartup();

  TRunSummary summary;
  summary.mSeed = ParaSeed;
  const bool counting = ParaSummarise || (ParaWatcher != nullptr && ParaWatcher->WantsCounts());
  TEpidemicCounts counts;
  // Step 0 and every step after its clicks; ParaAfterCycle false for step 0.
  const auto observe = [&](int64_t ParaStep, bool ParaAfterCycle) {
    const bool over = Game->Over();
    // NextLevel is the only thing that restarts the disease's count, and every cycle of a
    // level counts at least 1, so a count of 0 after a cycle means a new level began in it.
    // After the game is lost the count runs on and may wrap, but no level begins any more.
    if (ParaAfterCycle && !over && Disease->mCycle == 0) {
      ++summary.mLevel;
      summary.mLevelEnds.push_back(ParaStep);
    }
    if (over && !summary.mOver) {
      summary.mOver = true;
      summary.mOverStep = ParaStep;
    }
    if (counting) {
      counts = CountPersons();
      counts.mStep = ParaStep;
      counts.mLevel = summary.mLevel;
      counts.mOver = over;
      if (counts.mInfected > summary.mPeakInfected) {
        summary.mPeakInfected = counts.mInfected;
        summary.mPeakInfectedStep = ParaStep;
      }
    }
    if (ParaWatcher != nullptr) {
      ParaWatcher->AfterStep(ParaStep, counts);
    }
  };

  TEventQueue<TSimSize> sizes(ParaOptions.mSizes);
  TEventQueue<TSimClick> clicks(ParaOptions.mClicks);
  sizes.RunStep(0, ApplySize);
  clicks.RunStep(0, ApplyClick);
  observe(0, false);
  int64_t step = 0;
  while (step < ParaOptions.mSteps && !(ParaOptions.mUntilGameOver && summary.mOver) &&
         !(ParaWatcher != nullptr && ParaWatcher->Stopped())) {
    ++step;
    ParaProgress.mStep = step;
    ProgramSimulationCycle();
    sizes.RunStep(step, ApplySize);
    ProgramDraw();
    clicks.RunStep(step, ApplyClick);
    observe(step, true);
  }
  summary.mSteps = step;
  summary.mEnd = counting ? counts : CountPersons();
  summary.mEnd.mStep = step;
  summary.mEnd.mLevel = summary.mLevel;
  summary.mEnd.mOver = summary.mOver;
  return summary;
}
