// Parsing of vantrel-sim's command line; see sim_options.h.
#include "tools/vantrel-sim/sim_options.h"

#include <cstdio>
#include <limits>
#include <set>

#include "runtime/one_line_text.h"
#include "runtime/whole_number.h"
#include "simulation/Unit_TPerson.h"

const char* const kSimUsage =
    "usage: vantrel-sim --seed S --steps N [options]\n"
    "       vantrel-sim --seeds A..B --steps N [--jobs J] [--summary FILE] [options]\n"
    "  --seed S          seed of the random source, an unsigned 32-bit number\n"
    "  --seeds A..B      a sweep: one game per seed from A to B (both included), in parallel\n"
    "  --jobs J          games at once in a sweep, at least 1 (default: the cores available)\n"
    "  --steps N         number of steps to run, 0 or more (required)\n"
    "  --until-game-over stop at the end of the step in which the game is lost\n"
    "  --persons P       size of the first population, at least 1 (default 100)\n"
    "  --size WxH@K      field size applied in step K's paint, repeatable (default 792x673@1)\n"
    "  --click B,X,Y@K   click after step K's paint, B = L quarantines, R infects, repeatable\n"
    "  --trace EVERY     a summary line every EVERY steps, before the state\n"
    "  --no-state        leave out the final state block\n"
    "  --plot FILE.svg   the epidemic curve as an SVG picture; a sweep's: the levels reached\n"
    "  --csv FILE        the curve's counts for every step, as CSV with a header row\n"
    "  --events FILE     replay the sizes, paints and presses of a trace game's event log\n"
    "  --summary FILE    one CSV row per game, columns below (a sweep's default: standard output)\n"
    "  --quiet           no progress line (shown only on a terminal)\n"
    "  --version         the version\n"
    "  --help            this text\n"
    "K = 0 applies before the first step. FILE - is standard output. Bad arguments print one\n"
    "line and exit with 2.\n"
    "The state block, after the run (seed= is the random source's state at that moment):\n"
    "  state steps=<steps run> seed=<S'> person_count=<next level's population> persons=<n>\n"
    "    disease_cycle=<level's cycles> till=<patient zero's cycle> patient_zero=<0|1>\n"
    "    over=<0|1> field=<W>x<H>\n"
    "  then per person: index x y angle speed size infected quarantined dead buried cycle\n"
    "    infection_cycle dead_cycle (flags 0|1, doubles with 17 significant digits)\n"
    "--trace lines: step=<k> persons=<n> infected=<living infected> alive=<living healthy>\n"
    "  dead=<dead, buried included> seed=<the random source's state after step k>\n"
    "--summary columns: seed; steps (run); level (reached, 1 is the first); level_ends (the\n"
    "  steps whose cycle ended a level with survivors, space-separated); game_over (0|1);\n"
    "  game_over_step (empty if not lost); peak_infected (most living infected after a step);\n"
    "  peak_infected_step (the first such step); then at the end: healthy, infected and\n"
    "  quarantined (living), dead_not_buried, buried, persons\n";

