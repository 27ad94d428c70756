// Reading whole numbers from a command line, for the programs that take one (the headless
// driver, the game's trace build): decimal digits with at most one sign, in a given range.
#pragma once

#include <charconv>
#include <cstdint>
#include <limits>
#include <string_view>

// A whole decimal number in [ParaMin, ParaMax] with at most one sign, nothing else before or
// after it. "-0" is 0 for every type, so signed and unsigned options read it alike.
template <typename T>
bool ParseWholeNumber(std::string_view ParaText, T ParaMin, T ParaMax, T& ParaValue) {
  bool negative = false;
  if (!ParaText.empty() && (ParaText.front() == '+' || ParaText.front() == '-')) {
    negative = ParaText.front() == '-';
    ParaText.remove_prefix(1);
  }
  if (ParaText.empty() || ParaText.front() < '0' || ParaText.front() > '9') {
    return false;
  }
  uint64_t magnitude = 0;
  const char* last = ParaText.data() + ParaText.size();
  const auto [ptr, ec] = std::from_chars(ParaText.data(), last, magnitude);
  if (ec != std::errc() || ptr != last) {
    return false;
  }
  T value{};
  if (!negative || magnitude == 0) {
    if (magnitude > static_cast<uint64_t>(std::numeric_limits<T>::max())) {
      return false;
    }
    value = static_cast<T>(magnitude);
  } else {
    if constexpr (std::numeric_limits<T>::is_signed) {
      // -(min + 1) + 1: the magnitude of the most negative value, without overflow.
      const uint64_t largest = static_cast<uint64_t>(-(std::numeric_limits<T>::min() + 1)) + 1;
      if (magnitude > largest) {
        return false;
      }
      value = magnitude == largest ? std::numeric_limits<T>::min()
                                   : static_cast<T>(-static_cast<T>(magnitude));
    } else {
      return false;
    }
  }
  if (value < ParaMin || value > ParaMax) {
    return false;
  }
  ParaValue = value;
  return true;
}
