// Command line of the headless driver vantrel-sim: one seed or a sweep over many, population,
// field sizes and clicks scheduled by step, the number of steps, and which outputs go where.
// Parsing and the memory check of the population only; running the world is sim_run.cpp's
// business, a sweep sweep.cpp's.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/one_line_text.h"

struct TSimSize {
  int32_t mWidth = 0;
  int32_t mHeight = 0;
  int64_t mStep = 0;
};

struct TSimClick {
  char mButton = 'L'; // 'L' quarantines, 'R' infects
  int32_t mX = 0;
  int32_t mY = 0;
  int64_t mStep = 0;
};

struct TSimOptions {
  bool mHelp = false;    // --help: print kSimUsage and nothing else
  bool mVersion = false; // --version: print the version and nothing else
  uint32_t mSeed = 0;
  // --seeds A..B: one game per seed, A and B included (a sweep); otherwise one game, mSeed.
  bool mSweep = false;
  uint32_t mSeedFirst = 0;
  uint32_t mSeedLast = 0;
  int32_t mJobs = 0; // --jobs: games at once in a sweep; 0 = the cores available
  int32_t mPersons = 100;
  std::vector<TSimSize> mSizes;   // in command-line order
  std::vector<TSimClick> mClicks; // in command-line order
  int64_t mSteps = 0;
  bool mUntilGameOver = false; // stop at the step in which the game is lost
  int64_t mTraceEvery = 0;     // 0: no trace
  bool mNoState = false;       // leave out the final state block
  bool mQuiet = false;         // no progress line, even on a terminal
  std::string mPlotPath;       // empty: no plot; "-": standard output
  std::string mCsvPath;        // empty: no CSV; "-": standard output
  std::string mSummaryPath;    // empty: no summary (a sweep's goes to "-"); "-": standard output
  std::string mEventsPath;     // empty: none; else the sizes, draws and presses come from this log
  // Internal: a process of a sweep that reads seeds on standard input and answers each with its
  // summary row (see sweep.h). Never typed by a person.
  bool mSweepWorker = false;
};

// The option that makes a process a sweep's worker.
inline constexpr const char* kSweepWorkerOption = "--sweep-worker";

// The first step in which any level can end: nobody dies before the 420th cycle after falling
// ill, and before a death there is always someone living and infected once patient zero is.
inline constexpr int64_t kEarliestLevelEnd = 420;

// What --help prints: the synopsis and every option, one line each.
extern const char* const kSimUsage;

// Parses the arguments after the program name. On failure returns nothing and sets ParaError
// to a one-line message naming the argument. With --help anywhere among the option names the
// result is just mHelp, whatever else is there.
std::optional<TSimOptions> ParseSimOptions(const std::vector<std::string>& ParaArguments,
                                           std::string& ParaError);

// Memory that a run with a first population of ParaPersons can hold at once: the persons and
// the contact grid's copy of them, and, when ParaSteps reach kEarliestLevelEnd, the next,
// 1.2 times larger population built beside the old one at a level change.
uint64_t PopulationMemoryBytes(int32_t ParaPersons, int64_t ParaSteps);

// Empty when a run fits into ParaAvailableBytes, the memory available now (0: unknown, always
// fits); otherwise the one-line refusal naming --persons, the memory needed and the memory
// available, written with as many digits as it takes to show that they differ.
std::string CheckPopulationFits(int32_t ParaPersons, int64_t ParaSteps, uint64_t ParaAvailableBytes,
                                uint64_t ParaPhysicalBytes);

// "1.5 GB": bytes in decimal gigabytes (megabytes below one gigabyte), for messages, with
// ParaDecimals digits after the point.
std::string MemoryText(uint64_t ParaBytes, int ParaDecimals = 1);
