// The epidemic curve; see epidemic_curve.h. Numbers in the SVG are written with to_chars, so
// the picture is the same whatever locale the process runs in.
#include "tools/vantrel-sim/epidemic_curve.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "simulation/Unit_TPerson.h"

TEpidemicCounts CountPersons() {
  TEpidemicCounts counts;
  for (const TPerson& person : Persons) {
    if (person.mDead) {
      ++(person.mBuried ? counts.mBuried : counts.mDead);
    } else {
      ++(person.mInfected ? counts.mInfected : counts.mHealthy);
      counts.mQuarantined += person.mQuarantined ? 1 : 0;
    }
  }
  return counts;
}

TEpidemicCurve::TEpidemicCurve(int64_t ParaSteps, int64_t ParaTarget, bool ParaEndKnown)
    : mSteps(std::max<int64_t>(ParaSteps, 0)), mTarget(std::max<int64_t>(ParaTarget, 1)),
      mEndKnown(ParaEndKnown),
      mStride(!ParaEndKnown ? 1
                            : std::max<int64_t>(1, mSteps / mTarget + (mSteps % mTarget != 0))) {}

void TEpidemicCurve::Keep(const TEpidemicCounts& ParaCounts, bool ParaPinned) {
  if (mSamples.empty() || mSamples.back().mStep < ParaCounts.mStep) {
    mSamples.push_back(ParaCounts);
    mPinned.push_back(ParaPinned);
  } else if (mSamples.back().mStep == ParaCounts.mStep && ParaPinned) {
    mPinned.back() = true;
  }
}

void TEpidemicCurve::Compact() {
  mStride *= 2;
  std::size_t kept = 0;
  for (std::size_t i = 0; i < mSamples.size(); ++i) {
    if (mPinned[i] || mSamples[i].mStep % mStride == 0) {
      mSamples[kept] = mSamples[i];
      mPinned[kept] = mPinned[i];
      ++kept;
    }
  }
  mSamples.resize(kept);
  mPinned.resize(kept);
}

void TEpidemicCurve::Add(const TEpidemicCounts& ParaCounts) {
  const bool levelChange = mHavePrevious && ParaCounts.mLevel != mPrevious.mLevel;
  const bool gameOver = mHavePrevious ? ParaCounts.mOver && !mPrevious.mOver : ParaCounts.mOver;
  if (levelChange) {
    mLevelChanges.push_back(ParaCounts.mStep);
  }
  if (gameOver) {
    mGameOverStep = ParaCounts.mStep;
  }
  if ((levelChange || gameOver) && mHavePrevious) {
    Keep(mPrevious, true);
  }
  if (levelChange || gameOver || ParaCounts.mStep % mStride == 0 ||
      (mEndKnown && ParaCounts.mStep >= mSteps)) {
    Keep(ParaCounts, levelChange || gameOver);
  }
  if (!mEndKnown && static_cast<int64_t>(mSamples.size()) > 2 * mTarget) {
    Compact();
  }
  mPrevious = ParaCounts;
  mHavePrevious = true;
}

void TEpidemicCurve::End() {
  if (mHavePrevious) {
    mSteps = mPrevious.mStep;
    Keep(mPrevious, true);
  }
}

namespace {

// The game's own colours: white persons, red infected, light grey crosses, brown graves, blue
// quarantine.
struct TSeries {
  const char* mName;
  const char* mLabel;
  const char* mColour;
  int32_t TEpidemicCounts::*mCount;
};
constexpr TSeries kSeries[] = {
    {"healthy", "healthy", "#ffffff", &TEpidemicCounts::mHealthy},
    {"infected", "infected (living)", "#ff2020", &TEpidemicCounts::mInfected},
    {"dead", "dead, not buried", "#cccccc", &TEpidemicCounts::mDead},
    {"buried", "buried", "#b07d1a", &TEpidemicCounts::mBuried},
    {"quarantined", "quarantined", "#4070ff", &TEpidemicCounts::mQuarantined},
};

} // namespace

std::string SvgNumber(double ParaValue) {
  char text[64];
  const auto result =
      std::to_chars(text, text + sizeof text, ParaValue, std::chars_format::fixed, 3);
  std::string s(text, result.ptr);
  // "12.500" -> "12.5", "12.000" -> "12": shorter files, same numbers.
  while (!s.empty() && s.back() == '0') {
    s.pop_back();
  }
  if (!s.empty() && s.back() == '.') {
    s.pop_back();
  }
  return s == "-0" ? "0" : s;
}

