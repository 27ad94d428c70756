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
  int32_t mQuarantined = 0; // living and in quarantine: also counted as healthy or infected
  bool mOver = false;

  int64_t Persons() const { return int64_t{mHealthy} + mInfected + mDead + mBuried; }
};

// The four counts of the population as it is now; the caller fills in step, level and over.
TEpidemicCounts CountPersons();

// The samples that the picture keeps of a run of ParaSteps steps: about ParaTarget evenly
// spaced steps, the last step, and around every level change and the game over the step
// before and the step itself, so jumps stay vertical and no level change is lost. A run that
// may stop early (ParaEndKnown false) starts with every step and doubles its spacing whenever
// it holds twice the target, so it keeps between one and two times the target however long.
class TEpidemicCurve {
public:
  explicit TEpidemicCurve(int64_t ParaSteps, int64_t ParaTarget = 1000, bool ParaEndKnown = true);

  // Every step from 0 to the last, in order.
  void Add(const TEpidemicCounts& ParaCounts);
  // The run ended after the last step added (before ParaSteps, when it stopped early).
  void End();

  const std::vector<TEpidemicCounts>& Samples() const { return mSamples; }
  // Steps at which a new level started, and the step at which the game was lost (-1: never).
  const std::vector<int64_t>& LevelChanges() const { return mLevelChanges; }
  int64_t GameOverStep() const { return mGameOverStep; }
  int64_t Steps() const { return mSteps; }

private:
  void Keep(const TEpidemicCounts& ParaCounts, bool ParaPinned);
  void Compact();

  int64_t mSteps;
  int64_t mTarget;
  bool mEndKnown;
  int64_t mStride;
  std::vector<TEpidemicCounts> mSamples;
  std::vector<bool> mPinned; // kept for an event, whatever the spacing
  std::vector<int64_t> mLevelChanges;
  int64_t mGameOverStep = -1;
  TEpidemicCounts mPrevious;
  bool mHavePrevious = false;
};

// The whole picture: axes with steps and persons, the five series as lines, a legend, a
// dashed mark at every level change and a mark at the game over. ParaTitle and ParaDescription
// (what made the file: the <desc> element) are plain text.
std::string EpidemicCurveSvg(const TEpidemicCurve& ParaCurve, const std::string& ParaTitle,
                             const std::string& ParaDescription = "");

// Helpers of the SVG pictures (this curve, and a sweep's levels in run_summary.cpp): a
// coordinate with at most three decimals, text escaped for XML.
std::string SvgNumber(double ParaValue);
std::string SvgEscaped(const std::string& ParaText);

// The frame both pictures share, in pixels: the picture, and the plot area within its margins.
inline constexpr double kSvgWidth = 960;
inline constexpr double kSvgHeight = 540;
inline constexpr double kSvgLeft = 78;
inline constexpr double kSvgRight = 24;
inline constexpr double kSvgTop = 78;
inline constexpr double kSvgBottom = 58;
inline constexpr double kSvgPlotWidth = kSvgWidth - kSvgLeft - kSvgRight;
inline constexpr double kSvgPlotHeight = kSvgHeight - kSvgTop - kSvgBottom;

// The upright axis of a picture: counts from 0 to the first grid line above the largest count
// and some room, so the highest line or bar does not run along the frame; at most 8 grid
// intervals.
class TSvgCountAxis {
public:
  explicit TSvgCountAxis(int64_t ParaLargest);
  int64_t Top() const { return mTop; }
  double Y(int64_t ParaCount) const;
  // The grid's level lines across the plot, below its top.
  std::string GridLines() const;
  // The count of every grid line, left of the plot.
  std::string Labels() const;

private:
  int64_t mTick;
  int64_t mTop;
};

// The start of a picture: the svg element, its title and description (when there is one), the
// black ground and the title written above the plot.
std::string SvgOpening(const std::string& ParaTitle, const std::string& ParaDescription);
// The names of the axes, under the plot and turned beside it.
std::string SvgAxisNames(const char* ParaAcross, const char* ParaUp);

extern const char* const kEpidemicCsvHeader;
// One CSV row, newline included.
std::string EpidemicCsvRow(const TEpidemicCounts& ParaCounts);
