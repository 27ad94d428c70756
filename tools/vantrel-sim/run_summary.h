// One game in one row: what a sweep writes per seed (--summary), the row's CSV text and its
// reading back, and the picture of a sweep: how many games ended at each level.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tools/vantrel-sim/epidemic_curve.h"

struct TRunSummary {
  uint32_t mSeed = 0;
  int64_t mSteps = 0;              // steps run
  int32_t mLevel = 1;              // reached; 1 is the first population
  std::vector<int64_t> mLevelEnds; // steps whose cycle ended a level with survivors
  bool mOver = false;
  int64_t mOverStep = -1;
  int32_t mPeakInfected = 0; // most living infected after any step, step 0 included
  int64_t mPeakInfectedStep = 0;
  TEpidemicCounts mEnd; // the counts after the last step
};

extern const char* const kSummaryCsvHeader;
// The row, newline included.
std::string SummaryCsvRow(const TRunSummary& ParaSummary);
// A row as SummaryCsvRow wrote it (without its newline); false for anything else.
bool ParseSummaryCsvRow(std::string_view ParaRow, TRunSummary& ParaSummary);

// Per level: the games that ended there lost, and those still playing it when their steps ran
// out. ParaTitle and ParaDescription as for EpidemicCurveSvg.
std::string SweepLevelsSvg(const std::vector<TRunSummary>& ParaRuns, const std::string& ParaTitle,
                           const std::string& ParaDescription);
