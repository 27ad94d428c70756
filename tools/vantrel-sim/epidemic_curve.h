// The epidemic curve of a vantrel-sim run: per step the healthy, the infected (living), the
// dead not yet buried and the buried, with the level changes and the game over. Collects the
// counts, thins them for the SVG picture and writes it; the CSV rows go out as the run goes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct TEpidemicCounts {
  int64_t mStep = 0;
  int32_t mLevel = 1; // 1 for the first population, one more at every level change
  int32_t mHealthy = 0;
  int32_t mInfected = 0;
  int32_t mDead = 0; // dead and not yet buried
  int32_t mBuried = 0;
  bool mOver = false;

  int64_t Persons() const { return int64_t{mHealthy} + mInfected + mDead + mBuried; }
};

// The four counts of the population as it is now; the caller fills in step, level and over.
TEpidemicCounts CountPersons();

// The samples that the picture keeps of a run of ParaSteps steps: about ParaTarget evenly
// spaced steps, the last step, and around every level change and the game over the step
// before and the step itself, so jumps stay vertical and no level change is lost.
class TEpidemicCurve {
public:
  explicit TEpidemicCurve(int64_t ParaSteps, int64_t ParaTarget = 1000);

  // Every step from 0 to the last, in order.
  void Add(const TEpidemicCounts& ParaCounts);

  const std::vector<TEpidemicCounts>& Samples() const { return mSamples; }
  // Steps at which a new level started, and the step at which the game was lost (-1: never).
  const std::vector<int64_t>& LevelChanges() const { return mLevelChanges; }
  int64_t GameOverStep() const { return mGameOverStep; }
  int64_t Steps() const { return mSteps; }

private:
  void Keep(const TEpidemicCounts& ParaCounts);

  int64_t mSteps;
  int64_t mStride;
  std::vector<TEpidemicCounts> mSamples;
  std::vector<int64_t> mLevelChanges;
  int64_t mGameOverStep = -1;
  TEpidemicCounts mPrevious;
  bool mHavePrevious = false;
};

// The whole picture: axes with steps and persons, the four series as lines, a legend, a
// dashed mark at every level change and a mark at the game over. ParaTitle is plain text.
std::string EpidemicCurveSvg(const TEpidemicCurve& ParaCurve, const std::string& ParaTitle);

extern const char* const kEpidemicCsvHeader;
// One CSV row, newline included.
std::string EpidemicCsvRow(const TEpidemicCounts& ParaCounts);
