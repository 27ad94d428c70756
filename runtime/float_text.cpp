// General float-to-text conversion; see float_text.h.
#include "runtime/float_text.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

char DecimalSeparator = '.';

namespace {

constexpr int kPrecision = 15;

} // namespace

std::string FloatToStr(double ParaValue) {
  if (std::isnan(ParaValue)) {
    return "NAN";
  }
  if (std::isinf(ParaValue)) {
    return ParaValue < 0 ? "-INF" : "INF";
  }
  if (ParaValue == 0.0) {
    return "0";
  }

  // d.dddddddddddddde[+-]x, rounded correctly to 15 significant digits.
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, ParaValue,
                                    std::chars_format::scientific, kPrecision - 1);
  const std::string text(buffer, result.ptr);

  const bool negative = text[0] == '-';
  const std::size_t mantissaStart = negative ? 1 : 0;
  const std::size_t ePos = text.find('e');
  std::string digits;
  for (std::size_t i = mantissaStart; i < ePos; ++i) {
    if (text[i] != '.') {
      digits += text[i];
    }
  }
  const int exponent = std::atoi(text.c_str() + ePos + 1);
  while (digits.size() > 1 && digits.back() == '0') {
    digits.pop_back();
  }

  std::string out = negative ? "-" : "";
  // The decimal point sits after (exponent + 1) digits.
  const int pointPosition = exponent + 1;
  if (pointPosition > kPrecision || pointPosition < -3) {
    out += digits[0];
    if (digits.size() > 1) {
      out += DecimalSeparator;
      out.append(digits, 1, std::string::npos);
    }
    out += 'E';
    out += std::to_string(exponent);
    return out;
  }
  if (pointPosition <= 0) {
    out += '0';
    out += DecimalSeparator;
    out.append(static_cast<std::size_t>(-pointPosition), '0');
    out += digits;
    return out;
  }
  const auto whole = static_cast<std::size_t>(pointPosition);
  if (digits.size() <= whole) {
    out += digits;
    out.append(whole - digits.size(), '0');
    return out;
  }
  out.append(digits, 0, whole);
  out += DecimalSeparator;
  out.append(digits, whole, std::string::npos);
  return out;
}
