// The sweep; see sweep.h.
#include "tools/vantrel-sim/sweep.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <new>
#include <optional>
#include <stdexcept>
#include <thread>

#include "platform/platform_process.h"
#include "runtime/whole_number.h"
#include "simulation/Unit_THumanity.h"
#include "tools/vantrel-sim/progress.h"
#include "tools/vantrel-sim/sim_run.h"

namespace {

uint64_t SeedCount(const TSimOptions& ParaOptions) {
  return uint64_t{ParaOptions.mSeedLast} - ParaOptions.mSeedFirst + 1;
}

// The row of one seed, made in this process.
std::string RowOf(const TSimOptions& ParaOptions, uint32_t ParaSeed, TRunSummary& ParaSummary) {
  TRunProgress progress;
  try {
    ParaSummary = RunGame(ParaOptions, ParaSeed, true, nullptr, progress);
  } catch (const std::bad_alloc&) {
    throw std::runtime_error("seed " + std::to_string(ParaSeed) + ": out of memory in step " +
                             std::to_string(progress.mStep) + " (" + std::to_string(PersonCount) +
                             " persons)");
  }
  return SummaryCsvRow(ParaSummary);
}

// What the worker threads share with the thread that writes the rows.
struct TSweepState {
  std::mutex mLock;
  std::condition_variable mChanged;
  uint64_t mNext = 0;                            // the next seed's index to hand out
  std::vector<std::optional<std::string>> mRows; // by index, newline included
  std::string mFailure;                          // the first failure; ends the sweep
  int mRunning = 0;                              // worker threads still going
};

// One worker process, fed seeds until there are none left or something failed.
void FeedWorker(const TSimOptions& ParaOptions, const std::vector<std::string>& ParaArguments,
                TSweepState& ParaState) {
  std::string failure;
  std::string error;
  auto worker = PlatformStartWorker(ParaArguments, error);
  if (!worker) {
    failure = "cannot start a worker process: " + error;
  }
  const uint64_t count = SeedCount(ParaOptions);
  while (worker && failure.empty()) {
    uint64_t index = 0;
    {
      std::lock_guard<std::mutex> lock(ParaState.mLock);
      if (ParaState.mNext >= count || !ParaState.mFailure.empty()) {
        break;
      }
      index = ParaState.mNext++;
    }
    const uint32_t seed = static_cast<uint32_t>(ParaOptions.mSeedFirst + index);
    std::string row;
    if (!worker->SendLine(std::to_string(seed)) || !worker->ReceiveLine(row)) {
      const std::string ended = worker->Finish();
      failure = "seed " + std::to_string(seed) + ": the worker process ended (" +
                (ended.empty() ? std::string("exit code 0") : ended) + ")";
      break;
    }
    std::lock_guard<std::mutex> lock(ParaState.mLock);
    ParaState.mRows[index] = row + "\n";
    ParaState.mChanged.notify_all();
  }
  if (worker && failure.empty()) {
    const std::string ended = worker->Finish();
    if (!ended.empty()) {
      failure = "a worker process ended with " + ended;
    }
  }
  std::lock_guard<std::mutex> lock(ParaState.mLock);
  if (!failure.empty() && ParaState.mFailure.empty()) {
    ParaState.mFailure = failure;
  }
  --ParaState.mRunning;
  ParaState.mChanged.notify_all();
}

// The command line of the workers: this one without what only the sweep's process does.
std::vector<std::string> WorkerArguments(const std::vector<std::string>& ParaArguments) {
  std::vector<std::string> arguments;
  for (std::size_t i = 0; i < ParaArguments.size(); ++i) {
    const std::string& word = ParaArguments[i];
    if (word == "--jobs" || word == "--summary" || word == "--plot") {
      ++i;
    } else if (word != "--quiet") {
      arguments.push_back(word);
    }
  }
  arguments.push_back("--quiet");
  arguments.push_back(kSweepWorkerOption);
  return arguments;
}

bool Emit(TOutputFile& ParaSummary, const std::string& ParaRow, std::vector<TRunSummary>& ParaRuns,
          std::string& ParaError) {
  TRunSummary summary;
  if (!ParseSummaryCsvRow(std::string_view(ParaRow).substr(0, ParaRow.size() - 1), summary)) {
    ParaError = "a worker process answered with something other than a summary row";
    return false;
  }
  ParaRuns.push_back(std::move(summary));
  ParaSummary.Write(ParaRow);
  // Each row leaves at once, so a reader of a pipe sees the sweep advance.
  return ParaSummary.Flush(ParaError);
}

} // namespace

