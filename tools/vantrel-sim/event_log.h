// The game trace build's event log, read back for vantrel-sim --events: every field size, paint
// and mouse press that reached the world between two cycles, each line starting with the number
// of cycles run before it. Parsing and replaying only; the driver's loop runs the cycles.
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

// Applies a log's events to the world step by step, as the game made them: the events with
// count k right after cycle k (0: before the first cycle). A size calls ProgramSetFieldSize, a
// draw the paint it is handed (ProgramDraw, or the driver's paint without persons; either needs
// the OpenGL entry points pointed at a table), a left press
// ProgramQuarantine, a right press ProgramInfect, a middle press nothing.
class TEventReplay {
public:
  explicit TEventReplay(std::vector<TLoggedEvent> ParaEvents);
  // Applies the events logged after ParaStep cycles; steps come in ascending order.
  void RunStep(int64_t ParaStep, void (*ParaPaint)());

private:
  std::vector<TLoggedEvent> mEvents;
  std::size_t mNext = 0;
};
