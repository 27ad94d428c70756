// The epidemic curve's samples: short runs keep every step, long runs are thinned to about
// the target, and the steps around a level change or the game over are never thinned away.
#include "tools/vantrel-sim/epidemic_curve.h"
#include "tools/vantrel-sim/run_summary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

TEpidemicCounts At(int64_t ParaStep, int32_t ParaLevel = 1, bool ParaOver = false) {
  TEpidemicCounts counts;
  counts.mStep = ParaStep;
  counts.mLevel = ParaLevel;
  counts.mHealthy = static_cast<int32_t>(ParaStep % 97);
  counts.mOver = ParaOver;
  return counts;
}

std::vector<int64_t> Steps(const TEpidemicCurve& ParaCurve) {
  std::vector<int64_t> steps;
  for (const auto& sample : ParaCurve.Samples()) {
    steps.push_back(sample.mStep);
  }
  return steps;
}

bool Has(const std::vector<int64_t>& ParaSteps, int64_t ParaStep) {
  return std::find(ParaSteps.begin(), ParaSteps.end(), ParaStep) != ParaSteps.end();
}

} // namespace

TEST(EpidemicCurve, AShortRunKeepsEveryStep) {
  TEpidemicCurve curve(100, 1000);
  for (int64_t step = 0; step <= 100; ++step) {
    curve.Add(At(step));
  }
  ASSERT_EQ(curve.Samples().size(), 101u);
  EXPECT_EQ(curve.Samples()[37].mHealthy, 37);
  EXPECT_TRUE(curve.LevelChanges().empty());
  EXPECT_EQ(curve.GameOverStep(), -1);
}

TEST(EpidemicCurve, ALongRunIsThinnedButKeepsEveryLevelChangeAndTheGameOver) {
  // 100 000 steps, a level change at a step between two samples, another right on one, and
  // the game lost between samples.
  TEpidemicCurve curve(100000, 1000);
  int32_t level = 1;
  bool over = false;
  for (int64_t step = 0; step <= 100000; ++step) {
    level += step == 12345 || step == 50000 ? 1 : 0;
    over = over || step == 77777;
    curve.Add(At(step, level, over));
  }
  const std::vector<int64_t> steps = Steps(curve);
  EXPECT_LE(steps.size(), 1010u);
  EXPECT_GE(steps.size(), 1000u);
  EXPECT_TRUE(std::is_sorted(steps.begin(), steps.end()));
  EXPECT_EQ(std::adjacent_find(steps.begin(), steps.end()), steps.end()) << "a step kept twice";
  EXPECT_EQ(steps.front(), 0);
  EXPECT_EQ(steps.back(), 100000);
  for (const int64_t step : {12344, 12345, 49999, 50000, 77776, 77777}) {
    EXPECT_TRUE(Has(steps, step)) << step;
  }
  EXPECT_EQ(curve.LevelChanges(), (std::vector<int64_t>{12345, 50000}));
  EXPECT_EQ(curve.GameOverStep(), 77777);
  // The samples are the counts of their own step, not of a neighbour.
  for (const auto& sample : curve.Samples()) {
    EXPECT_EQ(sample.mHealthy, sample.mStep % 97);
  }
  // Evenly spaced apart from the kept neighbours of the events.
  int64_t widest = 0;
  for (std::size_t i = 1; i < steps.size(); ++i) {
    widest = std::max(widest, steps[i] - steps[i - 1]);
  }
  EXPECT_EQ(widest, 100);
}

TEST(EpidemicCurve, AGameLostInTheFirstStepsIsMarked) {
  TEpidemicCurve curve(5000, 10);
  curve.Add(At(0));
  for (int64_t step = 1; step <= 5000; ++step) {
    curve.Add(At(step, 1, step >= 3));
  }
  EXPECT_EQ(curve.GameOverStep(), 3);
  const auto steps = Steps(curve);
  EXPECT_TRUE(Has(steps, 2) && Has(steps, 3));
}

