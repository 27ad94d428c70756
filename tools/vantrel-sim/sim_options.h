// Command line of the headless driver vantrel-sim: seed, population, field sizes and clicks
// scheduled by step, the number of steps, the trace interval and the files written after the
// run. Parsing and the memory check of the population only; running the world is
// vantrel_sim.cpp's business.
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
  bool mHelp = false; // --help: print kSimUsage and nothing else
  uint32_t mSeed = 0;
  int32_t mPersons = 100;
  std::vector<TSimSize> mSizes;   // in command-line order
  std::vector<TSimClick> mClicks; // in command-line order
  int64_t mSteps = 0;
  int64_t mTraceEvery = 0; // 0: no trace
  std::string mPlotPath;   // empty: no plot
  std::string mCsvPath;    // empty: no CSV
};

// What --help prints: the synopsis and every option, one line each.
extern const char* const kSimUsage;

// Parses the arguments after the program name. On failure returns nothing and sets ParaError
// to a one-line message naming the argument. With --help anywhere among the option names the
// result is just mHelp, whatever else is there.
std::optional<TSimOptions> ParseSimOptions(const std::vector<std::string>& ParaArguments,
                                           std::string& ParaError);

// Memory that a run with a first population of ParaPersons can hold at once: the persons, the
// contact grid's copy of them, and at a level change the next, 1.2 times larger population
// built beside the old one.
uint64_t PopulationMemoryBytes(int32_t ParaPersons);

// Empty when a run with ParaPersons fits into ParaPhysicalBytes of physical memory (0: unknown,
// always fits); otherwise the one-line refusal naming --persons and both sizes.
std::string CheckPopulationFits(int32_t ParaPersons, uint64_t ParaPhysicalBytes);

// "1.5 GB": bytes in decimal gigabytes (megabytes below one gigabyte), for messages.
std::string MemoryText(uint64_t ParaBytes);
