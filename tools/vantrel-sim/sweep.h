// A sweep: one game per seed of --seeds A..B, each the same game as vantrel-sim --seed S, its
// summary rows written in seed order whatever finished first. The world is one set of globals
// per process, so games run at once only in separate processes: workers of this program
// (--sweep-worker) that read a seed per line and answer with its row. One job runs in-process.
#pragma once

#include <string>
#include <vector>

#include "platform/output_file.h"
#include "tools/vantrel-sim/run_summary.h"
#include "tools/vantrel-sim/sim_options.h"

// The games at once: --jobs, or the cores available, never more than the seeds.
int SweepJobs(const TSimOptions& ParaOptions);

// Runs the sweep, writing the header and the rows to ParaSummary and keeping every game's
// summary in ParaRuns (for the picture). ParaArguments are the command line's (for the
// workers). 0 on success; otherwise ParaError is the one-line reason and the exit code is 1.
int RunSweep(const TSimOptions& ParaOptions, const std::vector<std::string>& ParaArguments,
             TOutputFile& ParaSummary, std::vector<TRunSummary>& ParaRuns, std::string& ParaError);

// The worker's side: a seed per line on standard input, its row (without header) on standard
// output, until standard input ends. The exit code.
int RunSweepWorker(const TSimOptions& ParaOptions);
