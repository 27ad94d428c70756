// Processes for tools that spread work over the cores: how many cores this process may use,
// whether standard error is a terminal, and worker processes of the same program that talk
// in lines over their standard input and output. Backends: posix_process.cpp and
// win32_process.cpp (which has no workers: a tool runs its work in-process there).
#pragma once

#include <memory>
#include <string>
#include <vector>

// The cores this process may run on (its affinity), at least 1.
unsigned PlatformAvailableCores();
bool PlatformStandardErrorIsTerminal();

// False where PlatformStartWorker cannot start anything.
bool PlatformCanStartWorkers();

class TWorkerProcess {
public:
  virtual ~TWorkerProcess() = default; // ends a worker that was not finished
  // One line to the worker's standard input (the newline is added).
  virtual bool SendLine(const std::string& ParaLine) = 0;
  // The worker's next line on its standard output, without the newline; false at its end.
  virtual bool ReceiveLine(std::string& ParaLine) = 0;
  // Closes its standard input and waits for it: empty when it ended with exit code 0,
  // otherwise how it ended ("exit code 1", "signal 9").
  virtual std::string Finish() = 0;
};

// Starts this very program with ParaArguments (without the program name); its standard error
// is ours. Null with ParaError when it cannot be started.
std::unique_ptr<TWorkerProcess> PlatformStartWorker(const std::vector<std::string>& ParaArguments,
                                                    std::string& ParaError);
