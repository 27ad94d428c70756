// The headless driver as a program: same arguments, same bytes; bad arguments, exit code 2;
// a lost game keeps drawing three random numbers per frame; --help and the README agree;
// the plot and CSV files leave standard output alone; populations that cannot be had; outputs
// that fail, are refused or interrupted destroy nothing; sweeps are the single runs; a trace
// game's event log replays as the same sizes and clicks on the command line do.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct TRun {
  std::string mOutput;
  int mExitCode = -1;
  std::string mError; // standard error, where RunSimWithErrors caught it
};

// Runs a shell command; its standard output and exit code.
TRun RunCommand(const std::string& ParaCommand) {
  TRun run;
  FILE* pipe = popen(ParaCommand.c_str(), "r");
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

TRun RunSim(const std::string& ParaArguments) {
  return RunCommand(std::string(VANTREL_SIM_PATH) + " " + ParaArguments + " 2>/dev/null");
}

std::string ReadFile(const std::string& ParaPath) {
  std::ifstream file(ParaPath, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// As RunSim, with standard error kept; ParaShellPrefix runs first in the same shell.
TRun RunSimWithErrors(const std::string& ParaArguments, const std::string& ParaShellPrefix = "") {
  char errors[] = "/tmp/vantrel-sim-stderr-XXXXXX";
  const int descriptor = mkstemp(errors);
  if (descriptor < 0) {
    return {};
  }
  close(descriptor);
  TRun run = RunCommand(ParaShellPrefix + std::string(VANTREL_SIM_PATH) + " " + ParaArguments +
                        " 2>" + errors);
  run.mError = ReadFile(errors);
  std::remove(errors);
  return run;
}

std::string FirstLine(const std::string& ParaText) {
  return ParaText.substr(0, ParaText.find('\n'));
}

// A file in the test's scratch folder holding ParaText; its path.
std::string ScratchFile(const std::string& ParaName, const std::string& ParaText) {
  const std::string path = testing::TempDir() + ParaName;
  std::ofstream(path, std::ios::binary) << ParaText;
  return path;
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

TEST(VantrelSim, HelpPrintsEveryOptionAsTheReadmeListsThemAndExitsZero) {
  const TRun run = RunSimWithErrors("--help");
  EXPECT_EQ(run.mExitCode, 0);
  EXPECT_EQ(run.mError, "");
  for (const char* option : {"--seed", "--seeds", "--jobs", "--steps", "--until-game-over",
                             "--persons", "--size", "--click", "--trace", "--no-state", "--plot",
                             "--csv", "--summary", "--events", "--quiet", "--version", "--help"}) {
    EXPECT_NE(run.mOutput.find(std::string("\n  ") + option + " "), std::string::npos) << option;
  }
  // The README shows the same text in the block that follows "vantrel-sim --help".
  const std::string readme = ReadFile(std::string(VANTREL_SOURCE_DIR) + "/README.md");
  const auto shown = readme.find("$ vantrel-sim --help\n");
  ASSERT_NE(shown, std::string::npos) << "README has no --help block";
  const auto start = shown + std::string("$ vantrel-sim --help\n").size();
  const auto end = readme.find("```", start);
  EXPECT_EQ(readme.substr(start, end - start), run.mOutput);
}

TEST(VantrelSim, EveryBadArgumentIsOneLineOnStandardErrorAndExitCodeTwo) {
  for (const char* arguments :
       {"--seed 1 --seed 2 --steps 1", "--seed 1 --steps 1 --steps 1",
        "--seed 1 --steps 1 --trace 1 --trace 2", "--seed 1 --steps 1 --persons 5 --persons 5",
        "--seed \"$(printf '1\\n2')\" --steps 1", "--seed \"$(printf '\\377\\376')\" --steps 1",
        "--seed 1 --steps 1 -h", "--seed 1 --steps 1 --plot /nonexistent-folder/curve.svg",
        "--seed 1 --steps 1 --csv /nonexistent-folder/counts.csv",
        "--seed 1 --steps 1 --events /nonexistent-folder/events.txt",
        "--seed 1 --steps 1 --events /dev/null --size 3x3@0",
        "--seed 1 --steps 1 --click L,1,1@1 --events /dev/null"}) {
    const TRun run = RunSimWithErrors(arguments);
    EXPECT_EQ(run.mExitCode, 2) << arguments;
    EXPECT_EQ(run.mOutput, "") << arguments;
    ASSERT_FALSE(run.mError.empty()) << arguments;
    EXPECT_EQ(run.mError.find('\n'), run.mError.size() - 1) << arguments << ": " << run.mError;
    EXPECT_EQ(run.mError.find('\xff'), std::string::npos) << arguments;
  }
}

TEST(VantrelSim, PlotAndCsvLeaveStandardOutputByteForByteAlone) {
  const std::string arguments = "--seed 12 --steps 2500 --trace 100 --click R,400,300@150";
  const std::string svg = testing::TempDir() + "vantrel-sim-curve.svg";
  const std::string csv = testing::TempDir() + "vantrel-sim-counts.csv";
  const TRun plain = RunSimWithErrors(arguments);
  const TRun both = RunSimWithErrors(arguments + " --plot " + svg + " --csv " + csv);
  ASSERT_EQ(plain.mExitCode, 0);
  EXPECT_EQ(both.mExitCode, 0);
  EXPECT_EQ(both.mError, "");
  EXPECT_EQ(both.mOutput, plain.mOutput);
  EXPECT_NE(ReadFile(svg).find("</svg>"), std::string::npos);
  EXPECT_EQ(ReadFile(csv).substr(0, 5), "step,");
  std::remove(svg.c_str());
  std::remove(csv.c_str());
}

TEST(VantrelSim, AFileThatCannotBeWrittenIsAFailureNotASuccess) {
  // /dev/full takes the open and refuses every write.
  const TRun csv = RunSimWithErrors("--seed 3 --steps 50 --csv /dev/full");
  EXPECT_EQ(csv.mExitCode, 1);
  EXPECT_NE(csv.mError.find("--csv file '/dev/full'"), std::string::npos) << csv.mError;
  const TRun plot = RunSimWithErrors("--seed 3 --steps 50 --plot /dev/full");
  EXPECT_EQ(plot.mExitCode, 1);
  EXPECT_NE(plot.mError.find("--plot file '/dev/full'"), std::string::npos) << plot.mError;
}

TEST(VantrelSim, AnEventLogReplaysAsTheSameSizesAndClicksOnTheCommandLine) {
  // A tiny field where everyone is infected at once, so the game is lost by step 900 and every
  // paint after that draws random numbers; then a larger field and clicks on the lost game.
  const std::string scheduled =
      "--seed 9 --steps 1400 --size 3x3@0 --click R,1,1@0 --click L,1,2@0 --click R,2,2@40 "
      "--size 500x400@1000 --size 640x480@1000 --click L,250,200@1000 --click R,320,240@1300";
  std::string log = "0 size 3 3\n0 press right 1 1\n0 press left 1 2\n";
  for (int step = 1; step <= 1400; ++step) {
    const std::string k = std::to_string(step);
    log += step == 1000 ? k + " size 500 400\n" + k + " size 640 480\n" : "";
    log += k + " draw\n";
    log += step == 40 ? k + " press middle 2 2\n" + k + " press right 2 2\n" : "";
    log += step == 1000 ? k + " press left 250 200\n" : "";
    log += step == 1300 ? k + " press right 320 240\n" : "";
  }
  const TRun expected = RunSim(scheduled);
  ASSERT_EQ(expected.mExitCode, 0);
  ASSERT_NE(FirstLine(expected.mOutput).find(" over=1 "), std::string::npos);
  const std::string path = ScratchFile("vantrel-sim-events.txt", log);
  const TRun replayed = RunSimWithErrors("--seed 9 --steps 1400 --events " + path);
  EXPECT_EQ(replayed.mExitCode, 0) << replayed.mError;
  EXPECT_EQ(replayed.mOutput, expected.mOutput);
  // Every logged paint counts: one more after the game is lost moves the random source on.
  const std::string extra = ScratchFile("vantrel-sim-events-extra.txt",
                                        log.replace(log.find("1200 draw\n"), 0, "1200 draw\n"));
  const TRun withExtraDraw = RunSim("--seed 9 --steps 1400 --events " + extra);
  EXPECT_EQ(withExtraDraw.mExitCode, 0);
  EXPECT_NE(FirstLine(withExtraDraw.mOutput), FirstLine(expected.mOutput));
  std::remove(path.c_str());
  std::remove(extra.c_str());
}

TEST(VantrelSim, AMalformedEventLogIsOneLineNamingTheLineAndExitCodeTwo) {
  const std::string path =
      ScratchFile("vantrel-sim-bad-events.txt", "0 size 10 10\n1 draw\n2 press left 1\n");
  const TRun run = RunSimWithErrors("--seed 1 --steps 5 --events " + path);
  EXPECT_EQ(run.mExitCode, 2);
  EXPECT_EQ(run.mOutput, "");
  EXPECT_EQ(run.mError.find('\n'), run.mError.size() - 1) << run.mError;
  EXPECT_NE(run.mError.find(", line 3: "), std::string::npos) << run.mError;
  std::remove(path.c_str());
}

TEST(VantrelSim, APopulationLargerThanPhysicalMemoryIsRefusedBeforeAnyAllocation) {
  const TRun run = RunSimWithErrors("--seed 1 --steps 1 --persons 2147483647");
  EXPECT_EQ(run.mExitCode, 2);
  EXPECT_EQ(run.mOutput, "");
  EXPECT_NE(run.mError.find("--persons 2147483647 would need about "), std::string::npos)
      << run.mError;
  // Measured against what is free now, which is less than the machine has.
  const auto gigabytes = [&](const char* ParaAfter) {
    const auto at = run.mError.find(ParaAfter);
    return at == std::string::npos ? -1.0
                                   : std::stod(run.mError.substr(at + std::strlen(ParaAfter)));
  };
  EXPECT_GT(gigabytes(" available now (of "), gigabytes("more than the ")) << run.mError;
}

TEST(VantrelSim, APopulationThatCannotBeAllocatedNamesPersonsAndExitsWithTwo) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer reserves more address space than the limit allows";
#else
  // 20 million persons fit into physical memory but not into 1 GB of address space.
  const TRun run = RunSimWithErrors("--seed 1 --steps 1 --persons 20000000", "ulimit -v 1000000; ");
  EXPECT_EQ(run.mExitCode, 2);
  EXPECT_EQ(run.mOutput, "");
  EXPECT_NE(run.mError.find("--persons 20000000"), std::string::npos) << run.mError;
  EXPECT_NE(run.mError.find("GB of memory"), std::string::npos) << run.mError;
  EXPECT_EQ(run.mError.find("bad_alloc"), std::string::npos) << run.mError;
#endif
}

namespace {

// A folder of its own per test, with keep.svg and keep.csv holding "old" to be guarded.
class SimOutputs : public testing::Test {
protected:
  void SetUp() override {
    char folder[] = "/tmp/vantrel-sim-outputs-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    mFolder = folder;
    for (const char* name : {"keep.svg", "keep.csv"}) {
      std::ofstream(mFolder + "/" + name) << "old";
    }
  }
  void TearDown() override { RunCommand("rm -rf " + mFolder); }

  // The names in the folder, sorted, and the guarded files' contents: "old" unless changed.
  std::string Listing() const {
    return RunCommand("cd " + mFolder + " && ls -A | tr '\\n' ' ' && cat keep.svg keep.csv")
        .mOutput;
  }

  std::string mFolder;
};

} // namespace

TEST_F(SimOutputs, StandardOutputThatFailsIsOneLineExitOneAndNoFileIsReplaced) {
  // A full disk, a reader that went away after one byte (the state of 5000 persons is far more
  // than a pipe holds), and one that went away in a run of a hundred million steps: the run
  // ends there instead of running on for nothing.
  const std::string files = " --plot " + mFolder + "/keep.svg --csv " + mFolder + "/keep.csv";
  for (const auto& [tail, reason] : std::vector<std::pair<std::string, std::string>>{
           {"--persons 5000 --steps 3 >/dev/full", "No space left on device"},
           {"--persons 5000 --steps 3 | head -c 1 >/dev/null", "Broken pipe"},
           {"--steps 100000000 --trace 1 | head -c 1 >/dev/null", "Broken pipe"}}) {
    const std::string command = "set -o pipefail; timeout 120 " + std::string(VANTREL_SIM_PATH) +
                                " --seed 1" + files + " " + tail;
    const TRun run = RunCommand("bash -c '" + command + "' 2>&1");
    EXPECT_EQ(run.mExitCode, 1) << tail;
    EXPECT_EQ(run.mOutput, "vantrel-sim: could not write standard output: " + reason + "\n");
    EXPECT_EQ(Listing(), "keep.csv keep.svg oldold");
  }
}

TEST_F(SimOutputs, ARefusedRunLeavesEveryFileAsItWas) {
  const std::string files = " --plot " + mFolder + "/keep.svg --csv " + mFolder + "/keep.csv";
  for (const std::string& arguments : std::vector<std::string>{
           "--seed 1 --steps 10 --plot " + mFolder + "/keep.svg --csv /nonexistent/x.csv",
           "--seed 1 --steps 10 --persons 2147483647" + files,
           "--seed 1 --steps 10 --persons 5 --csv " + mFolder + "/keep.csv --summary " + mFolder +
               "/./keep.csv"}) {
    const TRun run = RunSimWithErrors(arguments);
    EXPECT_EQ(run.mExitCode, 2) << arguments;
    EXPECT_EQ(run.mError.find('\n'), run.mError.size() - 1) << run.mError;
    EXPECT_EQ(Listing(), "keep.csv keep.svg oldold") << arguments;
  }
}

TEST_F(SimOutputs, TwoNamesOfOneFileAreRefusedWhateverTheSpelling) {
  RunCommand("cd " + mFolder + " && ln -s keep.csv link.csv && ln keep.svg hard.svg");
  for (const std::string& arguments : std::vector<std::string>{
           "--plot keep.svg --csv ./keep.svg", "--plot " + mFolder + "/keep.svg --csv keep.svg",
           "--plot keep.svg --csv hard.svg", "--csv keep.csv --plot link.csv",
           "--csv link.csv --no-state --trace 1 >>keep.csv"}) {
    const TRun run = RunCommand("cd " + mFolder + " && " + VANTREL_SIM_PATH +
                                " --seed 1 --steps 5 2>&1 " + arguments);
    EXPECT_EQ(run.mExitCode, 2) << arguments;
    EXPECT_NE(run.mOutput.find("the same file"), std::string::npos) << run.mOutput;
    EXPECT_EQ(run.mOutput.find('\n'), run.mOutput.size() - 1) << run.mOutput;
  }
  EXPECT_EQ(Listing(), "hard.svg keep.csv keep.svg link.csv oldold");
}

TEST_F(SimOutputs, AFullDiskFailsTheRunAndLeavesTheOldFileWhole) {
  if (geteuid() != 0 || RunCommand("unshare -m true 2>/dev/null").mExitCode != 0) {
    GTEST_SKIP() << "mounting a small tmpfs needs root (CI runs as root)";
  }
  // A 16 KiB tmpfs in a mount namespace of the test's own, gone when the shell ends. The
  // files in it hold "old"; the run's CSV (about 40 KB) and its state do not fit.
  const std::string sim = VANTREL_SIM_PATH;
  const std::string script =
      "mount -t tmpfs -o size=16k tmpfs " + mFolder + " && cd " + mFolder +
      " && echo old >keep.csv && echo old >out.txt && " + sim +
      " --seed 1 --persons 300 --steps 3000 --csv keep.csv 2>&1 >/dev/null; echo csv $?; " + sim +
      " --seed 1 --persons 300 --steps 3000 2>&1 >>out.txt; echo state $?; " +
      "ls -A | xargs echo; cat keep.csv; head -c 4 out.txt";
  const TRun run = RunCommand("unshare -m sh -c '" + script + "'");
  EXPECT_EQ(run.mOutput,
            "vantrel-sim: could not write the --csv file 'keep.csv': No space left on device\n"
            "csv 1\nvantrel-sim: could not write standard output: No space left on device\n"
            "state 1\nkeep.csv out.txt\nold\nold\n");
}

TEST_F(SimOutputs, AnInterruptRemovesTheTemporaryFilesAndEndsWithTheSignal) {
  for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
    const std::string svg = mFolder + "/keep.svg";
    const std::string csv = mFolder + "/keep.csv";
    const pid_t child = fork();
    if (child == 0) {
      execl(VANTREL_SIM_PATH, VANTREL_SIM_PATH, "--seed", "1", "--persons", "300", "--steps",
            "100000000", "--plot", svg.c_str(), "--csv", csv.c_str(), "--quiet", nullptr);
      _exit(127);
    }
    // Until the CSV's temporary file has grown past its first buffer, at most 20 s.
    bool running = false;
    for (int i = 0; i < 2000 && !running; ++i) {
      usleep(10000);
      running =
          RunCommand("find " + mFolder + " -name '*.tmp' -size +70k | grep -q .").mExitCode == 0;
    }
    EXPECT_TRUE(running) << "no temporary file appeared";
    kill(child, signalNumber);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << signalNumber;
    EXPECT_EQ(WTERMSIG(status), signalNumber);
    EXPECT_EQ(Listing(), "keep.csv keep.svg oldold") << signalNumber;
  }
}

TEST(VantrelSim, ASweepIsTheSingleRunsInSeedOrderWithAnyNumberOfJobs) {
  // A crowded field where the clicks hit: without them every row would differ.
  const std::string perGame = " --steps 2500 --persons 60 --size 60x50@0 --click R,30,25@130 "
                              "--click L,20,20@400 --click L,40,30@400 --until-game-over";
  std::string singles = "";
  for (int seed = 40; seed <= 45; ++seed) {
    const TRun run = RunSim("--seed " + std::to_string(seed) + perGame + " --summary - --no-state");
    ASSERT_EQ(run.mExitCode, 0);
    singles += run.mOutput.substr(singles.empty() ? 0 : run.mOutput.find('\n') + 1);
  }
  EXPECT_NE(singles.find(",1,"), std::string::npos) << "no game was lost: " << singles;
  for (const char* jobs : {"1", "4"}) {
    const TRun sweep = RunSim("--seeds 40..45 --jobs " + std::string(jobs) + perGame);
    EXPECT_EQ(sweep.mExitCode, 0);
    EXPECT_EQ(sweep.mOutput, singles) << "--jobs " << jobs;
  }
  // Disjoint ranges concatenate: the rows after each header are the whole range's.
  const TRun first = RunSim("--seeds 40..41 --jobs 2" + perGame);
  const TRun second = RunSim("--seeds 42..45 --jobs 3" + perGame);
  EXPECT_EQ(first.mOutput + second.mOutput.substr(second.mOutput.find('\n') + 1), singles);
}

TEST(VantrelSim, UntilGameOverEndsTheRunAtTheStepTheGameIsLost) {
  const std::string game = "--seed 5 --persons 7 --size 1x1@0 --click R,0,0@0 --trace 1 ";
  // The summary row of the full run: seed,steps,level,level_ends,game_over,game_over_step,...
  const std::string summary = testing::TempDir() + "vantrel-sim-lost.csv";
  ASSERT_EQ(RunSim(game + "--steps 1500 --summary " + summary + " --no-state").mExitCode, 0);
  const std::string rows = ReadFile(summary);
  std::remove(summary.c_str());
  std::stringstream row(rows.substr(rows.find('\n') + 1));
  std::vector<std::string> fields;
  for (std::string field; std::getline(row, field, ',');) {
    fields.push_back(field);
  }
  ASSERT_GE(fields.size(), 6u) << rows;
  ASSERT_EQ(fields[4], "1") << "the game is lost";
  const std::string step = fields[5];
  // The stopped run is the run of exactly that many steps: trace lines and state alike.
  const TRun stopped = RunSim(game + "--steps 1500 --until-game-over");
  EXPECT_EQ(stopped.mOutput, RunSim(game + "--steps " + step).mOutput);
  EXPECT_NE(stopped.mOutput.find("\nstate steps=" + step + " "), std::string::npos);
  EXPECT_NE(stopped.mOutput.find(" over=1 "), std::string::npos);
}

TEST(VantrelSim, OnlyTheOutputAskedForReachesStandardOutput) {
  const std::string csv = testing::TempDir() + "vantrel-sim-only.csv";
  const std::string game = "--seed 9 --steps 300 --click L,400,300@5 ";
  ASSERT_EQ(RunSim(game + "--no-state --csv " + csv).mOutput, "");
  EXPECT_EQ(RunSim(game + "--no-state --csv -").mOutput, ReadFile(csv));
  EXPECT_NE(ReadFile(csv).find(",quarantined\n"), std::string::npos);
  EXPECT_EQ(RunSim(game + "--no-state --trace 100").mOutput.find("state "), std::string::npos);
  EXPECT_EQ(RunSim("--version").mOutput, "vantrel-sim " VANTREL_VERSION "\n");
  std::remove(csv.c_str());
}
