// Outputs written whole or not at all; see output_file.h. The buffering and the order of
// finishing and committing live here once; the file system calls are the backend's.
#include "platform/output_file.h"

#include <utility>

#include "platform/platform_files.h"
#include "runtime/one_line_text.h"

TOutputFile::TOutputFile(std::string ParaOption, std::string ParaPath,
                         bool ParaDashIsStandardOutput)
    : mOption(std::move(ParaOption)), mPath(std::move(ParaPath)),
      mStandardOutput(ParaDashIsStandardOutput && mPath == "-") {}

std::unique_ptr<TOutputFile> TOutputFile::StandardOutput(std::string ParaOption) {
  return std::make_unique<TOutputFile>(std::move(ParaOption), "-", true);
}

TOutputFile::~TOutputFile() {
  std::string ignored;
  if (mOwnsDescriptor && mDescriptor >= 0) {
    PlatformCloseFile(mDescriptor, ignored);
  }
  if (!mTemporary.empty()) {
    PlatformDropTemporary(mTemporary, true);
  }
}

std::string TOutputFile::Describe(const char* ParaWhat, const std::string& ParaReason) const {
  if (mStandardOutput) {
    return std::string(ParaWhat) + " standard output: " + ParaReason;
  }
  std::string text(ParaWhat);
  text += " the ";
  text += mOption;
  text += " file ";
  text += QuotedForOneLine(mPath);
  text += ": ";
  text += ParaReason;
  return text;
}

bool TOutputFile::Open(std::string& ParaError) {
  // However many outputs a program opens, the handlers are installed once.
  static const bool prepared = (PlatformPrepareOutputs(), true);
  static_cast<void>(prepared);
  mBuffer.reserve(kBufferBytes);
  if (mStandardOutput) {
    mDescriptor = PlatformStandardOutputDescriptor();
    return true;
  }
  TFileTarget target;
  std::string reason;
  if (!PlatformInspectFileTarget(mPath, target, reason)) {
    ParaError = Describe("cannot write", reason);
    return false;
  }
  mTarget = target.mResolved;
  mDescriptor = target.mReplaceable ? PlatformCreateTemporaryBeside(mTarget, mTemporary, reason)
                                    : PlatformOpenInPlace(mTarget, reason);
  if (mDescriptor < 0) {
    ParaError = Describe("cannot write", reason);
    return false;
  }
  mOwnsDescriptor = true;
  return true;
}

void TOutputFile::Write(std::string_view ParaText) {
  if (mBuffer.size() + ParaText.size() > kBufferBytes) {
    Drain();
    if (ParaText.size() >= kBufferBytes) {
      if (mFailure.empty() && mDescriptor >= 0) {
        PlatformWriteAll(mDescriptor, ParaText.data(), ParaText.size(), mFailure);
      }
      return;
    }
  }
  mBuffer.append(ParaText);
}

void TOutputFile::Drain() {
  // After a failure the rest is dropped: the run's result is already a failure.
  if (mFailure.empty() && mDescriptor >= 0 && !mBuffer.empty()) {
    PlatformWriteAll(mDescriptor, mBuffer.data(), mBuffer.size(), mFailure);
  }
  mBuffer.clear();
}

bool TOutputFile::Flush(std::string& ParaError) {
  Drain();
  if (!mFailure.empty()) {
    ParaError = Describe("could not write", mFailure);
    return false;
  }
  return true;
}

bool TOutputFile::Finish(std::string& ParaError) {
  if (!Flush(ParaError)) {
    return false;
  }
  if (mOwnsDescriptor && mDescriptor >= 0) {
    mOwnsDescriptor = false;
    std::string reason;
    const bool closed = PlatformCloseFile(mDescriptor, reason);
    mDescriptor = -1;
    if (!closed) {
      // NFS and some full disks report the failed write only here.
      mFailure = reason;
      ParaError = Describe("could not write", reason);
      return false;
    }
  }
  return true;
}

bool TOutputFile::Commit(std::string& ParaError) {
  if (mTemporary.empty()) {
    return true;
  }
  std::string reason;
  if (!PlatformReplaceFile(mTemporary, mTarget, reason)) {
    ParaError = Describe("could not write", reason);
    return false;
  }
  PlatformDropTemporary(mTemporary, false);
  mTemporary.clear();
  return true;
}

std::string RefuseSharedOutputs(const std::vector<const TOutputFile*>& ParaOutputs) {
  struct TSeen {
    const TOutputFile* mOutput;
    TFileTarget mTarget;
  };
  std::vector<TSeen> seen;
  for (const TOutputFile* output : ParaOutputs) {
    TSeen entry{output, {}};
    if (output->IsStandardOutput()) {
      entry.mTarget = PlatformInspectStandardOutput();
    } else {
      std::string reason;
      if (!PlatformInspectFileTarget(output->Path(), entry.mTarget, reason)) {
        return output->Describe("cannot write", reason);
      }
    }
    for (const TSeen& other : seen) {
      const bool bothStandard = output->IsStandardOutput() && other.mOutput->IsStandardOutput();
      const bool sameFile = !entry.mTarget.mIdentity.empty() &&
                            entry.mTarget.mIdentity == other.mTarget.mIdentity &&
                            !entry.mTarget.mShareable;
      if (bothStandard || sameFile) {
        // An option's own "-" shows as such; an output that always goes there by its name.
        const auto name = [](const TOutputFile* ParaOutput) {
          if (!ParaOutput->IsStandardOutput()) {
            return ParaOutput->Option() + " " + QuotedForOneLine(ParaOutput->Path());
          }
          return ParaOutput->Option().rfind("--", 0) == 0 ? ParaOutput->Option() + " -"
                                                          : ParaOutput->Option();
        };
        if (bothStandard) {
          return name(other.mOutput) + " and " + name(output) +
                 " both go to standard output: send one of them to a file";
        }
        return name(other.mOutput) + " and " + name(output) +
               " are the same file: each output needs a file of its own";
      }
    }
    seen.push_back(std::move(entry));
  }
  return {};
}

bool OpenOutputs(const std::vector<TOutputFile*>& ParaOutputs, std::string& ParaError) {
  ParaError = RefuseSharedOutputs({ParaOutputs.begin(), ParaOutputs.end()});
  if (!ParaError.empty()) {
    return false;
  }
  for (TOutputFile* output : ParaOutputs) {
    if (!output->Open(ParaError)) {
      return false;
    }
  }
  return true;
}

bool FinishAndCommitOutputs(const std::vector<TOutputFile*>& ParaOutputs, std::string& ParaError) {
  for (TOutputFile* output : ParaOutputs) {
    if (!output->Finish(ParaError)) {
      return false;
    }
  }
  for (TOutputFile* output : ParaOutputs) {
    if (!output->Commit(ParaError)) {
      return false;
    }
  }
  return true;
}
