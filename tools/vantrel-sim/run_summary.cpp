// Summary rows and the sweep's picture; see run_summary.h.
#include "tools/vantrel-sim/run_summary.h"

#include <algorithm>
#include <charconv>
#include <limits>

#include "runtime/whole_number.h"
#include "tools/vantrel-sim/text_fields.h"

const char* const kSummaryCsvHeader =
    "seed,steps,level,level_ends,game_over,game_over_step,peak_infected,peak_infected_step,"
    "healthy,infected,quarantined,dead_not_buried,buried,persons\n";

std::string SummaryCsvRow(const TRunSummary& ParaSummary) {
  const TEpidemicCounts& end = ParaSummary.mEnd;
  std::string row = std::to_string(ParaSummary.mSeed) + ',' + std::to_string(ParaSummary.mSteps) +
                    ',' + std::to_string(ParaSummary.mLevel) + ',';
  for (std::size_t i = 0; i < ParaSummary.mLevelEnds.size(); ++i) {
    // Appended piece by piece: GCC 12's -Wrestrict misreads " " + std::string at -O3.
    if (i > 0) {
      row += ' ';
    }
    row += std::to_string(ParaSummary.mLevelEnds[i]);
  }
  row += ',' + std::string(ParaSummary.mOver ? "1" : "0") + ',' +
         (ParaSummary.mOver ? std::to_string(ParaSummary.mOverStep) : std::string()) + ',' +
         std::to_string(ParaSummary.mPeakInfected) + ',' +
         std::to_string(ParaSummary.mPeakInfectedStep);
  for (const int64_t count :
       {int64_t{end.mHealthy}, int64_t{end.mInfected}, int64_t{end.mQuarantined},
        int64_t{end.mDead}, int64_t{end.mBuried}, end.Persons()}) {
    row += ',' + std::to_string(count);
  }
  row += '\n';
  return row;
}

namespace {

template <typename T> bool readField(std::string_view ParaText, T& ParaValue) {
  return ParseWholeNumber(ParaText, std::numeric_limits<T>::min(), std::numeric_limits<T>::max(),
                          ParaValue);
}

} // namespace

bool ParseSummaryCsvRow(std::string_view ParaRow, TRunSummary& ParaSummary) {
  const std::vector<std::string_view> fields = SplitFields(ParaRow, ',');
  if (fields.size() != 14) {
    return false;
  }
  TRunSummary summary;
  int32_t over = 0;
  int32_t persons = 0;
  bool ok = readField(fields[0], summary.mSeed) && readField(fields[1], summary.mSteps) &&
            readField(fields[2], summary.mLevel) && readField(fields[4], over) &&
            readField(fields[6], summary.mPeakInfected) &&
            readField(fields[7], summary.mPeakInfectedStep) &&
            readField(fields[8], summary.mEnd.mHealthy) &&
            readField(fields[9], summary.mEnd.mInfected) &&
            readField(fields[10], summary.mEnd.mQuarantined) &&
            readField(fields[11], summary.mEnd.mDead) &&
            readField(fields[12], summary.mEnd.mBuried) && readField(fields[13], persons);
  summary.mOver = over == 1;
  ok = ok && (over == 0 || over == 1) &&
       (summary.mOver ? readField(fields[5], summary.mOverStep) : fields[5].empty());
  if (ok && !fields[3].empty()) {
    for (const std::string_view levelEnd : SplitFields(fields[3], ' ')) {
      int64_t step = 0;
      ok = ok && readField(levelEnd, step);
      summary.mLevelEnds.push_back(step);
    }
  }
  if (!ok) {
    return false;
  }
  summary.mEnd.mStep = summary.mSteps;
  summary.mEnd.mLevel = summary.mLevel;
  summary.mEnd.mOver = summary.mOver;
  ParaSummary = std::move(summary);
  return true;
}

