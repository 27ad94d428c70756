// See trace_recorder.h.
#include "program/trace_recorder.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "runtime/one_line_text.h"
#include "simulation/world_state.h"

namespace {

// Binary: the bytes must equal the headless driver's, and the log's lines end with LF, on
// every platform.
std::FILE* OpenOutput(const std::string& ParaPath, const char* ParaWhat) {
  std::FILE* file = std::fopen(ParaPath.c_str(), "wb");
  if (file == nullptr) {
    throw std::runtime_error(std::string("Cannot write the ") + ParaWhat + " " +
                             QuotedForOneLine(ParaPath) + ": " + std::strerror(errno) + ".");
  }
  return file;
}

// Closes ParaFile; false when a write to it or the close failed.
bool CloseOutput(std::FILE*& ParaFile) {
  const bool failed = std::ferror(ParaFile) != 0;
  const bool closed = std::fclose(ParaFile) == 0;
  ParaFile = nullptr;
  return !failed && closed;
}

} // namespace

TTraceRecorder::TTraceRecorder(const TTraceOptions& ParaOptions) : mOptions(ParaOptions) {
  mDump = OpenOutput(mOptions.mDump, "trace dump");
  if (!mOptions.mEvents.empty()) {
    try {
      mEvents = OpenOutput(mOptions.mEvents, "event log");
    } catch (...) {
      std::fclose(mDump);
      throw;
    }
  }
}

TTraceRecorder::~TTraceRecorder() {
  for (std::FILE* file : {mDump, mEvents}) {
    if (file != nullptr) {
      std::fclose(file);
    }
  }
}

void TTraceRecorder::BeginStep() {
  ++mCycles;
}

bool TTraceRecorder::EndStep() {
  if (mOver || mCycles < mOptions.mCycles) {
    return false;
  }
  Finish();
  return true;
}

void TTraceRecorder::FieldSize(int32_t ParaWidth, int32_t ParaHeight) {
  Log(std::to_string(mCycles) + " size " + std::to_string(ParaWidth) + " " +
      std::to_string(ParaHeight));
}

void TTraceRecorder::Draw() {
  Log(std::to_string(mCycles) + " draw");
}

void TTraceRecorder::Press(TMouseButton ParaButton, int32_t ParaX, int32_t ParaY) {
  const char* button = ParaButton == mbLeft ? "left" : ParaButton == mbRight ? "right" : "middle";
  Log(std::to_string(mCycles) + " press " + button + " " + std::to_string(ParaX) + " " +
      std::to_string(ParaY));
}

void TTraceRecorder::Log(const std::string& ParaLine) {
  if (mOver || mEvents == nullptr) {
    return;
  }
  std::fputs(ParaLine.c_str(), mEvents);
  std::fputc('\n', mEvents);
}

void TTraceRecorder::Finish() {
  mOver = true;
  const std::string state = WorldStateText(mCycles);
  std::fwrite(state.data(), 1, state.size(), mDump);
  if (!CloseOutput(mDump)) {
    mFailure = "Cannot write the trace dump " + QuotedForOneLine(mOptions.mDump) + ".";
  }
  if (mEvents != nullptr && !CloseOutput(mEvents) && mFailure.empty()) {
    mFailure = "Cannot write the event log " + QuotedForOneLine(mOptions.mEvents) + ".";
  }
}

std::string TTraceRecorder::Failure() const {
  if (!mOver) {
    return "The window was closed after " + std::to_string(mCycles) + " of " +
           std::to_string(mOptions.mCycles) + " cycles: nothing was written.";
  }
  return mFailure;
}
