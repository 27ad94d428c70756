// Command line of the game's trace build (VantrelGame-trace): --seed S --cycles N --dump FILE,
// each exactly once, and at most one --events FILE. The shipped game takes no command line;
// only this test build does.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TTraceOptions {
  uint32_t mSeed = 0;
  int64_t mCycles = 0; // at least 1
  std::string mDump;   // the file the world's state is written to
  std::string mEvents; // empty: no event log; else the file it is written to
};

// Parses the arguments after the program name; raises std::invalid_argument with a one-line
// message naming the argument when they are not the options above. Names and values appear in
// the message as given, with their control characters escaped.
TTraceOptions ParseTraceOptions(const std::vector<std::string>& ParaArguments);
