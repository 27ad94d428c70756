// Win32 backend of platform_files.h: files opened with CreateFileW and handed to the C
// runtime as descriptors, MoveFileExW to replace a target, identity by volume and file index,
// and a console control handler that removes the registered temporary files. Pairs with
// posix_files.cpp.
#include <windows.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <io.h>

#include "platform/platform_files.h"
#include "platform/temporary_registry.h"
#include "platform/win32_text.h"

namespace {

TTemporaryRegistry<wchar_t, 32768> TemporariesWin32;

BOOL WINAPI onConsoleControlWin32(DWORD ParaEvent) {
  if (ParaEvent != CTRL_C_EVENT && ParaEvent != CTRL_BREAK_EVENT && ParaEvent != CTRL_CLOSE_EVENT) {
    return FALSE;
  }
  // NOTE: the files are open with FILE_SHARE_DELETE, so deleting them succeeds while the main
  // thread still writes; they vanish when the process's handles close.
  TemporariesWin32.RemoveAll([](const wchar_t* ParaPath) { DeleteFileW(ParaPath); });
  ExitProcess(STATUS_CONTROL_C_EXIT);
}

std::string systemErrorTextWin32(DWORD ParaCode) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, ParaCode, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message = length > 0 && text != nullptr ? std::string(text, length) : std::string();
  LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                              message.back() == ' ' || message.back() == '.')) {
    message.pop_back();
  }
  return message.empty() ? "Windows error " + std::to_string(ParaCode) : message;
}

std::string identityWin32(HANDLE ParaFile) {
  BY_HANDLE_FILE_INFORMATION information{};
  if (!GetFileInformationByHandle(ParaFile, &information)) {
    return {};
  }
  return "volume " + std::to_string(information.dwVolumeSerialNumber) + " file " +
         std::to_string((static_cast<unsigned long long>(information.nFileIndexHigh) << 32) |
                        information.nFileIndexLow);
}

std::wstring folderOfWin32(const std::wstring& ParaPath) {
  const auto slash = ParaPath.find_last_of(L"/\\");
  if (slash == std::wstring::npos) {
    return L".";
  }
  return ParaPath.substr(0, slash + 1);
}

std::wstring lastPartWin32(const std::wstring& ParaPath) {
  const auto slash = ParaPath.find_last_of(L"/\\");
  return slash == std::wstring::npos ? ParaPath : ParaPath.substr(slash + 1);
}

std::string narrowTextWin32(const std::wstring& ParaText) {
  const int bytes =
      WideCharToMultiByte(CP_UTF8, 0, ParaText.c_str(), static_cast<int>(ParaText.size()), nullptr,
                          0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
  WideCharToMultiByte(CP_UTF8, 0, ParaText.c_str(), static_cast<int>(ParaText.size()), text.data(),
                      bytes, nullptr, nullptr);
  return text;
}

void describeHandleWin32(HANDLE ParaFile, TFileTarget& ParaTarget) {
  const DWORD type = GetFileType(ParaFile);
  ParaTarget.mExists = true;
  ParaTarget.mShareable = type == FILE_TYPE_CHAR;
  ParaTarget.mIdentity = type == FILE_TYPE_DISK ? identityWin32(ParaFile) : std::string();
}

} // namespace

