// One game of vantrel-sim: the world created with the command line's seed and population, run
// step by step (cycle, sizes, paint against the do-nothing OpenGL table, clicks), watched after
// every step, and summed up. Several games run one after another in one process: each starts
// from the same globals as a fresh process.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/vantrel-sim/epidemic_curve.h"
#include "tools/vantrel-sim/event_log.h"
#include "tools/vantrel-sim/run_summary.h"
#include "tools/vantrel-sim/sim_options.h"

// What a caller sees of a game while it runs.
class TRunWatcher {
public:
  // Whether AfterStep needs the population's counts (a pass over every person) every step.
  virtual bool WantsCounts() const { return false; }
  // After step ParaStep (0: after the events before the first cycle). ParaCounts (with step,
  // level and game over) whenever the game counted this step: always when WantsCounts() says
  // so, otherwise null unless the summary needed them.
  virtual void AfterStep(int64_t ParaStep, const TEpidemicCounts* ParaCounts) = 0;
  // True ends the game after the current step: nothing more can be written (a reader of the
  // trace went away, the disk is full), so running on would only waste the time.
  virtual bool Stopped() const { return false; }

protected:
  ~TRunWatcher() = default;
};

// How far a game got, for the messages of a failed allocation.
struct TRunProgress {
  bool mCreated = false; // the first population exists
  int64_t mStep = 0;
};

// Runs one game of ParaOptions with RandSeed := ParaSeed and leaves its world for the caller
// to read (ProgramDestroy frees it, and the next RunGame does too). Counts every step for the
// summary when ParaSummarise is set. With ParaEventLog the sizes, paints and presses are the
// log's (vantrel-sim --events) instead of the command line's. Throws std::bad_alloc when a
// population cannot be had; ParaProgress then says where.
TRunSummary RunGame(const TSimOptions& ParaOptions, uint32_t ParaSeed, bool ParaSummarise,
                    TRunWatcher* ParaWatcher, TRunProgress& ParaProgress,
                    const std::vector<TLoggedEvent>* ParaEventLog = nullptr);
