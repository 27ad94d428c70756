// One game; see sim_run.h.
#include "tools/vantrel-sim/sim_run.h"

#include <algorithm>
#include <vector>

#include "opengl/opengl_api_do_nothing_table.h"
#include "runtime/random.h"
#include "simulation/Unit_TDisease.h"
#include "simulation/Unit_TField.h"
#include "simulation/Unit_TGame.h"
#include "simulation/Unit_THumanity.h"
#include "simulation/Unit_TProgram.h"

namespace {

// Events of one kind, walked in step order (kStep names the member that holds an event's
// step); events of the same step keep their order. A log is in order already and stays so.
template <typename TEvent, int64_t TEvent::*kStep> class TEventQueue {
public:
  explicit TEventQueue(std::vector<TEvent> ParaEvents) : mEvents(std::move(ParaEvents)) {
    std::stable_sort(mEvents.begin(), mEvents.end(),
                     [](const TEvent& a, const TEvent& b) { return a.*kStep < b.*kStep; });
  }

  // Applies the events of step ParaStep; steps come in ascending order, and events of a step
  // that was never asked for are skipped.
  template <typename TApply> void RunStep(int64_t ParaStep, TApply ParaApply) {
    while (mNext < mEvents.size() && mEvents[mNext].*kStep <= ParaStep) {
      if (mEvents[mNext].*kStep == ParaStep) {
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

// A press of button 'L' quarantines, of 'R' infects; any other reaches the world and does
// nothing there (the log's middle presses).
void Press(char ParaButton, int32_t ParaX, int32_t ParaY) {
  if (ParaButton == 'L') {
    ProgramQuarantine(ParaX, ParaY);
  } else if (ParaButton == 'R') {
    ProgramInfect(ParaX, ParaY);
  }
}

void ApplyClick(const TSimClick& ParaClick) {
  Press(ParaClick.mButton, ParaClick.mX, ParaClick.mY);
}

// The game's paint against the do-nothing table, less the persons: drawing a person shows
// nothing here and takes no random numbers, while the game-over overlay takes three per paint,
// in the same place among the cycle's draws. The field and the overlay still go through the
// table, in the game's order.
void PaintWithoutPersons() {
  Field->Draw();
  Game->Draw();
}

// A line of the trace game's log, as the game made it: its count k says it came right after
// cycle k.
void ApplyLogged(const TLoggedEvent& ParaEvent) {
  switch (ParaEvent.mKind) {
  case TLoggedEventKind::Size:
    ProgramSetFieldSize(ParaEvent.mFirst, ParaEvent.mSecond);
    break;
  case TLoggedEventKind::Draw:
    PaintWithoutPersons();
    break;
  case TLoggedEventKind::Press:
    Press(ParaEvent.mButton, ParaEvent.mFirst, ParaEvent.mSecond);
    break;
  }
}

} // namespace

TRunSummary RunGame(const TSimOptions& ParaOptions, uint32_t ParaSeed, bool ParaSummarise,
                    TRunWatcher* ParaWatcher, TRunProgress& ParaProgress,
                    const std::vector<TLoggedEvent>* ParaEventLog) {
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
      ParaWatcher->AfterStep(ParaStep, counting ? &counts : nullptr);
    }
  };

  TEventQueue<TSimSize, &TSimSize::mStep> sizes(ParaOptions.mSizes);
  TEventQueue<TSimClick, &TSimClick::mStep> clicks(ParaOptions.mClicks);
  TEventQueue<TLoggedEvent, &TLoggedEvent::mCycles> logged(
      ParaEventLog != nullptr ? *ParaEventLog : std::vector<TLoggedEvent>());
  // What the game's window did after ParaStep cycles (0: before the first): the paint with its
  // sizes and the clicks after it, or with a log exactly the log's lines.
  const auto paintAndInput = [&](int64_t ParaStep) {
    if (ParaEventLog != nullptr) {
      logged.RunStep(ParaStep, ApplyLogged);
      return;
    }
    sizes.RunStep(ParaStep, ApplySize);
    if (ParaStep > 0) {
      PaintWithoutPersons();
    }
    clicks.RunStep(ParaStep, ApplyClick);
  };
  paintAndInput(0);
  observe(0, false);
  int64_t step = 0;
  while (step < ParaOptions.mSteps && !(ParaOptions.mUntilGameOver && summary.mOver) &&
         !(ParaWatcher != nullptr && ParaWatcher->Stopped())) {
    ++step;
    ParaProgress.mStep = step;
    ProgramSimulationCycle();
    paintAndInput(step);
    observe(step, true);
  }
  summary.mSteps = step;
  summary.mEnd = counting ? counts : CountPersons();
  summary.mEnd.mStep = step;
  summary.mEnd.mLevel = summary.mLevel;
  summary.mEnd.mOver = summary.mOver;
  return summary;
}
