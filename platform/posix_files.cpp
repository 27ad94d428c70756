// POSIX backend of platform_files.h: open/write/rename on descriptors, identity by device and
// inode, and signal handlers that remove the registered temporary files. Pairs with
// win32_files.cpp.
#include "platform/platform_files.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/temporary_registry.h"

namespace {

constexpr std::size_t kPathBytes = 4096;
TTemporaryRegistry<char, kPathBytes> TemporariesPosix;

extern "C" void onInterruptPosix(int ParaSignal) {
  TemporariesPosix.RemoveAll([](const char* ParaPath) { unlink(ParaPath); });
  // SA_RESETHAND put the default action back; the signal stays blocked until the handler
  // returns and then ends the process, so the parent sees how it ended (a shell: 128 + n).
  raise(ParaSignal);
}

std::string errorTextPosix(int ParaErrno) {
  return std::strerror(ParaErrno != 0 ? ParaErrno : EIO);
}

std::string identityPosix(const struct stat& ParaStat) {
  return "dev " + std::to_string(static_cast<unsigned long long>(ParaStat.st_dev)) + " inode " +
         std::to_string(static_cast<unsigned long long>(ParaStat.st_ino));
}

std::string folderOfPosix(const std::string& ParaPath) {
  const auto slash = ParaPath.rfind('/');
  if (slash == std::string::npos) {
    return ".";
  }
  return slash == 0 ? "/" : ParaPath.substr(0, slash);
}

std::string lastPartPosix(const std::string& ParaPath) {
  const auto slash = ParaPath.rfind('/');
  return slash == std::string::npos ? ParaPath : ParaPath.substr(slash + 1);
}

// Follows symbolic links of the last part (a dangling one names the file it would create).
bool followLinksPosix(std::string& ParaPath) {
  for (int depth = 0; depth < 40; ++depth) {
    struct stat status {};
    if (lstat(ParaPath.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
      return true;
    }
    std::string target(kPathBytes, '\0');
    const ssize_t length = readlink(ParaPath.c_str(), target.data(), target.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= target.size()) {
      return false;
    }
    target.resize(static_cast<std::size_t>(length));
    ParaPath = target.front() == '/' ? target : folderOfPosix(ParaPath) + "/" + target;
  }
  errno = ELOOP;
  return false;
}

} // namespace

bool PlatformInspectFileTarget(const std::string& ParaPath, TFileTarget& ParaTarget,
                               std::string& ParaError) {
  ParaTarget = TFileTarget{};
  ParaTarget.mResolved = ParaPath;
  if (!followLinksPosix(ParaTarget.mResolved)) {
    ParaError = errorTextPosix(errno);
    return false;
  }
  struct stat status {};
  if (stat(ParaTarget.mResolved.c_str(), &status) == 0) {
    if (S_ISDIR(status.st_mode)) {
      ParaError = std::strerror(EISDIR);
      return false;
    }
    ParaTarget.mExists = true;
    ParaTarget.mReplaceable = S_ISREG(status.st_mode);
    ParaTarget.mShareable = S_ISCHR(status.st_mode);
    ParaTarget.mIdentity = identityPosix(status);
    return true;
  }
  if (errno != ENOENT) {
    ParaError = errorTextPosix(errno);
    return false;
  }
  // Not there yet: the folder it will be made in, and its name there.
  struct stat folder {};
  if (stat(folderOfPosix(ParaTarget.mResolved).c_str(), &folder) != 0) {
    ParaError = errorTextPosix(errno);
    return false;
  }
  if (!S_ISDIR(folder.st_mode)) {
    ParaError = std::strerror(ENOTDIR);
    return false;
  }
  ParaTarget.mIdentity = identityPosix(folder) + " name " + lastPartPosix(ParaTarget.mResolved);
  return true;
}

TFileTarget PlatformInspectStandardOutput() {
  TFileTarget target;
  struct stat status {};
  if (fstat(STDOUT_FILENO, &status) == 0) {
    target.mExists = true;
    target.mReplaceable = false;
    target.mShareable = S_ISCHR(status.st_mode);
    target.mIdentity = identityPosix(status);
  }
  return target;
}

int PlatformCreateTemporaryBeside(const std::string& ParaTarget, std::string& ParaTemporary,
                                  std::string& ParaError) {
  struct stat existing {};
  const bool exists = stat(ParaTarget.c_str(), &existing) == 0;
  // Hidden, and short enough for any file system's name limit whatever the target's length.
  const std::string base = lastPartPosix(ParaTarget).substr(0, 160);
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[48];
    std::snprintf(suffix, sizeof suffix, ".%ld.%u.tmp", static_cast<long>(getpid()),
                  counter.fetch_add(1));
    std::string temporary = folderOfPosix(ParaTarget) + "/." + base + suffix;
    if (!TemporariesPosix.Register(temporary)) {
      ParaError = "too many output files at once";
      return -1;
    }
    // 0666 less the umask, as the file would get if written directly.
    const int descriptor =
        open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    if (descriptor < 0) {
      const int failure = errno;
      TemporariesPosix.Forget(temporary);
      if (failure == EEXIST) {
        continue;
      }
      ParaError = errorTextPosix(failure);
      return -1;
    }
    if (exists && S_ISREG(existing.st_mode)) {
      // The replacement keeps the permissions of the file it replaces.
      fchmod(descriptor, existing.st_mode & 07777);
    }
    ParaTemporary = std::move(temporary);
    return descriptor;
  }
  ParaError = "no free temporary name beside it";
  return -1;
}

