// Command line of the headless driver vantrel-sim: seed, population, field sizes and clicks
// scheduled by step, the number of steps and the trace interval. Parsing only; running the
// world is vantrel_sim.cpp's business.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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
  uint32_t mSeed = 0;
  int32_t mPersons = 100;
  std::vector<TSimSize> mSizes;   // in command-line order
  std::vector<TSimClick> mClicks; // in command-line order
  int64_t mSteps = 0;
  int64_t mTraceEvery = 0; // 0: no trace
};

// Parses the arguments after the program name. On failure returns nothing and sets ParaError
// to a one-line message naming the argument.
std::optional<TSimOptions> ParseSimOptions(const std::vector<std::string>& ParaArguments,
                                           std::string& ParaError);