int SweepJobs(const TSimOptions& ParaOptions) {
  const uint64_t seeds = SeedCount(ParaOptions);
  const uint64_t jobs = ParaOptions.mJobs > 0       ? static_cast<uint64_t>(ParaOptions.mJobs)
                        : PlatformCanStartWorkers() ? PlatformAvailableCores()
                                                    : 1u;
  return static_cast<int>(std::min(jobs, seeds));
}

int RunSweep(const TSimOptions& ParaOptions, const std::vector<std::string>& ParaArguments,
             TOutputFile& ParaSummary, std::vector<TRunSummary>& ParaRuns, std::string& ParaError) {
  const uint64_t count = SeedCount(ParaOptions);
  const int jobs = SweepJobs(ParaOptions);
  TProgress progress(!ParaOptions.mQuiet && PlatformStandardErrorIsTerminal(), "seeds",
                     static_cast<int64_t>(count));
  ParaSummary.Write(kSummaryCsvHeader);
  if (jobs <= 1) {
    for (uint64_t index = 0; index < count; ++index) {
      TRunSummary summary;
      const std::string row =
          RowOf(ParaOptions, static_cast<uint32_t>(ParaOptions.mSeedFirst + index), summary);
      ParaRuns.push_back(std::move(summary));
      ParaSummary.Write(row);
      if (!ParaSummary.Flush(ParaError)) {
        return 1;
      }
      progress.UpdateNow(static_cast<int64_t>(index + 1));
    }
    return 0;
  }

  TSweepState state;
  state.mRows.resize(count);
  state.mRunning = jobs;
  const std::vector<std::string> workerArguments = WorkerArguments(ParaArguments);
  std::vector<std::thread> threads;
  for (int i = 0; i < jobs; ++i) {
    threads.emplace_back(FeedWorker, std::cref(ParaOptions), std::cref(workerArguments),
                         std::ref(state));
  }
  // Rows leave in seed order: each waits for every seed before it.
  uint64_t written = 0;
  std::string failure;
  {
    std::unique_lock<std::mutex> lock(state.mLock);
    while (written < count && state.mFailure.empty()) {
      if (state.mRows[written]) {
        std::string row = std::move(*state.mRows[written]);
        state.mRows[written].reset();
        ++written;
        lock.unlock();
        std::string error;
        if (!Emit(ParaSummary, row, ParaRuns, error)) {
          lock.lock();
          state.mFailure = error;
          break;
        }
        progress.UpdateNow(static_cast<int64_t>(written));
        lock.lock();
        continue;
      }
      if (state.mRunning == 0) {
        state.mFailure = "the worker processes ended before every seed had its row";
        break;
      }
      state.mChanged.wait_for(lock, std::chrono::milliseconds(250));
      lock.unlock();
      progress.UpdateNow(static_cast<int64_t>(written));
      lock.lock();
    }
    failure = state.mFailure;
  }
  for (std::thread& thread : threads) {
    thread.join();
  }
  if (!failure.empty()) {
    ParaError = failure;
    return 1;
  }
  return 0;
}

int RunSweepWorker(const TSimOptions& ParaOptions) {
  auto output = TOutputFile::StandardOutput("the summary rows");
  std::string error;
  output->Open(error);
  char line[64];
  while (std::fgets(line, sizeof line, stdin) != nullptr) {
    std::string_view text(line);
    if (!text.empty() && text.back() == '\n') {
      text.remove_suffix(1);
    }
    uint32_t seed = 0;
    if (!ParseWholeNumber(text, uint32_t{0}, std::numeric_limits<uint32_t>::max(), seed)) {
      std::fprintf(stderr, "vantrel-sim: a worker was sent '%.*s' instead of a seed\n",
                   static_cast<int>(text.size()), text.data());
      return 2;
    }
    TRunSummary summary;
    output->Write(RowOf(ParaOptions, seed, summary));
    if (!output->Flush(error)) {
      std::fprintf(stderr, "vantrel-sim: %s\n", error.c_str());
      return 1;
    }
  }
  return 0;
}
