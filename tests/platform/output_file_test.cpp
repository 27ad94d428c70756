// Outputs written whole or not at all: the target changes only at Commit, an abandoned or
// interrupted output leaves nothing behind, names of one file are refused by identity, and a
// closed pipe on standard output is a reported failure. The driver's own tests cover full
// disks and the program's exit codes.
#include "platform/output_file.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class OutputFile : public testing::Test {
protected:
  void SetUp() override {
    mFolder = fs::path(testing::TempDir()) /
              ("vantrel-output-" + std::to_string(getpid()) + "-" +
               testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(mFolder);
    fs::create_directories(mFolder);
  }
  void TearDown() override { fs::remove_all(mFolder); }

  std::string Path(const char* ParaName) const { return (mFolder / ParaName).string(); }
  static std::string Read(const std::string& ParaPath) {
    std::ifstream file(ParaPath, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
  }
  static void Put(const std::string& ParaPath, const std::string& ParaText) {
    std::ofstream(ParaPath, std::ios::binary) << ParaText;
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(mFolder)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path mFolder;
};

} // namespace

TEST_F(OutputFile, TheTargetChangesOnlyWhenCommittedAndAnAbandonedOutputLeavesNothing) {
  Put(Path("keep.csv"), "old\n");
  std::string error;
  {
    TOutputFile abandoned("--csv", Path("keep.csv"), true);
    ASSERT_TRUE(abandoned.Open(error)) << error;
    abandoned.Write(std::string(200000, 'x')); // more than one buffer's worth reaches the disk
    ASSERT_TRUE(abandoned.Finish(error)) << error;
    EXPECT_EQ(Read(Path("keep.csv")), "old\n");
    EXPECT_EQ(Names().size(), 2u); // the target and the finished temporary file
  }
  EXPECT_EQ(Names(), std::vector<std::string>{"keep.csv"});
  EXPECT_EQ(Read(Path("keep.csv")), "old\n");

  fs::permissions(Path("keep.csv"), fs::perms(0640));
  TOutputFile written("--csv", Path("keep.csv"), true);
  ASSERT_TRUE(written.Open(error)) << error;
  written.Write("new ");
  written.Put('!');
  ASSERT_TRUE(FinishAndCommitOutputs({&written}, error)) << error;
  EXPECT_EQ(Read(Path("keep.csv")), "new !");
  EXPECT_EQ(Names(), std::vector<std::string>{"keep.csv"});
  EXPECT_EQ(fs::status(Path("keep.csv")).permissions(), fs::perms(0640));
}

TEST_F(OutputFile, AnOutputThatCannotBeCreatedSaysWhichAndWhy) {
  std::string error;
  TOutputFile missing("--plot", Path("no-folder/curve.svg"), true);
  EXPECT_FALSE(missing.Open(error));
  EXPECT_EQ(error, "cannot write the --plot file '" + Path("no-folder/curve.svg") +
                       "': No such file or directory");
  TOutputFile folder("--plot", mFolder.string(), true);
  EXPECT_FALSE(folder.Open(error));
  EXPECT_NE(error.find("Is a directory"), std::string::npos) << error;
  // Without the dash allowed, "-" is a file of that name.
  EXPECT_FALSE(TOutputFile("--plot", "-", false).IsStandardOutput());
}

TEST_F(OutputFile, TwoNamesOfOneFileAreRefusedByIdentityNotBySpelling) {
  Put(Path("x"), "x");
  fs::create_symlink(Path("x"), Path("link-to-x"));
  fs::create_symlink(Path("later"), Path("link-to-later")); // dangling: names "later"
  fs::create_hard_link(Path("x"), Path("hard-x"));
  const std::string relative = fs::relative(Path("x")).string();
  struct TCase {
    std::string mFirst, mSecond;
    bool mRefused;
  };
  const TCase cases[] = {
      {Path("x"), mFolder.string() + "/./x", true},
      {Path("x"), relative, true},
      {Path("x"), Path("link-to-x"), true},
      {Path("x"), Path("hard-x"), true},
      {Path("later"), Path("link-to-later"), true},
      {Path("later"), mFolder.string() + "/../" + mFolder.filename().string() + "/later", true},
      {Path("x"), Path("later"), false},
      {"/dev/null", "/dev/null", false}, // a sink several outputs may share
      {"-", "-", true},                  // standard output twice
  };
  for (const TCase& c : cases) {
    TOutputFile first("--plot", c.mFirst, true);
    TOutputFile second("--csv", c.mSecond, true);
    const std::string refusal = RefuseSharedOutputs({&first, &second});
    EXPECT_EQ(!refusal.empty(), c.mRefused) << c.mFirst << " / " << c.mSecond << ": " << refusal;
    if (c.mRefused) {
      EXPECT_NE(refusal.find("--plot"), std::string::npos) << refusal;
      EXPECT_NE(refusal.find("--csv"), std::string::npos) << refusal;
      EXPECT_EQ(refusal.find('\n'), std::string::npos) << refusal;
    }
  }
}

namespace {

// Runs ParaChild in a child process; its wait status.
template <typename TChild> int InChild(TChild ParaChild) {
  const pid_t child = fork();
  if (child == 0) {
    ParaChild();
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return status;
}

} // namespace

TEST_F(OutputFile, AClosedPipeOnStandardOutputIsAFailureNotTheEndOfTheProcess) {
  const int status = InChild([] {
    int ends[2];
    if (pipe(ends) != 0 || dup2(ends[1], STDOUT_FILENO) < 0) {
      _exit(3);
    }
    close(ends[0]);
    close(ends[1]);
    auto output = TOutputFile::StandardOutput("state");
    std::string error;
    output->Open(error);
    output->Write("state steps=1\n");
    const bool finished = output->Finish(error);
    _exit(!finished && error == "could not write standard output: Broken pipe" ? 0 : 4);
  });
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(OutputFile, AnInterruptRemovesTheTemporaryFilesAndEndsWithTheSignal) {
  for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
    Put(Path("keep.svg"), "old");
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    if (child == 0) {
      close(ready[0]);
      TOutputFile svg("--plot", Path("keep.svg"), true);
      TOutputFile csv("--csv", Path("new.csv"), true);
      std::string error;
      if (!svg.Open(error) || !csv.Open(error)) {
        _exit(3);
      }
      svg.Write(std::string(100000, 's'));
      csv.Write("step\n");
      std::string flushed;
      csv.Flush(flushed);
      (void)!write(ready[1], "r", 1);
      for (;;) {
        pause();
      }
    }
    close(ready[1]);
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    close(ready[0]);
    EXPECT_EQ(Names().size(), 3u) << "the target and two temporary files while running";
    kill(child, signalNumber);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << signalNumber;
    EXPECT_EQ(WTERMSIG(status), signalNumber);
    EXPECT_EQ(Names(), std::vector<std::string>{"keep.svg"}) << signalNumber;
    EXPECT_EQ(Read(Path("keep.svg")), "old");
  }
}
