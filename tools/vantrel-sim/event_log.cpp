// Reading the trace build's event log; see event_log.h.
#include "tools/vantrel-sim/event_log.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>

#include "runtime/one_line_text.h"
#include "runtime/whole_number.h"
#include "tools/vantrel-sim/text_fields.h"

namespace {

constexpr int32_t kInt32Min = std::numeric_limits<int32_t>::min();
constexpr int32_t kInt32Max = std::numeric_limits<int32_t>::max();
constexpr int64_t kInt64Max = std::numeric_limits<int64_t>::max();

constexpr const char* kExpectedForms =
    "expected '<cycles> size <W> <H>', '<cycles> draw' or '<cycles> press left|right|middle <X> "
    "<Y>'";

// One line into ParaEvent; an empty result, or what is wrong with it.
std::string ParseLine(std::string_view ParaLine, TLoggedEvent& ParaEvent) {
  // An empty field (two spaces, a space at either end) makes the line malformed.
  const std::vector<std::string_view> fields = SplitFields(ParaLine, ' ');
  if (fields.size() < 2 || !ParseWholeNumber(fields[0], int64_t{0}, kInt64Max, ParaEvent.mCycles)) {
    return kExpectedForms;
  }
  const std::string_view kind = fields[1];
  if (kind == "draw" && fields.size() == 2) {
    ParaEvent.mKind = TLoggedEventKind::Draw;
    return {};
  }
  if (kind == "size" && fields.size() == 4) {
    ParaEvent.mKind = TLoggedEventKind::Size;
    if (!ParseWholeNumber(fields[2], 0, kInt32Max, ParaEvent.mFirst) ||
        !ParseWholeNumber(fields[3], 0, kInt32Max, ParaEvent.mSecond)) {
      return "a size needs a width and a height of 0..2147483647";
    }
    return {};
  }
  if (kind == "press" && fields.size() == 5) {
    ParaEvent.mKind = TLoggedEventKind::Press;
    const std::string_view button = fields[2];
    if (button == "left") {
      ParaEvent.mButton = 'L';
    } else if (button == "right") {
      ParaEvent.mButton = 'R';
    } else if (button == "middle") {
      ParaEvent.mButton = 'M';
    } else {
      return "a press names its button left, right or middle";
    }
    if (!ParseWholeNumber(fields[3], kInt32Min, kInt32Max, ParaEvent.mFirst) ||
        !ParseWholeNumber(fields[4], kInt32Min, kInt32Max, ParaEvent.mSecond)) {
      return "a press needs a point of 32-bit whole numbers";
    }
    return {};
  }
  return kExpectedForms;
}

} // namespace

std::optional<std::vector<TLoggedEvent>> ParseEventLog(std::string_view ParaText,
                                                       std::string& ParaError) {
  std::vector<TLoggedEvent> events;
  int64_t number = 0;
  std::size_t start = 0;
  while (start < ParaText.size()) {
    ++number;
    const std::size_t end = ParaText.find('\n', start);
    const auto refuse = [&](const std::string& ParaWhat) {
      ParaError = "line " + std::to_string(number) + ": " + ParaWhat;
      return std::nullopt;
    };
    if (end == std::string_view::npos) {
      // The game ends every line; a last line without its end is a log cut short.
      return refuse("no line end: the log is cut short");
    }
    const std::string_view line = ParaText.substr(start, end - start);
    TLoggedEvent event;
    const std::string wrong = ParseLine(line, event);
    if (!wrong.empty()) {
      return refuse(wrong + ", not " + QuotedForOneLine(line));
    }
    if (!events.empty() && event.mCycles < events.back().mCycles) {
      return refuse("the cycle count goes back from " + std::to_string(events.back().mCycles) +
                    " to " + std::to_string(event.mCycles));
    }
    events.push_back(event);
    start = end + 1;
  }
  return events;
}

std::optional<std::vector<TLoggedEvent>> ReadEventLog(const std::string& ParaPath,
                                                      std::string& ParaError) {
  const std::string named = "--events file " + QuotedForOneLine(ParaPath);
  std::FILE* file = std::fopen(ParaPath.c_str(), "rb");
  if (file == nullptr) {
    ParaError = "cannot read the " + named + ": " + std::strerror(errno);
    return std::nullopt;
  }
  std::string text;
  char buffer[1 << 16];
  std::size_t read = 0;
  while ((read = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    text.append(buffer, read);
  }
  // A folder opens but does not read (EISDIR): that is an error, not an empty log.
  const int failure = std::ferror(file) != 0 ? (errno != 0 ? errno : EIO) : 0;
  std::fclose(file);
  if (failure != 0) {
    ParaError = "cannot read the " + named + ": " + std::strerror(failure);
    return std::nullopt;
  }
  std::string error;
  auto events = ParseEventLog(text, error);
  if (!events) {
    ParaError = named + ", " + error;
  }
  return events;
}
