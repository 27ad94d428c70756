// See trace_recorder.h.
#include "program/trace_recorder.h"

#include <stdexcept>

#include "simulation/world_state.h"

TTraceRecorder::TTraceRecorder(const TTraceOptions& ParaOptions)
    : mOptions(ParaOptions), mDump("--dump", ParaOptions.mDump, false) {
  if (!mOptions.mEvents.empty()) {
    mEvents = std::make_unique<TOutputFile>("--events", mOptions.mEvents, false);
  }
  if (std::string error; !OpenOutputs(Outputs(), error)) {
    throw std::runtime_error(error);
  }
}

std::vector<TOutputFile*> TTraceRecorder::Outputs() {
  std::vector<TOutputFile*> outputs{&mDump};
  if (mEvents) {
    outputs.push_back(mEvents.get());
  }
  return outputs;
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
  if (mOver || !mEvents) {
    return;
  }
  // LF on every platform: the output writes bytes as they are.
  mEvents->Write(ParaLine);
  mEvents->Put('\n');
}

void TTraceRecorder::Finish() {
  mOver = true;
  mDump.Write(WorldStateText(mCycles));
  FinishAndCommitOutputs(Outputs(), mFailure);
}

std::string TTraceRecorder::Failure() const {
  if (!mOver) {
    return "The window was closed after " + std::to_string(mCycles) + " of " +
           std::to_string(mOptions.mCycles) + " cycles: nothing was written.";
  }
  return mFailure;
}
