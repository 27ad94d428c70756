// The game trace build's event log, read back for vantrel-sim --events: every field size, paint
// and mouse press that reached the world between two cycles, each line starting with the number
// of cycles run before it. Parsing only; sim_run.cpp applies the events between its cycles.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class TLoggedEventKind : uint8_t { Size, Draw, Press };

// One line of the log. A size carries its width and height in mFirst and mSecond, a press its
// point; mButton is 'L', 'R' or 'M' for a press and unused otherwise.
struct TLoggedEvent {
  int64_t mCycles = 0;
  TLoggedEventKind mKind = TLoggedEventKind::Draw;
  char mButton = 0;
  int32_t mFirst = 0;
  int32_t mSecond = 0;
};

// The events of a whole log, in its order. On a malformed line returns nothing and sets
// ParaError to one line naming the line number (counted from 1) and what is wrong there.
// Lines end with LF, the last one included; the cycle counts never go back.
std::optional<std::vector<TLoggedEvent>> ParseEventLog(std::string_view ParaText,
                                                       std::string& ParaError);

// The log in the file ParaPath, read whole; the error names the option and the file too.
std::optional<std::vector<TLoggedEvent>> ReadEventLog(const std::string& ParaPath,
                                                      std::string& ParaError);