bool PlatformInspectFileTarget(const std::string& ParaPath, TFileTarget& ParaTarget,
                               std::string& ParaError) {
  ParaTarget = TFileTarget{};
  ParaTarget.mResolved = ParaPath;
  const std::wstring path = WideTextWin32(ParaPath);
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    ParaError = std::strerror(EISDIR);
    return false;
  }
  const HANDLE file =
      CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    describeHandleWin32(file, ParaTarget);
    ParaTarget.mReplaceable = GetFileType(file) == FILE_TYPE_DISK;
    CloseHandle(file);
    return true;
  }
  const DWORD failure = GetLastError();
  if (failure != ERROR_FILE_NOT_FOUND) {
    ParaError = systemErrorTextWin32(failure);
    return false;
  }
  // Not there yet: the folder it will be made in, and its name there (names are caseless).
  const std::wstring folder = folderOfWin32(path);
  const DWORD folderAttributes = GetFileAttributesW(folder.c_str());
  if (folderAttributes == INVALID_FILE_ATTRIBUTES ||
      (folderAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    ParaError = systemErrorTextWin32(ERROR_PATH_NOT_FOUND);
    return false;
  }
  const HANDLE folderHandle =
      CreateFileW(folder.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  std::string folderIdentity;
  if (folderHandle != INVALID_HANDLE_VALUE) {
    folderIdentity = identityWin32(folderHandle);
    CloseHandle(folderHandle);
  }
  std::wstring name = lastPartWin32(path);
  CharLowerBuffW(name.data(), static_cast<DWORD>(name.size()));
  ParaTarget.mIdentity =
      folderIdentity.empty() ? std::string() : folderIdentity + " name " + narrowTextWin32(name);
  return true;
}

TFileTarget PlatformInspectStandardOutput() {
  TFileTarget target;
  target.mReplaceable = false;
  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  if (output != nullptr && output != INVALID_HANDLE_VALUE) {
    describeHandleWin32(output, target);
  }
  return target;
}

int PlatformCreateTemporaryBeside(const std::string& ParaTarget, std::string& ParaTemporary,
                                  std::string& ParaError) {
  const std::wstring target = WideTextWin32(ParaTarget);
  const std::wstring base = lastPartWin32(target).substr(0, 160);
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::wstring temporary = folderOfWin32(target) + L"." + base + L"." +
                                   std::to_wstring(GetCurrentProcessId()) + L"." +
                                   std::to_wstring(counter.fetch_add(1)) + L".tmp";
    if (!TemporariesWin32.Register(temporary)) {
      ParaError = "too many output files at once";
      return -1;
    }
    const HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      const DWORD failure = GetLastError();
      TemporariesWin32.Forget(temporary);
      if (failure == ERROR_FILE_EXISTS) {
        continue;
      }
      ParaError = systemErrorTextWin32(failure);
      return -1;
    }
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_BINARY);
    if (descriptor < 0) {
      CloseHandle(file);
      DeleteFileW(temporary.c_str());
      TemporariesWin32.Forget(temporary);
      ParaError = std::strerror(errno);
      return -1;
    }
    ParaTemporary = narrowTextWin32(temporary);
    return descriptor;
  }
  ParaError = "no free temporary name beside it";
  return -1;
}

int PlatformOpenInPlace(const std::string& ParaPath, std::string& ParaError) {
  const HANDLE file = CreateFileW(WideTextWin32(ParaPath).c_str(), GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    ParaError = systemErrorTextWin32(GetLastError());
    return -1;
  }
  const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_BINARY);
  if (descriptor < 0) {
    CloseHandle(file);
    ParaError = std::strerror(errno);
  }
  return descriptor;
}

int PlatformStandardOutputDescriptor() {
  // The C runtime's descriptor, in the mode it has (text unless the program changed it).
  return _fileno(stdout);
}

bool PlatformWriteAll(int ParaDescriptor, const char* ParaData, std::size_t ParaSize,
                      std::string& ParaError) {
  while (ParaSize > 0) {
    const unsigned chunk = ParaSize > (1u << 30) ? (1u << 30) : static_cast<unsigned>(ParaSize);
    const int written = _write(ParaDescriptor, ParaData, chunk);
    if (written <= 0) {
      ParaError = std::strerror(written < 0 ? errno : EIO);
      return false;
    }
    ParaData += written;
    ParaSize -= static_cast<std::size_t>(written);
  }
  return true;
}

bool PlatformCloseFile(int ParaDescriptor, std::string& ParaError) {
  if (_close(ParaDescriptor) != 0) {
    ParaError = std::strerror(errno);
    return false;
  }
  return true;
}

bool PlatformReplaceFile(const std::string& ParaTemporary, const std::string& ParaTarget,
                         std::string& ParaError) {
  // NOTE: rename() of the C runtime refuses an existing target on Windows; MoveFileExW with
  // MOVEFILE_REPLACE_EXISTING replaces it in one step on the same volume.
  if (!MoveFileExW(WideTextWin32(ParaTemporary).c_str(), WideTextWin32(ParaTarget).c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    ParaError = systemErrorTextWin32(GetLastError());
    return false;
  }
  return true;
}

void PlatformDropTemporary(const std::string& ParaTemporary, bool ParaDelete) {
  const std::wstring path = WideTextWin32(ParaTemporary);
  if (ParaDelete) {
    DeleteFileW(path.c_str());
  }
  TemporariesWin32.Forget(path);
}

void PlatformPrepareOutputs() {
  SetConsoleCtrlHandler(onConsoleControlWin32, TRUE);
}
