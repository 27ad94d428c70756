// POSIX backend of platform_process.h: workers are this program again (/proc/self/exe),
// started with posix_spawn and two pipes. Pairs with win32_process.cpp.
#include "platform/platform_process.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

class TWorkerProcessPosix final : public TWorkerProcess {
public:
  TWorkerProcessPosix(pid_t ParaProcess, int ParaInput, int ParaOutput)
      : mProcess(ParaProcess), mInput(ParaInput), mOutput(fdopen(ParaOutput, "r")) {}
  ~TWorkerProcessPosix() override {
    if (mProcess > 0) {
      kill(mProcess, SIGKILL);
      Finish();
    }
  }

  bool SendLine(const std::string& ParaLine) override {
    const std::string line = ParaLine + "\n";
    std::size_t sent = 0;
    while (mInput >= 0 && sent < line.size()) {
      const ssize_t written = write(mInput, line.data() + sent, line.size() - sent);
      if (written < 0 && errno == EINTR) {
        continue;
      }
      if (written <= 0) {
        return false; // EPIPE: the worker has gone; SIGPIPE is ignored by the outputs
      }
      sent += static_cast<std::size_t>(written);
    }
    return sent == line.size();
  }

  bool ReceiveLine(std::string& ParaLine) override {
    ParaLine.clear();
    if (mOutput == nullptr) {
      return false;
    }
    for (int c = std::getc(mOutput); c != EOF; c = std::getc(mOutput)) {
      if (c == '\n') {
        return true;
      }
      ParaLine.push_back(static_cast<char>(c));
    }
    return false;
  }

  std::string Finish() override {
    if (mInput >= 0) {
      close(mInput);
      mInput = -1;
    }
    if (mOutput != nullptr) {
      std::fclose(mOutput);
      mOutput = nullptr;
    }
    if (mProcess <= 0) {
      return {};
    }
    int status = 0;
    while (waitpid(mProcess, &status, 0) < 0 && errno == EINTR) {
    }
    mProcess = 0;
    if (WIFEXITED(status)) {
      return WEXITSTATUS(status) == 0 ? std::string()
                                      : "exit code " + std::to_string(WEXITSTATUS(status));
    }
    return "signal " + std::to_string(WIFSIGNALED(status) ? WTERMSIG(status) : 0);
  }

private:
  pid_t mProcess;
  int mInput;
  std::FILE* mOutput;
};

} // namespace

unsigned PlatformAvailableCores() {
  cpu_set_t set;
  CPU_ZERO(&set);
  if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0) {
    return static_cast<unsigned>(CPU_COUNT(&set));
  }
  const long online = sysconf(_SC_NPROCESSORS_ONLN);
  return online > 0 ? static_cast<unsigned>(online) : 1u;
}

bool PlatformStandardErrorIsTerminal() {
  return isatty(STDERR_FILENO) == 1;
}

bool PlatformCanStartWorkers() {
  return true;
}

std::unique_ptr<TWorkerProcess> PlatformStartWorker(const std::vector<std::string>& ParaArguments,
                                                    std::string& ParaError) {
  int toWorker[2];
  int fromWorker[2];
  if (pipe2(toWorker, O_CLOEXEC) != 0) {
    ParaError = std::strerror(errno);
    return nullptr;
  }
  if (pipe2(fromWorker, O_CLOEXEC) != 0) {
    ParaError = std::strerror(errno);
    close(toWorker[0]);
    close(toWorker[1]);
    return nullptr;
  }
  // The worker's ends become its standard input and output; every other descriptor of ours
  // is close-on-exec, so a worker holds no other worker's pipe open.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, toWorker[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, fromWorker[1], STDOUT_FILENO);
  std::vector<std::string> words = {"/proc/self/exe"};
  words.insert(words.end(), ParaArguments.begin(), ParaArguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) {
    argv.push_back(word.data());
  }
  argv.push_back(nullptr);
  pid_t process = 0;
  const int failed =
      posix_spawn(&process, "/proc/self/exe", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(toWorker[0]);
  close(fromWorker[1]);
  if (failed != 0) {
    close(toWorker[1]);
    close(fromWorker[0]);
    ParaError = std::strerror(failed);
    return nullptr;
  }
  return std::make_unique<TWorkerProcessPosix>(process, toWorker[1], fromWorker[0]);
}
