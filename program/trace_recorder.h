// The trace build's record of a run, which VantrelGameTrace.cpp wires to the game's window:
// the event log of every field size, paint and mouse press that reaches the world between two
// cycles, and after the --cycles-th step the world's state as the dump. Both files are checked
// before the window opens and replace their targets only together, once both are complete; a
// run that could not write them, or ended early, leaves the targets as they were and says why.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/output_file.h"
#include "platform/platform_toolkit.h"
#include "program/trace_options.h"

class TTraceRecorder {
public:
  // Raises std::runtime_error with a one-line message when an output cannot be written.
  explicit TTraceRecorder(const TTraceOptions& ParaOptions);
  TTraceRecorder(const TTraceRecorder&) = delete;
  TTraceRecorder& operator=(const TTraceRecorder&) = delete;

  // A step of the loop: its cycle comes first, then its paint. EndStep answers true once, at
  // the end of the --cycles-th step, after the dump and the log have been written (or have
  // failed): the run is over and the window should close.
  void BeginStep();
  bool EndStep();

  // What the world was given, each logged with the cycles run so far, until the run is over.
  void FieldSize(int32_t ParaWidth, int32_t ParaHeight);
  void Draw();
  void Press(TMouseButton ParaButton, int32_t ParaX, int32_t ParaY);

  // After the loop: empty when the dump and the log were written, otherwise what went wrong
  // (a failed write, or a window closed before the last step).
  std::string Failure() const;

private:
  void Log(const std::string& ParaLine);
  void Finish();
  std::vector<TOutputFile*> Outputs();

  TTraceOptions mOptions;
  TOutputFile mDump;
  std::unique_ptr<TOutputFile> mEvents; // absent without --events
  int64_t mCycles = 0;
  bool mOver = false;
  std::string mFailure;
};