std::string SweepLevelsSvg(const std::vector<TRunSummary>& ParaRuns, const std::string& ParaTitle,
                           const std::string& ParaDescription) {
  int32_t levels = 1;
  for (const TRunSummary& run : ParaRuns) {
    levels = std::max(levels, run.mLevel);
  }
  std::vector<int64_t> lost(static_cast<std::size_t>(levels) + 1, 0);
  std::vector<int64_t> playing(lost.size(), 0);
  int64_t largest = 1;
  for (const TRunSummary& run : ParaRuns) {
    auto& count = (run.mOver ? lost : playing)[static_cast<std::size_t>(run.mLevel)];
    ++count;
  }
  for (int32_t level = 1; level <= levels; ++level) {
    largest = std::max(largest, lost[static_cast<std::size_t>(level)] +
                                    playing[static_cast<std::size_t>(level)]);
  }
  const TSvgCountAxis games(largest);
  const double slot = kSvgPlotWidth / levels;
  std::string out = SvgOpening(ParaTitle, ParaDescription);
  out += "<rect x=\"78\" y=\"42\" width=\"14\" height=\"12\" fill=\"#ff40ff\"/>"
         "<text x=\"98\" y=\"52\" fill=\"#d8d8d8\">lost at this level</text>\n";
  out += "<rect x=\"250\" y=\"42\" width=\"14\" height=\"12\" fill=\"#6a8cff\"/>"
         "<text x=\"270\" y=\"52\" fill=\"#d8d8d8\">still playing it when the steps ran out"
         "</text>\n";
  out += "<rect id=\"plot-area\" x=\"" + SvgNumber(kSvgLeft) + "\" y=\"" + SvgNumber(kSvgTop) +
         "\" width=\"" + SvgNumber(kSvgPlotWidth) + "\" height=\"" + SvgNumber(kSvgPlotHeight) +
         "\" fill=\"none\" stroke=\"#808080\" data-games-max=\"" + std::to_string(games.Top()) +
         "\"/>\n";
  out += "<g stroke=\"#2c2c2c\">\n";
  out += games.GridLines();
  out += "</g>\n<g fill=\"#b0b0b0\" font-size=\"12\">\n";
  out += games.Labels();
  // Level numbers under their bars, thinned so that they never touch.
  const int64_t every = std::max<int64_t>(1, static_cast<int64_t>(28 / slot) + 1);
  for (int32_t level = 1; level <= levels; ++level) {
    if ((level - 1) % every == 0) {
      out += "<text x=\"" + SvgNumber(kSvgLeft + slot * (level - 0.5)) + "\" y=\"" +
             SvgNumber(kSvgTop + kSvgPlotHeight + 18) + "\" text-anchor=\"middle\">" +
             std::to_string(level) + "</text>\n";
    }
  }
  out += "</g>\n";
  out += SvgAxisNames("level reached", "games");
  const double barWidth = std::max(1.0, slot * 0.7);
  for (int32_t level = 1; level <= levels; ++level) {
    const auto at = static_cast<std::size_t>(level);
    const double x = kSvgLeft + slot * (level - 0.5) - barWidth / 2;
    if (lost[at] > 0) {
      out += "<rect class=\"lost\" data-level=\"" + std::to_string(level) + "\" data-games=\"" +
             std::to_string(lost[at]) + "\" x=\"" + SvgNumber(x) + "\" y=\"" +
             SvgNumber(games.Y(lost[at])) + "\" width=\"" + SvgNumber(barWidth) + "\" height=\"" +
             SvgNumber(games.Y(0) - games.Y(lost[at])) + "\" fill=\"#ff40ff\"/>\n";
    }
    if (playing[at] > 0) {
      out += "<rect class=\"playing\" data-level=\"" + std::to_string(level) + "\" data-games=\"" +
             std::to_string(playing[at]) + "\" x=\"" + SvgNumber(x) + "\" y=\"" +
             SvgNumber(games.Y(lost[at] + playing[at])) + "\" width=\"" + SvgNumber(barWidth) +
             "\" height=\"" + SvgNumber(games.Y(lost[at]) - games.Y(lost[at] + playing[at])) +
             "\" fill=\"#6a8cff\"/>\n";
    }
  }
  out += "</svg>\n";
  return out;
}
