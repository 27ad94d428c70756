// Text made safe for a one-line message; see one_line_text.h.
#include "runtime/one_line_text.h"

#include <cstdio>

namespace {

// Length of the UTF-8 sequence at ParaText[ParaAt] and its code point, or 0 when the bytes
// there are not a well-formed sequence (overlong forms and surrogates included).
std::size_t DecodeUtf8(std::string_view ParaText, std::size_t ParaAt, char32_t& ParaCode) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(ParaText[i]); };
  const unsigned char lead = byte(ParaAt);
  std::size_t length = 0;
  char32_t code = 0;
  char32_t smallest = 0;
  if (lead < 0x80) {
    ParaCode = lead;
    return 1;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, code = lead & 0x1Fu, smallest = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, code = lead & 0x0Fu, smallest = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, code = lead & 0x07u, smallest = 0x10000;
  } else {
    return 0;
  }
  if (ParaAt + length > ParaText.size()) {
    return 0;
  }
  for (std::size_t i = 1; i < length; ++i) {
    const unsigned char next = byte(ParaAt + i);
    if ((next & 0xC0u) != 0x80u) {
      return 0;
    }
    code = (code << 6) | (next & 0x3Fu);
  }
  if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
    return 0;
  }
  ParaCode = code;
  return length;
}

} // namespace

std::string EscapeForOneLine(std::string_view ParaText) {
  std::string escaped;
  char hex[16];
  for (std::size_t i = 0; i < ParaText.size();) {
    char32_t code = 0;
    const std::size_t length = DecodeUtf8(ParaText, i, code);
    if (length == 0) {
      std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(ParaText[i]));
      escaped += hex;
      ++i;
      continue;
    }
    if (code == '\n') {
      escaped += "\\n";
    } else if (code == '\r') {
      escaped += "\\r";
    } else if (code == '\t') {
      escaped += "\\t";
    } else if (code == '\\') {
      escaped += "\\\\";
    } else if (code < 0x20 || code == 0x7F) {
      std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned>(code));
      escaped += hex;
    } else if ((code >= 0x80 && code <= 0x9F) || code == 0x2028 || code == 0x2029) {
      // C1 controls (NEL among them) and the Unicode line and paragraph separators: some
      // terminals and viewers start a new line at them.
      std::snprintf(hex, sizeof hex, "\\u%04X", static_cast<unsigned>(code));
      escaped += hex;
    } else {
      escaped.append(ParaText.substr(i, length));
    }
    i += length;
  }
  return escaped;
}

std::string QuotedForOneLine(std::string_view ParaText) {
  // Appended piece by piece: GCC 12's -Wrestrict misreads "'" + std::string at -O3.
  std::string quoted(1, '\'');
  quoted += EscapeForOneLine(ParaText);
  quoted += '\'';
  return quoted;
}
