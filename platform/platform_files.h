// The file operations behind output_file.h: plain descriptors, a temporary file beside its
// target, replacing the target with it, file identity, and removing the temporary files when
// the process is interrupted. Backends: posix_files.cpp and win32_files.cpp. Nothing here
// buffers; output_file.cpp does that once for every platform.
#pragma once

#include <cstddef>
#include <string>

// What a name on the command line is now.
struct TFileTarget {
  bool mExists = false;
  // Absent or a regular file: written under a temporary name and renamed over it. Anything
  // else (a device, a pipe) is written in place: renaming over /dev/null would replace it.
  bool mReplaceable = true;
  // Equal for two names of one file (./x and x, a link and its target, hard links), also for
  // a file that does not exist yet. Empty when the name cannot be judged.
  std::string mIdentity;
  // Several outputs may share it without harm (the null device, a terminal).
  bool mShareable = false;
  // The name with symbolic links of its last part followed: the temporary file goes beside
  // the file that will be replaced, not beside the link.
  std::string mResolved;
};

// False only when the name can be judged neither way (its folder does not exist, say): then
// ParaError says why and the caller refuses the output.
bool PlatformInspectFileTarget(const std::string& ParaPath, TFileTarget& ParaTarget,
                               std::string& ParaError);
// The same for what standard output is connected to.
TFileTarget PlatformInspectStandardOutput();

// A new file beside ParaTarget (same folder), with the permissions the target has or a new
// file would get, registered for removal on an interrupt. Its descriptor, or -1 with ParaError.
int PlatformCreateTemporaryBeside(const std::string& ParaTarget, std::string& ParaTemporary,
                                  std::string& ParaError);
// An existing file that is not replaceable, opened for writing as it is.
int PlatformOpenInPlace(const std::string& ParaPath, std::string& ParaError);
int PlatformStandardOutputDescriptor();

// Every byte written, or false with ParaError (a full disk, a closed pipe: never a signal).
bool PlatformWriteAll(int ParaDescriptor, const char* ParaData, std::size_t ParaSize,
                      std::string& ParaError);
bool PlatformCloseFile(int ParaDescriptor, std::string& ParaError);
// ParaTemporary takes ParaTarget's place in one step (a reader sees the old or the new file).
bool PlatformReplaceFile(const std::string& ParaTemporary, const std::string& ParaTarget,
                         std::string& ParaError);
// Removes a temporary file and its registration; ParaDelete false only forgets it (after
// PlatformReplaceFile moved it).
void PlatformDropTemporary(const std::string& ParaTemporary, bool ParaDelete);

// Before the first output, once per process (output_file.cpp sees to that): a closed pipe
// becomes a write error instead of ending the process, and an interrupt (SIGINT, SIGTERM,
// SIGHUP; Ctrl+C or closing the console on Windows) removes every registered temporary file
// and ends the process with the platform's interrupted status.
void PlatformPrepareOutputs();
