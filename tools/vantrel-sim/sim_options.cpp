// Parsing of vantrel-sim's command line; see sim_options.h.
#include "tools/vantrel-sim/sim_options.h"

#include <charconv>
#include <limits>

namespace {

// A whole decimal number in [ParaMin, ParaMax], nothing before or after it.
template <typename T>
bool ParseNumber(std::string_view ParaText, T ParaMin, T ParaMax, T& ParaValue) {
  if (ParaText.empty()) {
    return false;
  }
  T value{};
  const char* first = ParaText.data();
  const char* last = first + ParaText.size();
  if (*first == '+') {
    ++first;
  }
  const auto [ptr, ec] = std::from_chars(first, last, value);
  if (ec != std::errc() || ptr != last || value < ParaMin || value > ParaMax) {
    return false;
  }
  ParaValue = value;
  return true;
}

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
  return ParseNumber(ParaText.substr(0, x), 0, kInt32Max, ParaSize.mWidth) &&
         ParseNumber(ParaText.substr(x + 1, at - x - 1), 0, kInt32Max, ParaSize.mHeight) &&
         ParseNumber(ParaText.substr(at + 1), int64_t{0}, kInt64Max, ParaSize.mStep);
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
  return ParseNumber(rest.substr(0, comma), kInt32Min, kInt32Max, ParaClick.mX) &&
         ParseNumber(rest.substr(comma + 1, at - comma - 1), kInt32Min, kInt32Max, ParaClick.mY) &&
         ParseNumber(rest.substr(at + 1), int64_t{0}, kInt64Max, ParaClick.mStep);
}

} // namespace

std::optional<TSimOptions> ParseSimOptions(const std::vector<std::string>& ParaArguments,
                                           std::string& ParaError) {
  TSimOptions options;
  bool haveSeed = false;
  bool haveSteps = false;
  for (std::size_t i = 0; i < ParaArguments.size(); ++i) {
    const std::string& name = ParaArguments[i];
    if (name != "--seed" && name != "--persons" && name != "--size" && name != "--click" &&
        name != "--steps" && name != "--trace") {
      ParaError = "unknown argument '" + name + "'";
      return std::nullopt;
    }
    if (i + 1 >= ParaArguments.size()) {
      ParaError = "missing value after " + name;
      return std::nullopt;
    }
    const std::string& value = ParaArguments[++i];
    bool ok = false;
    const char* expected = "";
    if (name == "--seed") {
      ok = ParseNumber(value, uint32_t{0}, std::numeric_limits<uint32_t>::max(), options.mSeed);
      haveSeed = ok;
      expected = "an unsigned 32-bit number";
    } else if (name == "--persons") {
      ok = ParseNumber(value, 1, kInt32Max, options.mPersons);
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
      ok = ParseNumber(value, int64_t{0}, kInt64Max, options.mSteps);
      haveSteps = ok;
      expected = "a step count of at least 0";
    } else {
      ok = ParseNumber(value, int64_t{1}, kInt64Max, options.mTraceEvery);
      expected = "a step interval of at least 1";
    }
    if (!ok) {
      ParaError = "bad value '" + value + "' for " + name + ": expected " + expected;
      return std::nullopt;
    }
  }
  if (!haveSeed) {
    ParaError = "missing argument --seed";
    return std::nullopt;
  }
  if (!haveSteps) {
    ParaError = "missing argument --steps";
    return std::nullopt;
  }
  if (options.mSizes.empty()) {
    // The game's first paint.
    options.mSizes.push_back(TSimSize{792, 673, 1});
  }
  return options;
}
