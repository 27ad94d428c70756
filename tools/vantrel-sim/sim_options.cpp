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
    "  --seed S          seed of the random source, an unsigned 32-bit number (required)\n"
    "  --steps N         number of steps to run, 0 or more (required)\n"
    "  --persons P       size of the first population, at least 1 (default 100)\n"
    "  --size WxH@K      field size applied in step K's paint, repeatable (default 792x673@1)\n"
    "  --click B,X,Y@K   click after step K's paint, B = L quarantines, R infects, repeatable\n"
    "  --trace EVERY     a summary line every EVERY steps, before the state\n"
    "  --plot FILE.svg   after the run, the epidemic curve of the whole run as an SVG picture\n"
    "  --csv FILE        the same counts for every step, as CSV with a header row\n"
    "  --help            this text\n"
    "K = 0 applies before the first step. Bad arguments print one line and exit with 2.\n";

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

// A file name for --plot or --csv: anything the file system could take.
bool ParsePath(const std::string& ParaText, std::string& ParaPath) {
  if (ParaText.empty() || ParaText.find('\0') != std::string::npos) {
    return false;
  }
  ParaPath = ParaText;
  return true;
}

bool IsOptionName(const std::string& ParaName) {
  for (const char* known :
       {"--seed", "--persons", "--size", "--click", "--steps", "--trace", "--plot", "--csv"}) {
    if (ParaName == known) {
      return true;
    }
  }
  return false;
}

std::string Quoted(std::string_view ParaText) {
  // Appended piece by piece: GCC 12's -Wrestrict misreads "'" + std::string at -O3.
  std::string quoted(1, '\'');
  quoted += EscapeForOneLine(ParaText);
  quoted += '\'';
  return quoted;
}

} // namespace

uint64_t PopulationMemoryBytes(int32_t ParaPersons) {
  const uint64_t persons = ParaPersons > 0 ? static_cast<uint64_t>(ParaPersons) : 0;
  // The contact grid keeps a position and index per catcher twice (24 bytes each) and a cell
  // number (4 bytes); the next level's population is built before the old one is freed.
  constexpr uint64_t kGridBytesPerPerson = 2 * 24 + 4;
  const uint64_t nextLevel = persons + (persons + 4) / 5;
  return (persons + nextLevel) * sizeof(TPerson) + persons * kGridBytesPerPerson;
}

std::string MemoryText(uint64_t ParaBytes) {
  char text[64];
  if (ParaBytes >= 1000000000u) {
    std::snprintf(text, sizeof text, "%.1f GB", static_cast<double>(ParaBytes) / 1e9);
  } else {
    std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(ParaBytes) / 1e6);
  }
  return text;
}

std::string CheckPopulationFits(int32_t ParaPersons, uint64_t ParaPhysicalBytes) {
  const uint64_t needed = PopulationMemoryBytes(ParaPersons);
  if (ParaPhysicalBytes == 0 || needed <= ParaPhysicalBytes) {
    return {};
  }
  // Refused up front: the persons are allocated in one block that the system grants at
  // once and fills page by page, so such a run would swap for minutes before failing.
  return "--persons " + std::to_string(ParaPersons) + " would need about " + MemoryText(needed) +
         " of memory, more than the " + MemoryText(ParaPhysicalBytes) + " of physical memory here";
}

std::optional<TSimOptions> ParseSimOptions(const std::vector<std::string>& ParaArguments,
                                           std::string& ParaError) {
  TSimOptions options;
  // --help wins over everything else, even over arguments that are wrong.
  for (std::size_t i = 0; i < ParaArguments.size(); ++i) {
    if (ParaArguments[i] == "--help") {
      options.mHelp = true;
      return options;
    }
    if (IsOptionName(ParaArguments[i])) {
      ++i; // skip its value: "--plot --help" names a file
    }
  }
  std::set<std::string> given;
  for (std::size_t i = 0; i < ParaArguments.size(); ++i) {
    const std::string& name = ParaArguments[i];
    if (!IsOptionName(name)) {
      ParaError = "unknown argument " + Quoted(name) + " (vantrel-sim --help lists the options)";
      return std::nullopt;
    }
    if (i + 1 >= ParaArguments.size()) {
      ParaError = "missing value after " + name;
      return std::nullopt;
    }
    const bool repeatable = name == "--size" || name == "--click";
    if (!repeatable && !given.insert(name).second) {
      ParaError = name + " given more than once: it takes one value";
      return std::nullopt;
    }
    const std::string& value = ParaArguments[++i];
    bool ok = false;
    const char* expected = "";
    if (name == "--seed") {
      ok =
          ParseWholeNumber(value, uint32_t{0}, std::numeric_limits<uint32_t>::max(), options.mSeed);
      expected = "an unsigned 32-bit number";
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
    } else if (name == "--plot") {
      ok = ParsePath(value, options.mPlotPath);
      expected = "a file name";
    } else {
      ok = ParsePath(value, options.mCsvPath);
      expected = "a file name";
    }
    if (!ok) {
      ParaError = "bad value " + Quoted(value) + " for " + name + ": expected " + expected;
      return std::nullopt;
    }
  }
  if (given.count("--seed") == 0) {
    ParaError = "missing argument --seed";
    return std::nullopt;
  }
  if (given.count("--steps") == 0) {
    ParaError = "missing argument --steps";
    return std::nullopt;
  }
  if (!options.mPlotPath.empty() && options.mPlotPath == options.mCsvPath) {
    ParaError = "--plot and --csv name the same file " + Quoted(options.mPlotPath);
    return std::nullopt;
  }
  if (options.mSizes.empty()) {
    // The game's first paint.
    options.mSizes.push_back(TSimSize{792, 673, 1});
  }
  return options;
}
