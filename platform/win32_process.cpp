// Win32 backend of platform_process.h: the processor count and the console test; no workers
// (a tool runs its work in-process on Windows and refuses more than one job). Pairs with
// posix_process.cpp.
#include <windows.h>

#include <cstdio>
#include <io.h>

#include "platform/platform_process.h"

unsigned PlatformAvailableCores() {
  DWORD_PTR process = 0;
  DWORD_PTR system = 0;
  if (GetProcessAffinityMask(GetCurrentProcess(), &process, &system) && process != 0) {
    unsigned count = 0;
    for (; process != 0; process &= process - 1) {
      ++count;
    }
    return count;
  }
  return 1;
}

bool PlatformStandardErrorIsTerminal() {
  return _isatty(_fileno(stderr)) != 0;
}

bool PlatformCanStartWorkers() {
  return false;
}

std::unique_ptr<TWorkerProcess> PlatformStartWorker(const std::vector<std::string>&,
                                                    std::string& ParaError) {
  ParaError = "worker processes are not available on Windows";
  return nullptr;
}