std::string SvgEscaped(const std::string& ParaText) {
  std::string out;
  for (const char c : ParaText) {
    switch (c) {
    case '&':
      out += "&amp;";
      break;
    case '<':
      out += "&lt;";
      break;
    case '>':
      out += "&gt;";
      break;
    case '"':
      out += "&quot;";
      break;
    default:
      out += c;
    }
  }
  return out;
}

namespace {

// A grid spacing of 1, 2 or 5 times a power of ten that cuts [0, ParaMax] into at most
// ParaMost intervals.
int64_t TickSpacing(int64_t ParaMax, int64_t ParaMost) {
  int64_t power = 1;
  for (;;) {
    for (const int64_t factor : {1, 2, 5}) {
      if (ParaMax / ParaMost + (ParaMax % ParaMost != 0) <= factor * power) {
        return factor * power;
      }
    }
    power *= 10;
  }
}

} // namespace

TSvgCountAxis::TSvgCountAxis(int64_t ParaLargest) : mTick(TickSpacing(ParaLargest, 8)) {
  const int64_t headroom = ParaLargest + ParaLargest / 20 + 1;
  mTop = (headroom + mTick - 1) / mTick * mTick;
}

double TSvgCountAxis::Y(int64_t ParaCount) const {
  return kSvgTop + kSvgPlotHeight -
         static_cast<double>(ParaCount) / static_cast<double>(mTop) * kSvgPlotHeight;
}

std::string TSvgCountAxis::GridLines() const {
  std::string out;
  for (int64_t count = mTick; count < mTop; count += mTick) {
    out += "<line x1=\"" + SvgNumber(kSvgLeft) + "\" y1=\"" + SvgNumber(Y(count)) + "\" x2=\"" +
           SvgNumber(kSvgLeft + kSvgPlotWidth) + "\" y2=\"" + SvgNumber(Y(count)) + "\"/>\n";
  }
  return out;
}

std::string TSvgCountAxis::Labels() const {
  std::string out;
  for (int64_t count = 0; count <= mTop; count += mTick) {
    out += "<text x=\"" + SvgNumber(kSvgLeft - 8) + "\" y=\"" + SvgNumber(Y(count) + 4) +
           "\" text-anchor=\"end\">" + std::to_string(count) + "</text>\n";
  }
  return out;
}

std::string SvgOpening(const std::string& ParaTitle, const std::string& ParaDescription) {
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  out += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + SvgNumber(kSvgWidth) +
         "\" height=\"" + SvgNumber(kSvgHeight) + "\" viewBox=\"0 0 " + SvgNumber(kSvgWidth) + " " +
         SvgNumber(kSvgHeight) + "\" font-family=\"sans-serif\" font-size=\"13\">\n";
  out += "<title>" + SvgEscaped(ParaTitle) + "</title>\n";
  if (!ParaDescription.empty()) {
    out += "<desc>" + SvgEscaped(ParaDescription) + "</desc>\n";
  }
  out += "<rect width=\"100%\" height=\"100%\" fill=\"#000000\"/>\n";
  out += "<text x=\"" + SvgNumber(kSvgLeft) + "\" y=\"26\" fill=\"#ffffff\" font-size=\"16\">" +
         SvgEscaped(ParaTitle) + "</text>\n";
  return out;
}

std::string SvgAxisNames(const char* ParaAcross, const char* ParaUp) {
  return "<text x=\"" + SvgNumber(kSvgLeft + kSvgPlotWidth / 2) + "\" y=\"" +
         SvgNumber(kSvgHeight - 14) + "\" fill=\"#d8d8d8\" text-anchor=\"middle\">" + ParaAcross +
         "</text>\n<text transform=\"translate(20 " + SvgNumber(kSvgTop + kSvgPlotHeight / 2) +
         ") rotate(-90)\" fill=\"#d8d8d8\" text-anchor=\"middle\">" + ParaUp + "</text>\n";
}

