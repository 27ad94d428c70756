// vantrel-sim: the game without a window. Runs the world cycle by cycle without pacing, applies
// field sizes and clicks at the steps the command line names, paints every step against a
// do-nothing OpenGL table (the game-over overlay draws random numbers; the persons, which draw
// none, are left out), and prints the world; or replays the sizes, paints and presses of the
// trace game's event log (event_log.h).
// On request it writes the epidemic curve (SVG), its counts (CSV) and a summary row, and runs
// a sweep of many seeds at once. Every output is written whole or not at all (output_file.h).
#include <cstdio>
#include <exception>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "platform/output_file.h"
#include "platform/platform_memory.h"
#include "platform/platform_process.h"
#include "runtime/random.h"
#include "simulation/Unit_THumanity.h"
#include "simulation/Unit_TPerson.h"
#include "simulation/Unit_TProgram.h"
#include "simulation/world_state.h"
#include "tools/vantrel-sim/epidemic_curve.h"
#include "tools/vantrel-sim/progress.h"
#include "tools/vantrel-sim/run_summary.h"
#include "tools/vantrel-sim/sim_options.h"
#include "tools/vantrel-sim/sim_run.h"
#include "tools/vantrel-sim/sweep.h"

namespace {

const char* const kVersion = "vantrel-sim " VANTREL_VERSION;

void Fail(const std::string& ParaLine) {
  std::fprintf(stderr, "vantrel-sim: %s\n", ParaLine.c_str());
}

// The command line as a shell would take it back: words quoted where they need it.
std::string CommandLine(const std::vector<std::string>& ParaArguments) {
  std::string line = "vantrel-sim";
  for (const std::string& word : ParaArguments) {
    line += ' ';
    const bool plain = !word.empty() &&
                       word.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                              "0123456789-_.,/@:=+") == std::string::npos;
    if (plain) {
      line += word;
      continue;
    }
    line += '\'';
    for (const char c : word) {
      line += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    line += '\'';
  }
  return EscapeForOneLine(line);
}

std::string Description(const std::vector<std::string>& ParaArguments) {
  return std::string("Made by ") + kVersion + ": " + CommandLine(ParaArguments);
}

class TStateSink final : public TWorldStateSink {
public:
  explicit TStateSink(TOutputFile& ParaOutput) : mOutput(ParaOutput) {}
  void Write(std::string_view ParaText) override { mOutput.Write(ParaText); }

private:
  TOutputFile& mOutput;
};

// What one game writes while it runs: trace lines, CSV rows, the curve, the progress line.
class TSingleRunWatcher final : public TRunWatcher {
public:
  TSingleRunWatcher(const TSimOptions& ParaOptions, TOutputFile* ParaText, TOutputFile* ParaCsv,
                    TEpidemicCurve* ParaCurve)
      : mOptions(ParaOptions), mText(ParaText), mCsv(ParaCsv), mCurve(ParaCurve),
        mProgress(!ParaOptions.mQuiet && PlatformStandardErrorIsTerminal(), "steps",
                  ParaOptions.mSteps) {}

  bool WantsCounts() const override { return mCsv != nullptr || mCurve != nullptr; }

  void AfterStep(int64_t ParaStep, const TEpidemicCounts* ParaCounts) override {
    if (ParaStep > 0 && mOptions.mTraceEvery > 0 && ParaStep % mOptions.mTraceEvery == 0) {
      // Infected and alive are the living infected and healthy; the game's own counts when it
      // made them, so the population is walked once.
      const TEpidemicCounts counts = ParaCounts != nullptr ? *ParaCounts : CountPersons();
      char line[160];
      const int length = std::snprintf(
          line, sizeof line, "step=%lld persons=%zu infected=%d alive=%d dead=%d seed=%u\n",
          static_cast<long long>(ParaStep), Persons.size(), counts.mInfected, counts.mHealthy,
          counts.mDead + counts.mBuried, RandSeed);
      mText->Write(std::string_view(line, static_cast<std::size_t>(length)));
      // Each line leaves at once: a terminal or a pipe sees the run advance.
      std::string ignored; // a failure stays recorded and ends the run's report
      mText->Flush(ignored);
    }
    if (mCsv != nullptr) {
      mCsv->Write(EpidemicCsvRow(*ParaCounts));
    }
    if (mCurve != nullptr) {
      mCurve->Add(*ParaCounts);
    }
    mProgress.Update(ParaStep);
  }

  bool Stopped() const override {
    return (mText != nullptr && mText->Failed()) || (mCsv != nullptr && mCsv->Failed());
  }

