// vantrel-sim: the game without a window. Runs the world cycle by cycle without pacing, applies
// field sizes and clicks at the steps the command line names, paints every step against a
// do-nothing OpenGL table (the game-over overlay draws random numbers; the persons, which draw
// none, are left out), and prints the world; or replays the sizes, paints and presses of the
// trace game's event log (event_log.h).
// On request it also writes the epidemic curve (SVG) and its counts (CSV) to files.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "opengl/opengl_api_do_nothing_table.h"
#include "platform/platform_memory.h"
#include "runtime/random.h"
#include "simulation/Unit_TDisease.h"
#include "simulation/Unit_TField.h"
#include "simulation/Unit_TGame.h"
#include "simulation/Unit_THumanity.h"
#include "simulation/Unit_TPerson.h"
#include "simulation/Unit_TProgram.h"
#include "simulation/world_state.h"
#include "tools/vantrel-sim/epidemic_curve.h"
#include "tools/vantrel-sim/event_log.h"
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

// The game's paint against the do-nothing table, less the persons: drawing a person shows
// nothing here and takes no random numbers, while the game-over overlay takes three per paint,
// in the same place among the cycle's draws. The field and the overlay still go through the
// table, in the game's order.
void PaintWithoutPersons() {
  Field->Draw();
  Game->Draw();
}

void PrintTrace(int64_t ParaStep) {
  // One pass over the population: infected and alive are the living infected and healthy.
  const TEpidemicCounts counts = CountPersons();
  std::printf("step=%lld persons=%zu infected=%d alive=%d dead=%d seed=%u\n",
              static_cast<long long>(ParaStep), Persons.size(), counts.mInfected, counts.mHealthy,
              counts.mDead + counts.mBuried, RandSeed);
}

void PrintState(int64_t ParaSteps) {
  const std::string state = WorldStateText(ParaSteps);
  std::fwrite(state.data(), 1, state.size(), stdout);
}

// An output file named on the command line. Opened before the run, so a bad name costs no
// simulation; closed with its errors checked, so a full disk is not reported as success.
class TOutputFile {
public:
  TOutputFile(const char* ParaOption, const std::string& ParaPath)
      : mOption(ParaOption), mPath(ParaPath) {}
  ~TOutputFile() {
    if (mFile != nullptr) {
      std::fclose(mFile);
    }
  }
  TOutputFile(const TOutputFile&) = delete;
  TOutputFile& operator=(const TOutputFile&) = delete;

  bool Open(std::string& ParaError) {
    mFile = std::fopen(mPath.c_str(), "wb");
    if (mFile == nullptr) {
      ParaError = Describe("cannot write", errno);
      return false;
    }
    return true;
  }
  void Write(const std::string& ParaText) {
    if (std::fwrite(ParaText.data(), 1, ParaText.size(), mFile) != ParaText.size() && mErrno == 0) {
      mErrno = errno != 0 ? errno : EIO;
    }
  }
  bool Close(std::string& ParaError) {
    const bool failed = std::ferror(mFile) != 0;
    const int closed = std::fclose(mFile);
    mFile = nullptr;
    if (failed || closed != 0) {
      ParaError = Describe("could not write", mErrno != 0 ? mErrno : (errno != 0 ? errno : EIO));
      return false;
    }
    return true;
  }

private:
  std::string Describe(const char* ParaWhat, int ParaErrno) const {
    return std::string(ParaWhat) + " the " + mOption + " file '" + EscapeForOneLine(mPath) +
           "': " + std::strerror(ParaErrno);
  }

  const char* mOption;
  std::string mPath;
  std::FILE* mFile = nullptr;
  int mErrno = 0;
};

// What --plot and --csv ask for, fed once per step after the step's clicks, when the trace
// line would be printed. Absent when neither is asked for, so a plain run pays nothing.
class TCurveRecorder {
public:
  explicit TCurveRecorder(const TSimOptions& ParaOptions) : mCurve(ParaOptions.mSteps) {
    if (!ParaOptions.mPlotPath.empty()) {
      mPlot = std::make_unique<TOutputFile>("--plot", ParaOptions.mPlotPath);
    }
    if (!ParaOptions.mCsvPath.empty()) {
      mCsv = std::make_unique<TOutputFile>("--csv", ParaOptions.mCsvPath);
    }
  }

  bool Open(std::string& ParaError) {
    if ((mPlot && !mPlot->Open(ParaError)) || (mCsv && !mCsv->Open(ParaError))) {
      return false;
    }
    if (mCsv) {
      mCsv->Write(kEpidemicCsvHeader);
    }
    return true;
  }

  void Record(int64_t ParaStep, bool ParaAfterCycle) {
    // NextLevel is the only thing that restarts the disease's count, and every cycle of a
    // level counts at least 1, so a count of 0 after a cycle means a new level began in it.
    // After the game is lost the count runs on and may wrap, but no level begins any more.
    if (ParaAfterCycle && !Game->Over() && Disease->mCycle == 0) {
      ++mLevel;
    }
    TEpidemicCounts counts = CountPersons();
    counts.mStep = ParaStep;
    counts.mLevel = mLevel;
    counts.mOver = Game->Over();
    if (mPlot) {
      mCurve.Add(counts);
    }
    if (mCsv) {
      mCsv->Write(EpidemicCsvRow(counts));
    }
  }