std::string EpidemicCurveSvg(const TEpidemicCurve& ParaCurve, const std::string& ParaTitle,
                             const std::string& ParaDescription) {
  int64_t largest = 1;
  for (const TEpidemicCounts& sample : ParaCurve.Samples()) {
    largest = std::max(largest, sample.Persons());
  }
  const TSvgCountAxis persons(largest);
  const int64_t stepMax = std::max<int64_t>(ParaCurve.Steps(), 1);
  const int64_t stepTick = TickSpacing(stepMax, 10);
  const auto stepX = [&](int64_t ParaStep) {
    return kSvgLeft + static_cast<double>(ParaStep) / static_cast<double>(stepMax) * kSvgPlotWidth;
  };
  std::string out = SvgOpening(ParaTitle, ParaDescription);

  // Legend: one row above the plot.
  double legendX = kSvgLeft;
  const double legendY = 52;
  for (const TSeries& series : kSeries) {
    out += "<line x1=\"" + SvgNumber(legendX) + "\" y1=\"" + SvgNumber(legendY - 4) + "\" x2=\"" +
           SvgNumber(legendX + 22) + "\" y2=\"" + SvgNumber(legendY - 4) + "\" stroke=\"" +
           series.mColour + "\" stroke-width=\"3\"/>\n";
    out += "<text x=\"" + SvgNumber(legendX + 28) + "\" y=\"" + SvgNumber(legendY) +
           "\" fill=\"#d8d8d8\">" + series.mLabel + "</text>\n";
    legendX += 28 + 6.4 * static_cast<double>(std::string(series.mLabel).size()) + 18;
  }
  out += "<line x1=\"" + SvgNumber(legendX) + "\" y1=\"" + SvgNumber(legendY - 12) + "\" x2=\"" +
         SvgNumber(legendX) + "\" y2=\"" + SvgNumber(legendY + 4) +
         "\" stroke=\"#6a8cff\" stroke-width=\"1.5\" stroke-dasharray=\"4 3\"/>\n";
  out += "<text x=\"" + SvgNumber(legendX + 8) + "\" y=\"" + SvgNumber(legendY) +
         "\" fill=\"#d8d8d8\">level change</text>\n";
  legendX += 8 + 7.0 * 12 + 22;
  out += "<line x1=\"" + SvgNumber(legendX) + "\" y1=\"" + SvgNumber(legendY - 12) + "\" x2=\"" +
         SvgNumber(legendX) + "\" y2=\"" + SvgNumber(legendY + 4) +
         "\" stroke=\"#ff40ff\" stroke-width=\"2\"/>\n";
  out += "<text x=\"" + SvgNumber(legendX + 8) + "\" y=\"" + SvgNumber(legendY) +
         "\" fill=\"#d8d8d8\">game over</text>\n";

  // The plot area carries its scale, so a reader of the file can turn points back into counts.
  out += "<rect id=\"plot-area\" x=\"" + SvgNumber(kSvgLeft) + "\" y=\"" + SvgNumber(kSvgTop) +
         "\" width=\"" + SvgNumber(kSvgPlotWidth) + "\" height=\"" + SvgNumber(kSvgPlotHeight) +
         "\" fill=\"none\" stroke=\"#808080\" data-step-max=\"" + std::to_string(stepMax) +
         "\" data-persons-max=\"" + std::to_string(persons.Top()) + "\"/>\n";

  // Grid and tick labels.
  out += "<g stroke=\"#2c2c2c\" stroke-width=\"1\">\n";
  for (int64_t i = 1; i <= (stepMax - 1) / stepTick; ++i) {
    const int64_t step = i * stepTick;
    out += "<line x1=\"" + SvgNumber(stepX(step)) + "\" y1=\"" + SvgNumber(kSvgTop) + "\" x2=\"" +
           SvgNumber(stepX(step)) + "\" y2=\"" + SvgNumber(kSvgTop + kSvgPlotHeight) + "\"/>\n";
  }
  out += persons.GridLines();
  out += "</g>\n<g fill=\"#b0b0b0\" font-size=\"12\">\n";
  for (int64_t i = 0; i <= stepMax / stepTick; ++i) {
    const int64_t step = i * stepTick;
    out += "<text x=\"" + SvgNumber(stepX(step)) + "\" y=\"" +
           SvgNumber(kSvgTop + kSvgPlotHeight + 18) + "\" text-anchor=\"middle\">" +
           std::to_string(step) + "</text>\n";
  }
  out += persons.Labels();
  out += "</g>\n";
  out += SvgAxisNames("steps", "persons");

  // The game over first: its label has a row of its own below the level labels, right of the
  // mark or left of it near the right edge, and no level label may cross its line.
  const double overX = ParaCurve.GameOverStep() >= 0 ? stepX(ParaCurve.GameOverStep()) : -1e9;
  if (ParaCurve.GameOverStep() >= 0) {
    out += "<line class=\"game-over\" data-step=\"" + std::to_string(ParaCurve.GameOverStep()) +
           "\" x1=\"" + SvgNumber(overX) + "\" y1=\"" + SvgNumber(kSvgTop) + "\" x2=\"" +
           SvgNumber(overX) + "\" y2=\"" + SvgNumber(kSvgTop + kSvgPlotHeight) +
           "\" stroke=\"#ff40ff\" stroke-width=\"2\"/>\n";
    const bool left = overX > kSvgLeft + kSvgPlotWidth - 80;
    out += "<text class=\"game-over-label\" x=\"" + SvgNumber(left ? overX - 4 : overX + 4) +
           "\" y=\"" + SvgNumber(kSvgTop + 30) + "\" fill=\"#ff80ff\" font-size=\"12\"" +
           (left ? " text-anchor=\"end\"" : "") + ">game over</text>\n";
  }
  // Level changes: every one a dashed line. Labels go right of their line, from the left, as
  // "level N" or, where that does not fit, "N"; one that would overlap the previous label or
  // cross the game over's line is left out (the line stays).
  double labelEnd = -1e9;
  constexpr double kCharacterWidth = 6.6; // font-size 11, generous for digits and letters
  for (std::size_t i = 0; i < ParaCurve.LevelChanges().size(); ++i) {
    const int64_t step = ParaCurve.LevelChanges()[i];
    const double x = stepX(step);
    out += "<line class=\"level-change\" data-step=\"" + std::to_string(step) + "\" x1=\"" +
           SvgNumber(x) + "\" y1=\"" + SvgNumber(kSvgTop) + "\" x2=\"" + SvgNumber(x) + "\" y2=\"" +
           SvgNumber(kSvgTop + kSvgPlotHeight) +
           "\" stroke=\"#6a8cff\" stroke-width=\"1.5\" stroke-dasharray=\"4 3\"/>\n";
    const std::string number = std::to_string(i + 2);
    for (const std::string& text : {"level " + number, number}) {
      const double start = x + 3;
      const double end = start + kCharacterWidth * static_cast<double>(text.size());
      const bool clear = start >= labelEnd + 4 && end <= kSvgLeft + kSvgPlotWidth &&
                         !(overX >= start - 3 && overX <= end + 3);
      if (clear) {
        out += "<text class=\"level-label\" data-step=\"" + std::to_string(step) + "\" x=\"" +
               SvgNumber(start) + "\" y=\"" + SvgNumber(kSvgTop + 13) +
               "\" fill=\"#8fa8ff\" font-size=\"11\">" + text + "</text>\n";
        labelEnd = end;
        break;
      }
    }
  }

  // The series, buried first so the healthy line stays on top.
  for (auto series = std::rbegin(kSeries); series != std::rend(kSeries); ++series) {
    out += "<polyline class=\"series\" data-series=\"" + std::string(series->mName) +
           "\" fill=\"none\" stroke=\"" + series->mColour +
           "\" stroke-width=\"2\" stroke-linejoin=\"round\" points=\"";
    bool first = true;
    for (const TEpidemicCounts& sample : ParaCurve.Samples()) {
      if (!first) {
        out += ' ';
      }
      first = false;
      out += SvgNumber(stepX(sample.mStep)) + "," + SvgNumber(persons.Y(sample.*(series->mCount)));
    }
    out += "\"/>\n";
  }
  out += "</svg>\n";
  return out;
}

const char* const kEpidemicCsvHeader =
    "step,level,healthy,infected,dead_not_buried,buried,game_over,quarantined\n";

std::string EpidemicCsvRow(const TEpidemicCounts& ParaCounts) {
  char row[128];
  std::snprintf(row, sizeof row, "%lld,%d,%d,%d,%d,%d,%d,%d\n",
                static_cast<long long>(ParaCounts.mStep), ParaCounts.mLevel, ParaCounts.mHealthy,
                ParaCounts.mInfected, ParaCounts.mDead, ParaCounts.mBuried,
                ParaCounts.mOver ? 1 : 0, ParaCounts.mQuarantined);
  return row;
}