int PlatformOpenInPlace(const std::string& ParaPath, std::string& ParaError) {
  const int descriptor = open(ParaPath.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOCTTY);
  if (descriptor < 0) {
    ParaError = errorTextPosix(errno);
  }
  return descriptor;
}

int PlatformStandardOutputDescriptor() {
  return STDOUT_FILENO;
}

bool PlatformWriteAll(int ParaDescriptor, const char* ParaData, std::size_t ParaSize,
                      std::string& ParaError) {
  while (ParaSize > 0) {
    const ssize_t written = write(ParaDescriptor, ParaData, ParaSize);
    if (written < 0 && errno == EINTR) {
      continue;
    }
    if (written <= 0) {
      ParaError = errorTextPosix(written < 0 ? errno : EIO);
      return false;
    }
    ParaData += written;
    ParaSize -= static_cast<std::size_t>(written);
  }
  return true;
}

bool PlatformCloseFile(int ParaDescriptor, std::string& ParaError) {
  // NOTE: on Linux the descriptor is gone even when close fails, so it is never retried.
  if (close(ParaDescriptor) != 0 && errno != EINTR) {
    ParaError = errorTextPosix(errno);
    return false;
  }
  return true;
}

bool PlatformReplaceFile(const std::string& ParaTemporary, const std::string& ParaTarget,
                         std::string& ParaError) {
  if (std::rename(ParaTemporary.c_str(), ParaTarget.c_str()) != 0) {
    ParaError = errorTextPosix(errno);
    return false;
  }
  return true;
}

void PlatformDropTemporary(const std::string& ParaTemporary, bool ParaDelete) {
  if (ParaDelete) {
    unlink(ParaTemporary.c_str());
  }
  TemporariesPosix.Forget(ParaTemporary);
}

void PlatformPrepareOutputs() {
  // A closed pipe then fails the write with EPIPE, which the writer reports.
  std::signal(SIGPIPE, SIG_IGN);
  for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction previous {};
    sigaction(signalNumber, nullptr, &previous);
    if (previous.sa_handler == SIG_IGN) {
      // Started with it ignored (nohup, a background job): it stays ignored.
      continue;
    }
    struct sigaction action {};
    action.sa_handler = onInterruptPosix;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    sigaction(signalNumber, &action, nullptr);
  }
}