  bool Finish(const std::string& ParaTitle, std::string& ParaError) {
    bool ok = true;
    if (mPlot) {
      mPlot->Write(EpidemicCurveSvg(mCurve, ParaTitle));
      ok = mPlot->Close(ParaError);
    }
    if (mCsv) {
      std::string error;
      if (!mCsv->Close(error) && ok) {
        ParaError = error;
        ok = false;
      }
    }
    return ok;
  }

private:
  TEpidemicCurve mCurve;
  int32_t mLevel = 1;
  std::unique_ptr<TOutputFile> mPlot;
  std::unique_ptr<TOutputFile> mCsv;
};

std::string PlotTitle(const TSimOptions& ParaOptions) {
  return "Epidemic curve: seed " + std::to_string(ParaOptions.mSeed) + ", " +
         std::to_string(ParaOptions.mPersons) + " persons at the start, " +
         std::to_string(ParaOptions.mSteps) + " steps";
}

// The population of the command line, checked against the machine first. Exit code 2 when it
// cannot be had: it is the argument that is wrong, not the run.
int CreateWorld(const TSimOptions& ParaOptions) {
  const std::string refusal =
      CheckPopulationFits(ParaOptions.mPersons, PlatformPhysicalMemoryBytes());
  if (!refusal.empty()) {
    std::fprintf(stderr, "vantrel-sim: %s\n", refusal.c_str());
    return 2;
  }
  PersonCount = ParaOptions.mPersons;
  try {
    ProgramCreate();
  } catch (const std::bad_alloc&) {
    ProgramDestroy();
    std::fprintf(stderr,
                 "vantrel-sim: --persons %d: cannot allocate the population (a run needs "
                 "about %s of memory)\n",
                 ParaOptions.mPersons,
                 MemoryText(PopulationMemoryBytes(ParaOptions.mPersons)).c_str());
    return 2;
  }
  return 0;
}

int Run(const TSimOptions& ParaOptions) {
  // A log that cannot be replayed is refused before any output file is touched.
  std::optional<TEventReplay> replay;
  if (!ParaOptions.mEventsPath.empty()) {
    std::string error;
    auto events = ReadEventLog(ParaOptions.mEventsPath, error);
    if (!events) {
      std::fprintf(stderr, "vantrel-sim: %s\n", error.c_str());
      return 2;
    }
    replay.emplace(std::move(*events));
  }
  std::unique_ptr<TCurveRecorder> recorder;
  if (!ParaOptions.mPlotPath.empty() || !ParaOptions.mCsvPath.empty()) {
    recorder = std::make_unique<TCurveRecorder>(ParaOptions);
    std::string error;
    if (!recorder->Open(error)) {
      std::fprintf(stderr, "vantrel-sim: %s\n", error.c_str());
      return 2;
    }
  }
  InstallDoNothingOpenGLTable();
  RandSeed = ParaOptions.mSeed;
  if (const int failed = CreateWorld(ParaOptions); failed != 0) {
    return failed;
  }
  ProgramStartup();

  TEventQueue<TSimSize> sizes(ParaOptions.mSizes);
  TEventQueue<TSimClick> clicks(ParaOptions.mClicks);
  // Step 0: before the first cycle. With a log, its events are the whole paint and input.
  const auto events = [&](int64_t ParaStep) {
    if (replay) {
      replay->RunStep(ParaStep, PaintWithoutPersons);
      return;
    }
    sizes.RunStep(ParaStep, ApplySize);
    if (ParaStep > 0) {
      PaintWithoutPersons();
    }
    clicks.RunStep(ParaStep, ApplyClick);
  };
  events(0);
  if (recorder) {
    recorder->Record(0, false);
  }
  int64_t step = 1;
  try {
    for (; step <= ParaOptions.mSteps; ++step) {
      ProgramSimulationCycle();
      events(step);
      if (ParaOptions.mTraceEvery > 0 && step % ParaOptions.mTraceEvery == 0) {
        PrintTrace(step);
      }
      if (recorder) {
        recorder->Record(step, true);
      }
    }
  } catch (const std::bad_alloc&) {
    // A later level, 1.2 times larger each time, outgrew the memory.
    std::fflush(stdout);
    std::fprintf(stderr,
                 "vantrel-sim: out of memory in step %lld: the next level's %d persons "
                 "cannot be allocated\n",
                 static_cast<long long>(step), PersonCount);
    ProgramDestroy();
    return 1;
  }
  PrintState(ParaOptions.mSteps);
  ProgramDestroy();
  if (recorder) {
    std::fflush(stdout);
    std::string error;
    if (!recorder->Finish(PlotTitle(ParaOptions), error)) {
      std::fprintf(stderr, "vantrel-sim: %s\n", error.c_str());
      return 1;
    }
  }
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
  if (options->mHelp) {
    std::fputs(kSimUsage, stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
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