namespace {

constexpr int32_t kInt32Min = std::numeric_limits<int32_t>::min();
constexpr int32_t kInt32Max = std::numeric_limits<int32_t>::max();
constexpr int64_t kInt64Max = std::numeric_limits<int64_t>::max();

// "WxH@K"
bool ParseSize(std::string_view ParaText, TSimSize& ParaSize) {
  const auto x = ParaText.find('x');
  const auto at = ParaText.find('@');
  if (x == std::string_view::npos || at == std::string_view::npos || at < x) {
    return false;
  }
  return ParseWholeNumber(ParaText.substr(0, x), 0, kInt32Max, ParaSize.mWidth) &&
         ParseWholeNumber(ParaText.substr(x + 1, at - x - 1), 0, kInt32Max, ParaSize.mHeight) &&
         ParseWholeNumber(ParaText.substr(at + 1), int64_t{0}, kInt64Max, ParaSize.mStep);
}

// "B,X,Y@K" with B = L or R
bool ParseClick(std::string_view ParaText, TSimClick& ParaClick) {
  if (ParaText.size() < 2 || (ParaText[0] != 'L' && ParaText[0] != 'R') || ParaText[1] != ',') {
    return false;
  }
  ParaClick.mButton = ParaText[0];
  const std::string_view rest = ParaText.substr(2);
  const auto comma = rest.find(',');
  const auto at = rest.find('@');
  if (comma == std::string_view::npos || at == std::string_view::npos || at < comma) {
    return false;
  }
  return ParseWholeNumber(rest.substr(0, comma), kInt32Min, kInt32Max, ParaClick.mX) &&
         ParseWholeNumber(rest.substr(comma + 1, at - comma - 1), kInt32Min, kInt32Max,
                          ParaClick.mY) &&
         ParseWholeNumber(rest.substr(at + 1), int64_t{0}, kInt64Max, ParaClick.mStep);
}

// A file name for --plot, --csv or --summary: anything the file system could take, or "-".
bool ParsePath(const std::string& ParaText, std::string& ParaPath) {
  if (ParaText.empty() || ParaText.find('\0') != std::string::npos) {
    return false;
  }
  ParaPath = ParaText;
  return true;
}

// "A..B" with A <= B
bool ParseSeedRange(std::string_view ParaText, uint32_t& ParaFirst, uint32_t& ParaLast) {
  const auto dots = ParaText.find("..");
  constexpr uint32_t kLargest = std::numeric_limits<uint32_t>::max();
  return dots != std::string_view::npos &&
         ParseWholeNumber(ParaText.substr(0, dots), uint32_t{0}, kLargest, ParaFirst) &&
         ParseWholeNumber(ParaText.substr(dots + 2), uint32_t{0}, kLargest, ParaLast) &&
         ParaFirst <= ParaLast;
}

constexpr const char* kValueOptions[] = {"--seed", "--seeds", "--jobs",    "--persons",
                                         "--size", "--click", "--steps",   "--trace",
                                         "--plot", "--csv",   "--summary", "--events"};
constexpr const char* kFlagOptions[] = {"--until-game-over", "--no-state", "--quiet",
                                        kSweepWorkerOption};

template <std::size_t N>
bool IsOneOf(const std::string& ParaName, const char* const (&ParaList)[N]) {
  for (const char* known : ParaList) {
    if (ParaName == known) {
      return true;
    }
  }
  return false;
}

} // namespace

uint64_t PopulationMemoryBytes(int32_t ParaPersons, int64_t ParaSteps) {
  const uint64_t persons = ParaPersons > 0 ? static_cast<uint64_t>(ParaPersons) : 0;
  // The contact grid keeps a position and index per catcher twice (24 bytes each) and a cell
  // number (4 bytes); the next level's population is built before the old one is freed.
  constexpr uint64_t kGridBytesPerPerson = 2 * 24 + 4;
  const uint64_t nextLevel = ParaSteps >= kEarliestLevelEnd ? persons + (persons + 4) / 5 : 0;
  return (persons + nextLevel) * sizeof(TPerson) + persons * kGridBytesPerPerson;
}

std::string MemoryText(uint64_t ParaBytes, int ParaDecimals) {
  char text[64];
  if (ParaBytes >= 1000000000u) {
    std::snprintf(text, sizeof text, "%.*f GB", ParaDecimals, static_cast<double>(ParaBytes) / 1e9);
  } else {
    std::snprintf(text, sizeof text, "%.*f MB", ParaDecimals, static_cast<double>(ParaBytes) / 1e6);
  }
  return text;
}

std::string CheckPopulationFits(int32_t ParaPersons, int64_t ParaSteps, uint64_t ParaAvailableBytes,
                                uint64_t ParaPhysicalBytes) {
  const uint64_t needed = PopulationMemoryBytes(ParaPersons, ParaSteps);
  if (ParaAvailableBytes == 0 || needed <= ParaAvailableBytes) {
    return {};
  }
  // Refused up front: the persons are allocated in one block that the system grants at
  // once and fills page by page, so such a run would swap for minutes before failing.
  int decimals = 1;
  while (decimals < 9 && MemoryText(needed, decimals) == MemoryText(ParaAvailableBytes, decimals)) {
    ++decimals;
  }
  std::string refusal = "--persons " + std::to_string(ParaPersons) + " would need about " +
                        MemoryText(needed, decimals) + " of memory, more than the " +
                        MemoryText(ParaAvailableBytes, decimals) + " available now";
  if (ParaPhysicalBytes != 0) {
    refusal += " (of " + MemoryText(ParaPhysicalBytes) + " physical memory)";
  }
  return refusal;
}