TEST(EpidemicCurve, TheSvgCarriesOnePolylinePerSeriesAndAMarkPerEvent) {
  TEpidemicCurve curve(10, 1000);
  for (int64_t step = 0; step <= 10; ++step) {
    curve.Add(At(step, step >= 4 ? 2 : 1, step >= 9));
  }
  const std::string svg = EpidemicCurveSvg(curve, "seed <1> & more");
  for (const char* series : {"healthy", "infected", "dead", "buried"}) {
    EXPECT_NE(svg.find(std::string("data-series=\"") + series + "\""), std::string::npos);
  }
  EXPECT_NE(svg.find("class=\"level-change\" data-step=\"4\""), std::string::npos);
  EXPECT_NE(svg.find("class=\"game-over\" data-step=\"9\""), std::string::npos);
  EXPECT_NE(svg.find("seed &lt;1&gt; &amp; more"), std::string::npos);
  EXPECT_EQ(svg.find("seed <1>"), std::string::npos);
}

TEST(EpidemicCurve, ARunThatMayStopEarlyKeepsOneToTwoTimesTheTargetAndItsEvents) {
  // Lost at step 61 234 of at most a billion: the spacing is found as the run goes.
  TEpidemicCurve curve(1000000000, 1000, false);
  for (int64_t step = 0; step <= 61234; ++step) {
    curve.Add(At(step, step >= 777 ? 2 : 1, step >= 61234));
  }
  curve.End();
  const std::vector<int64_t> steps = Steps(curve);
  EXPECT_GE(steps.size(), 1000u);
  EXPECT_LE(steps.size(), 2004u);
  EXPECT_EQ(curve.Steps(), 61234);
  for (const int64_t step :
       {int64_t{0}, int64_t{776}, int64_t{777}, int64_t{61233}, int64_t{61234}}) {
    EXPECT_TRUE(Has(steps, step)) << step;
  }
  EXPECT_TRUE(std::is_sorted(steps.begin(), steps.end()));
  for (const auto& sample : curve.Samples()) {
    EXPECT_EQ(sample.mHealthy, sample.mStep % 97);
  }
}

TEST(RunSummary, ARowReadsBackAsWrittenAndAnythingElseIsRefused) {
  TRunSummary summary;
  summary.mSeed = 4294967295u;
  summary.mSteps = 14000;
  summary.mLevel = 3;
  summary.mLevelEnds = {2101, 5032};
  summary.mOver = true;
  summary.mOverStep = 13548;
  summary.mPeakInfected = 233;
  summary.mPeakInfectedStep = 12000;
  summary.mEnd.mHealthy = 1;
  summary.mEnd.mInfected = 2;
  summary.mEnd.mQuarantined = 3;
  summary.mEnd.mDead = 4;
  summary.mEnd.mBuried = 240;
  const std::string row = SummaryCsvRow(summary);
  EXPECT_EQ(row, "4294967295,14000,3,2101 5032,1,13548,233,12000,1,2,3,4,240,247\n");
  EXPECT_EQ(std::count(kSummaryCsvHeader, kSummaryCsvHeader + std::strlen(kSummaryCsvHeader), ','),
            13);
  TRunSummary read;
  ASSERT_TRUE(ParseSummaryCsvRow(row.substr(0, row.size() - 1), read));
  EXPECT_EQ(SummaryCsvRow(read), row);
  summary.mOver = false;
  summary.mLevelEnds.clear();
  const std::string playing = SummaryCsvRow(summary);
  EXPECT_EQ(playing, "4294967295,14000,3,,0,,233,12000,1,2,3,4,240,247\n");
  ASSERT_TRUE(ParseSummaryCsvRow(playing.substr(0, playing.size() - 1), read));
  EXPECT_EQ(SummaryCsvRow(read), playing);
  for (const char* wrong :
       {"", "1,2,3", "1,14000,3,,0,5,233,12000,1,2,3,4,240,247",
        "1,14000,3,,2,,233,12000,1,2,3,4,240,247", "1,14000,3,x,0,,233,12000,1,2,3,4,240,247",
        "1,14000,3,,0,,233,12000,1,2,3,4,240,247,9"}) {
    EXPECT_FALSE(ParseSummaryCsvRow(wrong, read)) << wrong;
  }
}
