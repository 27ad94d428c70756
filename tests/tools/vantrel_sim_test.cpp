// The headless driver as a program: same arguments, same bytes; bad arguments, exit code 2;
// a lost game keeps drawing three random numbers per frame.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace {

struct TRun {
  std::string mOutput;
  int mExitCode = -1;
};

TRun RunSim(const std::string& ParaArguments) {
  const std::string command = std::string(VANTREL_SIM_PATH) + " " + ParaArguments + " 2>/dev/null";
  TRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) {
    return run;
  }
  char buffer[4096];
  std::size_t read = 0;
  while ((read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
    run.mOutput.append(buffer, read);
  }
  const int status = pclose(pipe);
  run.mExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

std::string FirstLine(const std::string& ParaText) {
  return ParaText.substr(0, ParaText.find('\n'));
}

} // namespace

TEST(VantrelSim, TheSameArgumentsPrintTheSameBytes) {
  const std::string arguments =
      "--seed 20261209 --steps 1500 --trace 250 --size 400x300@0 --click R,200,150@120 "
      "--size 792x673@700 --click L,100,100@701";
  const TRun first = RunSim(arguments);
  const TRun second = RunSim(arguments);
  EXPECT_EQ(first.mExitCode, 0);
  EXPECT_GT(first.mOutput.size(), 1000u);
  EXPECT_EQ(first.mOutput, second.mOutput);
}

TEST(VantrelSim, ALevelWithSurvivorsLeadsToALargerOne) {
  const TRun run = RunSim("--seed 12 --steps 2200 --trace 500");
  ASSERT_EQ(run.mExitCode, 0);
  EXPECT_NE(run.mOutput.find("state steps=2200 "), std::string::npos);
  EXPECT_NE(run.mOutput.find(" person_count=120 persons=120 "), std::string::npos);
}

TEST(VantrelSim, BadArgumentsExitWithTwoAndPrintNothing) {
  for (const char* arguments : {"", "--seed 1", "--seed 1 --steps -3", "--seed x --steps 1",
                                "--seed 1 --steps 1 --persons 0", "--seed 1 --steps 1 --what 1",
                                "--seed 1 --steps 1 --click R,1,1"}) {
    const TRun run = RunSim(arguments);
    EXPECT_EQ(run.mExitCode, 2) << arguments;
    EXPECT_EQ(run.mOutput, "") << arguments;
  }
}

TEST(VantrelSim, ALostGameDrawsThreeRandomNumbersPerFrame) {
  // Everyone on one spot, all infected at once: nobody survives the level.
  const std::string common = "--seed 5 --persons 7 --size 1x1@0 --click R,0,0@0 ";
  const TRun before = RunSim(common + "--steps 1500");
  const TRun after = RunSim(common + "--steps 1501");
  ASSERT_EQ(before.mExitCode, 0);
  EXPECT_NE(FirstLine(before.mOutput).find(" over=1 "), std::string::npos) << before.mOutput;
  const auto seedOf = [](const std::string& ParaState) {
    const auto at = ParaState.find("seed=") + 5;
    return static_cast<uint32_t>(std::stoul(ParaState.substr(at, ParaState.find(' ', at) - at)));
  };
  uint32_t seed = seedOf(FirstLine(before.mOutput));
  for (int i = 0; i < 3; ++i) {
    seed = seed * 134775813u + 1u;
  }
  EXPECT_EQ(seedOf(FirstLine(after.mOutput)), seed);
}
