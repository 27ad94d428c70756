// The trace build's record of a run: the event log's exact lines and when they stop, the dump
// after the last step, and every way the run can fail to write them.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

#include "program/trace_recorder.h"
#include "runtime/random.h"
#include "simulation/Unit_TProgram.h"
#include "simulation/world_state.h"

namespace {

std::string ReadFile(const std::string& ParaPath) {
  std::ifstream file(ParaPath, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

TTraceOptions Options(int64_t ParaCycles, const std::string& ParaDump,
                      const std::string& ParaEvents) {
  TTraceOptions options;
  options.mCycles = ParaCycles;
  options.mDump = ParaDump;
  options.mEvents = ParaEvents;
  return options;
}

class TraceRecorderTest : public ::testing::Test {
protected:
  void SetUp() override {
    RandSeed = 5;
    ProgramCreate();
  }
  void TearDown() override {
    ProgramDestroy();
    std::remove(mDump.c_str());
    std::remove(mEvents.c_str());
  }

  // The message of the error that ParaRun raises, or "" when it raises none.
  template <typename TRun> static std::string RaisedBy(const TRun& ParaRun) {
    try {
      ParaRun();
    } catch (const std::runtime_error& error) {
      return error.what();
    }
    return "";
  }

  std::string mDump = testing::TempDir() + "trace-recorder-dump.txt";
  std::string mEvents = testing::TempDir() + "trace-recorder-events.txt";
};

TEST_F(TraceRecorderTest, LogsWhatTheWorldSawWithTheCyclesRunUntilTheDump) {
  TTraceRecorder recorder(Options(2, mDump, mEvents));
  recorder.Draw(); // a paint before the first cycle
  recorder.BeginStep();
  recorder.FieldSize(792, 673);
  recorder.Draw();
  recorder.Press(mbMiddle, -1, 7);
  EXPECT_FALSE(recorder.EndStep());
  recorder.BeginStep();
  recorder.Draw();
  recorder.Press(mbLeft, 0, 672);
  recorder.Press(mbRight, 791, 0);
  EXPECT_TRUE(recorder.EndStep());
  // After the dump: the run is over and nothing more is logged.
  recorder.Press(mbLeft, 1, 1);
  recorder.BeginStep();
  recorder.FieldSize(5, 5);
  recorder.Draw();
  EXPECT_FALSE(recorder.EndStep());
  EXPECT_EQ(recorder.Failure(), "");
  EXPECT_EQ(ReadFile(mEvents), "0 draw\n1 size 792 673\n1 draw\n1 press middle -1 7\n2 draw\n"
                               "2 press left 0 672\n2 press right 791 0\n");
  EXPECT_EQ(ReadFile(mDump), WorldStateText(2));
}

TEST_F(TraceRecorderTest, AnOutputThatCannotBeWrittenIsRefusedBeforeTheRun) {
  const std::string missing = "/nonexistent-folder/x\ny.txt";
  for (const TTraceOptions& options : {Options(1, missing, ""), Options(1, mDump, missing)}) {
    const std::string refusal = RaisedBy([&] { TTraceRecorder recorder(options); });
    EXPECT_NE(refusal.find("'/nonexistent-folder/x\\ny.txt'"), std::string::npos) << refusal;
    EXPECT_NE(refusal.find(options.mDump == missing ? "trace dump" : "event log"),
              std::string::npos)
        << refusal;
  }
}

TEST_F(TraceRecorderTest, AFailedWriteOrAnEarlyEndIsAFailureNotASuccess) {
  // /dev/full takes the open and refuses every write.
  for (const TTraceOptions& options :
       {Options(1, "/dev/full", mEvents), Options(1, mDump, "/dev/full")}) {
    TTraceRecorder recorder(options);
    recorder.BeginStep();
    recorder.Draw();
    EXPECT_TRUE(recorder.EndStep());
    EXPECT_NE(recorder.Failure().find(options.mDump == "/dev/full" ? "trace dump '/dev/full'"
                                                                   : "event log '/dev/full'"),
              std::string::npos)
        << recorder.Failure();
  }
  TTraceRecorder early(Options(3, mDump, mEvents));
  early.BeginStep();
  EXPECT_FALSE(early.EndStep());
  EXPECT_EQ(early.Failure(), "The window was closed after 1 of 3 cycles: nothing was written.");
}

} // namespace
