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
  std::string mSameDump = testing::TempDir() + "./trace-recorder-dump.txt"; // mDump spelt anew
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
  for (const TTraceOptions& options :
       {Options(1, missing, ""), Options(1, mDump, missing), Options(1, mDump, mSameDump)}) {
    const std::string refusal = RaisedBy([&] { TTraceRecorder recorder(options); });
    EXPECT_NE(refusal, "");
    EXPECT_EQ(refusal.find('\n'), std::string::npos) << refusal;
  }
  const std::string refusal =
      RaisedBy([&] { TTraceRecorder recorder(Options(1, mDump, missing)); });
  EXPECT_NE(refusal.find("--events file '/nonexistent-folder/x\\ny.txt'"), std::string::npos)
      << refusal;
  const std::string shared =
      RaisedBy([&] { TTraceRecorder recorder(Options(1, mDump, mSameDump)); });
  EXPECT_NE(shared.find("same file"), std::string::npos) << shared;
}

TEST_F(TraceRecorderTest, AFailedWriteOrAnEarlyEndIsAFailureAndLeavesTheFilesAsTheyWere) {
  std::ofstream(mDump) << "before";
  // /dev/full takes the open and refuses every write.
  TTraceRecorder full(Options(1, mDump, "/dev/full"));
  full.BeginStep();
  full.Draw();
  EXPECT_TRUE(full.EndStep());
  EXPECT_NE(full.Failure().find("--events file '/dev/full'"), std::string::npos) << full.Failure();
  {
    TTraceRecorder early(Options(3, mDump, mEvents));
    early.BeginStep();
    early.Draw();
    EXPECT_FALSE(early.EndStep());
    EXPECT_EQ(early.Failure(), "The window was closed after 1 of 3 cycles: nothing was written.");
  }
  EXPECT_EQ(ReadFile(mDump), "before");
  EXPECT_EQ(ReadFile(mEvents), "");
}

} // namespace