  void EndProgress() { mProgress.End(); }

private:
  const TSimOptions& mOptions;
  TOutputFile* mText;
  TOutputFile* mCsv;
  TEpidemicCurve* mCurve;
  TProgress mProgress;
};

std::string PlotTitle(const TSimOptions& ParaOptions, int64_t ParaSteps) {
  if (ParaOptions.mSweep) {
    return "Levels reached: seeds " + std::to_string(ParaOptions.mSeedFirst) + ".." +
           std::to_string(ParaOptions.mSeedLast) + ", " + std::to_string(ParaOptions.mPersons) +
           " persons at the start, " + std::to_string(ParaOptions.mSteps) + " steps" +
           (ParaOptions.mUntilGameOver ? " or until the game is lost" : "");
  }
  return "Epidemic curve: seed " + std::to_string(ParaOptions.mSeed) + ", " +
         std::to_string(ParaOptions.mPersons) + " persons at the start, " +
         std::to_string(ParaSteps) + " steps";
}

// The population of the command line against the memory available now. Exit code 2 when it
// cannot fit: it is the argument that is wrong, not the run.
bool PopulationFits(const TSimOptions& ParaOptions) {
  const std::string refusal =
      CheckPopulationFits(ParaOptions.mPersons, ParaOptions.mSteps, PlatformAvailableMemoryBytes(),
                          PlatformPhysicalMemoryBytes());
  if (!refusal.empty()) {
    Fail(refusal);
    return false;
  }
  return true;
}

// Reports a population that could not be allocated; the exit code.
int OutOfMemory(const TSimOptions& ParaOptions, const TRunProgress& ParaProgress) {
  if (!ParaProgress.mCreated) {
    Fail("--persons " + std::to_string(ParaOptions.mPersons) +
         ": cannot allocate the population (a run needs about " +
         MemoryText(PopulationMemoryBytes(ParaOptions.mPersons, ParaOptions.mSteps)) +
         " of memory)");
    return 2;
  }
  // A later level, 1.2 times larger each time, outgrew the memory.
  Fail("out of memory in step " + std::to_string(ParaProgress.mStep) + ": the next level's " +
       std::to_string(PersonCount) + " persons cannot be allocated");
  return 1;
}

int Run(const TSimOptions& ParaOptions, const std::vector<std::string>& ParaArguments) {
  if (ParaOptions.mSweep && ParaOptions.mJobs > 1 && !PlatformCanStartWorkers()) {
    Fail("--jobs " + std::to_string(ParaOptions.mJobs) +
         ": this build runs one game at a time (no worker processes on this system)");
    return 2;
  }
  // A log that cannot be replayed is refused before any output is touched.
  std::optional<std::vector<TLoggedEvent>> eventLog;
  if (!ParaOptions.mEventsPath.empty()) {
    std::string error;
    eventLog = ReadEventLog(ParaOptions.mEventsPath, error);
    if (!eventLog) {
      Fail(error);
      return 2;
    }
  }
  // Every output, checked against the others before anything is written.
  std::unique_ptr<TOutputFile> text; // the trace lines and the state block
  if (!ParaOptions.mSweep && (!ParaOptions.mNoState || ParaOptions.mTraceEvery > 0)) {
    text = TOutputFile::StandardOutput(ParaOptions.mNoState ? "the trace" : "the state block");
  }
  const auto named = [](const char* ParaOption, const std::string& ParaPath) {
    return ParaPath.empty() ? nullptr : std::make_unique<TOutputFile>(ParaOption, ParaPath, true);
  };
  auto plot = named("--plot", ParaOptions.mPlotPath);
  auto csv = named("--csv", ParaOptions.mCsvPath);
  auto summary = named("--summary", ParaOptions.mSummaryPath);
  std::vector<TOutputFile*> outputs;
  for (TOutputFile* output : {text.get(), csv.get(), summary.get(), plot.get()}) {
    if (output != nullptr) {
      outputs.push_back(output);
    }
  }
  std::string error;
  if (!OpenOutputs(outputs, error)) {
    Fail(error);
    return 2;
  }
  if (!PopulationFits(ParaOptions)) {
    return 2;
  }

  if (ParaOptions.mSweep) {
    std::vector<TRunSummary> runs;
    if (RunSweep(ParaOptions, ParaArguments, *summary, runs, error) != 0) {
      Fail(error);
      return 1;
    }
    if (plot) {
      plot->Write(SweepLevelsSvg(runs, PlotTitle(ParaOptions, ParaOptions.mSteps),
                                 Description(ParaArguments)));
    }
  } else {
    std::unique_ptr<TEpidemicCurve> curve;
    if (plot) {
      curve =
          std::make_unique<TEpidemicCurve>(ParaOptions.mSteps, 1000, !ParaOptions.mUntilGameOver);
    }
    if (csv) {
      csv->Write(kEpidemicCsvHeader);
    }
    TSingleRunWatcher watcher(ParaOptions, text.get(), csv.get(), curve.get());
    TRunProgress progress;
    TRunSummary result;
    try {
      result = RunGame(ParaOptions, ParaOptions.mSeed, summary != nullptr, &watcher, progress,
                       eventLog ? &*eventLog : nullptr);
    } catch (const std::bad_alloc&) {
      watcher.EndProgress();
      if (text) {
        text->Flush(error); // the trace so far
      }
      ProgramDestroy();
      return OutOfMemory(ParaOptions, progress);
    }
    watcher.EndProgress();
    // A run that stopped because an output failed has no state to show: it ends in its error.
    if (text && !ParaOptions.mNoState && !watcher.Stopped()) {
      TStateSink sink(*text);
      WriteWorldState(result.mSteps, sink);
    }
    ProgramDestroy();
    if (summary) {
      summary->Write(kSummaryCsvHeader);
      summary->Write(SummaryCsvRow(result));
    }
    if (curve) {
      curve->End();
      plot->Write(EpidemicCurveSvg(*curve, PlotTitle(ParaOptions, result.mSteps),
                                   Description(ParaArguments)));
    }
  }
  // Standard output first: when it fails, no file replaces what was there.
  if (!FinishAndCommitOutputs(outputs, error)) {
    Fail(error);
    return 1;
  }
  return 0;
}

} // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  std::string error;
  const auto options = ParseSimOptions(arguments, error);
  if (!options) {
    Fail(error);
    return 2;
  }
  if (options->mHelp || options->mVersion) {
    auto output = TOutputFile::StandardOutput("the text");
    output->Open(error);
    output->Write(options->mHelp ? std::string(kSimUsage) : std::string(kVersion) + "\n");
    if (!output->Finish(error)) {
      Fail(error);
      return 1;
    }
    return 0;
  }
  try {
    if (options->mSweepWorker) {
      return RunSweepWorker(*options);
    }
    return Run(*options, arguments);
  } catch (const std::exception& e) {
    Fail(e.what());
    return 1;
  }
}
