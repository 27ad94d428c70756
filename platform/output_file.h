// An output that a command line names: a file written under a temporary name in the target's
// folder and renamed over the target only when it is complete, or standard output for "-".
// So a refused, failed or interrupted run leaves what was there untouched and no partial
// file, and no failed write passes as success. Written once; platform_files.h has the backends.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TOutputFile {
public:
  // ParaOption names the output in messages ("--csv"); ParaPath "-" is standard output where
  // ParaDashIsStandardOutput allows it (otherwise a file named "-").
  TOutputFile(std::string ParaOption, std::string ParaPath, bool ParaDashIsStandardOutput);
  static std::unique_ptr<TOutputFile> StandardOutput(std::string ParaOption);
  ~TOutputFile(); // removes the temporary file unless committed
  TOutputFile(const TOutputFile&) = delete;
  TOutputFile& operator=(const TOutputFile&) = delete;

  bool IsStandardOutput() const { return mStandardOutput; }
  // A write has failed: what follows is lost, and Flush or Finish will say why.
  bool Failed() const { return !mFailure.empty(); }
  const std::string& Option() const { return mOption; }
  const std::string& Path() const { return mPath; }
  // A one-line message about this output: "cannot write the --csv file 'x': reason".
  std::string Describe(const char* ParaWhat, const std::string& ParaReason) const;

  // Creates the temporary file (or takes standard output). False with a one-line ParaError
  // ("cannot write the --csv file 'x': ...").
  bool Open(std::string& ParaError);
  // Buffered; the first failure is kept and reported by Flush or Finish.
  void Write(std::string_view ParaText);
  void Put(char ParaCharacter) {
    if (mBuffer.size() >= kBufferBytes) {
      Drain();
    }
    mBuffer.push_back(ParaCharacter);
  }
  // Everything written so far leaves the process now (a trace line reaches a terminal).
  bool Flush(std::string& ParaError);
  // Written out and closed; the temporary file keeps its name until Commit.
  bool Finish(std::string& ParaError);
  // The finished temporary file replaces the target. Standard output: nothing to do.
  bool Commit(std::string& ParaError);

private:
  static constexpr std::size_t kBufferBytes = 1 << 16;
  void Drain();

  std::string mOption;
  std::string mPath;
  bool mStandardOutput = false;
  std::string mTarget;    // where Commit puts it: the path with links followed
  std::string mTemporary; // empty: written in place or to standard output
  int mDescriptor = -1;
  bool mOwnsDescriptor = false;
  std::string mBuffer;
  std::string mFailure; // the first write failure's reason
};

// Empty when no two of ParaOutputs (standard output among them where it is used) name the same
// file, by identity and not by spelling; otherwise the one-line refusal naming both. A name
// that cannot be judged gives its own one-line refusal.
std::string RefuseSharedOutputs(const std::vector<const TOutputFile*>& ParaOutputs);

// Refuses shared outputs (RefuseSharedOutputs), then opens every output in order. False with
// the first refusal or failure's one-line ParaError.
bool OpenOutputs(const std::vector<TOutputFile*>& ParaOutputs, std::string& ParaError);

// Finish every output, then, only when all are complete, commit them all: one failure leaves
// every target as it was. ParaError is the first failure's line.
bool FinishAndCommitOutputs(const std::vector<TOutputFile*>& ParaOutputs, std::string& ParaError);
