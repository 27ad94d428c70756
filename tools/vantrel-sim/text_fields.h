// The fields of one line of vantrel-sim's own text formats (the trace game's event log, the
// summary rows): split at every separator, empty fields kept, so that a reader can refuse
// a doubled or a stray separator instead of passing over it.
#pragma once

#include <string_view>
#include <vector>

inline std::vector<std::string_view> SplitFields(std::string_view ParaLine, char ParaSeparator) {
  std::vector<std::string_view> fields;
  for (std::size_t start = 0;;) {
    const std::size_t end = ParaLine.find(ParaSeparator, start);
    fields.push_back(ParaLine.substr(start, end - start));
    if (end == std::string_view::npos) {
      return fields;
    }
    start = end + 1;
  }
}