std::optional<TSimOptions> ParseSimOptions(const std::vector<std::string>& ParaArguments,
                                           std::string& ParaError) {
  TSimOptions options;
  // --help, then --version, win over everything else, even over arguments that are wrong.
  for (const char* early : {"--help", "--version"}) {
    for (std::size_t i = 0; i < ParaArguments.size(); ++i) {
      if (ParaArguments[i] == early) {
        (std::string(early) == "--help" ? options.mHelp : options.mVersion) = true;
        return options;
      }
      if (IsOneOf(ParaArguments[i], kValueOptions)) {
        ++i; // skip its value: "--plot --help" names a file
      }
    }
  }
  std::set<std::string> given;
  for (std::size_t i = 0; i < ParaArguments.size(); ++i) {
    const std::string& name = ParaArguments[i];
    const bool flag = IsOneOf(name, kFlagOptions);
    if (!flag && !IsOneOf(name, kValueOptions)) {
      ParaError =
          "unknown argument " + QuotedForOneLine(name) + " (vantrel-sim --help lists the options)";
      return std::nullopt;
    }
    const bool repeatable = name == "--size" || name == "--click";
    if (!repeatable && !given.insert(name).second) {
      ParaError =
          name + (flag ? " given more than once" : " given more than once: it takes one value");
      return std::nullopt;
    }
    if (flag) {
      (name == "--until-game-over" ? options.mUntilGameOver
       : name == "--no-state"      ? options.mNoState
       : name == "--quiet"         ? options.mQuiet
                                   : options.mSweepWorker) = true;
      continue;
    }
    if (i + 1 >= ParaArguments.size()) {
      ParaError = "missing value after " + name;
      return std::nullopt;
    }
    const std::string& value = ParaArguments[++i];
    bool ok = false;
    const char* expected = "";
    if (name == "--seed") {
      ok =
          ParseWholeNumber(value, uint32_t{0}, std::numeric_limits<uint32_t>::max(), options.mSeed);
      expected = "an unsigned 32-bit number";
    } else if (name == "--seeds") {
      ok = ParseSeedRange(value, options.mSeedFirst, options.mSeedLast);
      options.mSweep = ok;
      expected = "A..B, unsigned 32-bit numbers with A <= B";
    } else if (name == "--jobs") {
      ok = ParseWholeNumber(value, 1, 1024, options.mJobs);
      expected = "a number of games at once from 1 to 1024";
    } else if (name == "--persons") {
      ok = ParseWholeNumber(value, 1, kInt32Max, options.mPersons);
      expected = "a number of at least 1";
    } else if (name == "--size") {
      TSimSize size;
      ok = ParseSize(value, size);
      if (ok) {
        options.mSizes.push_back(size);
      }
      expected = "WxH@K";
    } else if (name == "--click") {
      TSimClick click;
      ok = ParseClick(value, click);
      if (ok) {
        options.mClicks.push_back(click);
      }
      expected = "L,X,Y@K or R,X,Y@K";
    } else if (name == "--steps") {
      ok = ParseWholeNumber(value, int64_t{0}, kInt64Max, options.mSteps);
      expected = "a step count of at least 0";
    } else if (name == "--trace") {
      ok = ParseWholeNumber(value, int64_t{1}, kInt64Max, options.mTraceEvery);
      expected = "a step interval of at least 1";
    } else if (name == "--events") {
      ok = ParsePath(value, options.mEventsPath) && options.mEventsPath != "-";
      expected = "a file name";
    } else {
      std::string& path = name == "--plot"  ? options.mPlotPath
                          : name == "--csv" ? options.mCsvPath
                                            : options.mSummaryPath;
      ok = ParsePath(value, path);
      expected = "a file name, or - for standard output";
    }
    if (!ok) {
      ParaError =
          "bad value " + QuotedForOneLine(value) + " for " + name + ": expected " + expected;
      return std::nullopt;
    }
  }
  const bool seed = given.count("--seed") != 0;
  if (seed == options.mSweep) {
    ParaError = seed ? "--seed and --seeds both given: one game or a sweep, not both"
                     : "missing argument --seed (or --seeds A..B for a sweep)";
    return std::nullopt;
  }
  if (given.count("--steps") == 0) {
    ParaError = "missing argument --steps";
    return std::nullopt;
  }
  if (!options.mSweep) {
    if (given.count("--jobs") != 0) {
      ParaError = "--jobs is for a sweep: give --seeds A..B";
      return std::nullopt;
    }
  } else {
    for (const char* perGame : {"--trace", "--csv", "--no-state", "--events"}) {
      if (given.count(perGame) != 0) {
        ParaError = std::string(perGame) +
                    " is for one game: a sweep writes one --summary row per game and no state";
        return std::nullopt;
      }
    }
    if (options.mSummaryPath.empty()) {
      options.mSummaryPath = "-";
    }
  }
  if (!options.mEventsPath.empty()) {
    // The log holds every size and press the game saw, and its paints: nothing is implied.
    if (!options.mSizes.empty() || !options.mClicks.empty()) {
      ParaError = "--events replays the log's own sizes and presses: it takes no --size or --click";
      return std::nullopt;
    }
  } else if (options.mSizes.empty()) {
    // The game's first paint.
    options.mSizes.push_back(TSimSize{792, 673, 1});
  }
  return options;
}
