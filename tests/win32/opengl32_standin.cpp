// The behaviour of the stand-in opengl32.dll that the wine tests put beside a game exe (with
// WINEDLLOVERRIDES=opengl32=n,b): the environment variable VANTREL_OPENGL32_STANDIN says what
// it does, and it logs to opengl32-standin.log beside itself. Words of the variable:
//   generic          offer formats of the generic software renderer (see planFormatsStandin)
//   none             offer generic formats of which none qualifies for the software search
//   fail=NAME:CODE   the export NAME fails, leaving CODE as the thread's last-error code
// Wine's own opengl32.dll does the real work; it is loaded at the first call that needs it, so
// that the game's LoadLibraryW("opengl32.dll") and gdi32's find the stand-in first.
#include <windows.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "tests/win32/opengl32_standin.h"

namespace {

struct TFailureStandin {
  std::string mName;
  DWORD mCode = 0;
};

struct TStandin {
  std::once_flag mConfigured;
  bool mGeneric = false;
  bool mNone = false;
  std::vector<TFailureStandin> mFailures;
  std::once_flag mLoaded;
  HMODULE mReal = nullptr;
  std::mutex mPlanLock;
  bool mPlanned = false;
  // Per format number (index 0 unused): the dwFlags the caller is shown.
  std::vector<DWORD> mOfferedFlags;
};

TStandin gStandin;

HMODULE ownModuleStandin() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                         GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&ownModuleStandin), &module);
  return module;
}

// NOTE: every log line is written with the last-error code put back afterwards, so logging a
// call never changes what the caller reads from GetLastError.
void logStandin(const char* ParaFormat, ...) {
  const DWORD savedError = GetLastError();
  static const std::wstring path = [] {
    wchar_t own[MAX_PATH] = {};
    GetModuleFileNameW(ownModuleStandin(), own, MAX_PATH);
    std::wstring folder(own);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1) + L"opengl32-standin.log";
  }();
  char line[512];
  va_list arguments;
  va_start(arguments, ParaFormat);
  const int length = std::vsnprintf(line, sizeof line - 1, ParaFormat, arguments);
  va_end(arguments);
  if (length > 0) {
    const size_t size = std::min(static_cast<size_t>(length), sizeof line - 2);
    line[size] = '\n';
    HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      WriteFile(file, line, static_cast<DWORD>(size + 1), &written, nullptr);
      CloseHandle(file);
    }
  }
  SetLastError(savedError);
}

[[noreturn]] void abortStandin(const char* ParaWhy, const char* ParaName) {
  logStandin("abort %s %s", ParaWhy, ParaName);
  std::fprintf(stderr, "opengl32 stand-in: %s %s\n", ParaWhy, ParaName);
  std::abort();
}

void configureStandin() {
  std::call_once(gStandin.mConfigured, [] {
    char value[1024] = {};
    const DWORD length = GetEnvironmentVariableA("VANTREL_OPENGL32_STANDIN", value, sizeof value);
    if (length >= sizeof value) {
      abortStandin("configuration too long:", "VANTREL_OPENGL32_STANDIN");
    }
    logStandin("configuration \"%s\"", value);
    char* rest = value;
    while (char* word = std::strtok(rest, " ")) {
      rest = nullptr;
      if (std::strcmp(word, "generic") == 0) {
        gStandin.mGeneric = true;
      } else if (std::strcmp(word, "none") == 0) {
        gStandin.mNone = true;
      } else if (std::strncmp(word, "fail=", 5) == 0 && std::strchr(word, ':') != nullptr) {
        char* colon = std::strchr(word, ':');
        *colon = '\0';
        gStandin.mFailures.push_back({word + 5, std::strtoul(colon + 1, nullptr, 10)});
      } else {
        abortStandin("unknown word in VANTREL_OPENGL32_STANDIN:", word);
      }
    }
    if (gStandin.mGeneric && gStandin.mNone) {
      abortStandin("choose one of", "generic, none");
    }
  });
}

// What the software search of the game asks for, apart from the generic flags.
bool doubleBuffered32BitStandin(const PIXELFORMATDESCRIPTOR& ParaDescriptor) {
  const DWORD wanted = PFD_DRAW_TO_WINDOW | PFD_DOUBLEBUFFER | PFD_SUPPORT_OPENGL;
  return (ParaDescriptor.dwFlags & wanted) == wanted &&
         ParaDescriptor.iPixelType == PFD_TYPE_RGBA && ParaDescriptor.cColorBits == 32 &&
         ParaDescriptor.cRedBits == 8 && ParaDescriptor.cGreenBits == 8 &&
         ParaDescriptor.cBlueBits == 8 && ParaDescriptor.cAlphaBits == 8;
}

// Chooses the offered set from wine's formats: of its double-buffered 32-bit RGBA window
// formats, the first is shown as generic but accelerated, and (generic) the second and third
// as generic software formats, so that the first match is not format 1 and a later one
// follows it. One more format before the first match, which fails another condition (single
// buffer, fewer colour bits, ...), is shown as generic too. Every other format has neither
// generic flag.
void planFormatsStandin(HDC ParaDC, int ParaHighest) {
  using TDescribe = int (*)(HDC, int, UINT, PIXELFORMATDESCRIPTOR*);
  const auto describe =
      reinterpret_cast<TDescribe>(RealEntryPointStandin("wglDescribePixelFormat"));
  std::vector<PIXELFORMATDESCRIPTOR> formats(static_cast<size_t>(ParaHighest) + 1);
  std::vector<int> candidates;
  for (int format = 1; format <= ParaHighest; ++format) {
    PIXELFORMATDESCRIPTOR& descriptor = formats[static_cast<size_t>(format)];
    describe(ParaDC, format, sizeof descriptor, &descriptor);
    descriptor.dwFlags &= ~DWORD{PFD_GENERIC_FORMAT | PFD_GENERIC_ACCELERATED};
    if (doubleBuffered32BitStandin(descriptor)) {
      candidates.push_back(format);
    }
  }
  const size_t needed = gStandin.mGeneric ? 3 : 2;
  if (candidates.size() < needed) {
    abortStandin("too few double-buffered 32-bit RGBA window formats for", "the plan");
  }
  struct TOffer {
    int mFormat;
    const char* mRole;
    DWORD mFlags;
  };
  std::vector<TOffer> offers{
      {candidates[0], "accelerated", PFD_GENERIC_FORMAT | PFD_GENERIC_ACCELERATED}};
  const int before = gStandin.mGeneric ? candidates[1] : ParaHighest + 1;
  int other = 0;
  for (int format = 1; format < before && other == 0; ++format) {
    if (!doubleBuffered32BitStandin(formats[static_cast<size_t>(format)])) {
      other = format;
    }
  }
  if (other == 0) {
    abortStandin("no format fails another condition before", "the first match");
  }
  offers.push_back({other, "other", PFD_GENERIC_FORMAT});
  if (gStandin.mGeneric) {
    offers.push_back({candidates[1], "first", PFD_GENERIC_FORMAT});
    offers.push_back({candidates[2], "later", PFD_GENERIC_FORMAT});
  }
  gStandin.mOfferedFlags.assign(formats.size(), 0);
  for (int format = 1; format <= ParaHighest; ++format) {
    gStandin.mOfferedFlags[static_cast<size_t>(format)] =
        formats[static_cast<size_t>(format)].dwFlags;
  }
  for (const TOffer& offer : offers) {
    DWORD& flags = gStandin.mOfferedFlags[static_cast<size_t>(offer.mFormat)];
    flags |= offer.mFlags;
    formats[static_cast<size_t>(offer.mFormat)].dwFlags = flags;
    logStandin("offer %d %s", offer.mFormat, offer.mRole);
  }
  for (int format = 1; format <= ParaHighest; ++format) {
    const PIXELFORMATDESCRIPTOR& d = formats[static_cast<size_t>(format)];
    logStandin("describe %d flags=0x%lx type=%d color=%d red=%d green=%d blue=%d alpha=%d "
               "depth=%d stencil=%d",
               format, d.dwFlags, d.iPixelType, d.cColorBits, d.cRedBits, d.cGreenBits, d.cBlueBits,
               d.cAlphaBits, d.cDepthBits, d.cStencilBits);
  }
}

} // namespace

void* RealEntryPointStandin(const char* ParaName) {
  std::call_once(gStandin.mLoaded, [] {
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    // NOTE: by its full path the loader takes wine's builtin, although a module named
    // opengl32.dll (this one) is loaded already; by name it would answer with this one.
    gStandin.mReal = LoadLibraryW((std::wstring(system) + L"\\opengl32.dll").c_str());
    if (gStandin.mReal == nullptr || gStandin.mReal == ownModuleStandin()) {
      abortStandin("cannot load wine's own", "opengl32.dll");
    }
    logStandin("loaded the real opengl32.dll");
  });
  void* address = reinterpret_cast<void*>(GetProcAddress(gStandin.mReal, ParaName));
  if (address == nullptr) {
    abortStandin("wine's opengl32.dll has no", ParaName);
  }
  return address;
}

bool FailsStandin(const char* ParaName) {
  configureStandin();
  for (const TFailureStandin& failure : gStandin.mFailures) {
    if (failure.mName == ParaName) {
      logStandin("fail %s %lu", ParaName, failure.mCode);
      SetLastError(failure.mCode);
      return true;
    }
  }
  return false;
}

void OfferFormatStandin(void* ParaDC, int ParaHighest, int ParaFormat, unsigned ParaSize,
                        void* ParaDescriptor) {
  configureStandin();
  if (!gStandin.mGeneric && !gStandin.mNone) {
    return;
  }
  if (ParaHighest <= 0 || ParaDescriptor == nullptr || ParaSize < sizeof(PIXELFORMATDESCRIPTOR) ||
      ParaFormat < 1 || ParaFormat > ParaHighest) {
    return;
  }
  const DWORD savedError = GetLastError();
  std::lock_guard<std::mutex> lock(gStandin.mPlanLock);
  if (!gStandin.mPlanned) {
    planFormatsStandin(static_cast<HDC>(ParaDC), ParaHighest);
    gStandin.mPlanned = true;
  }
  if (static_cast<size_t>(ParaFormat) < gStandin.mOfferedFlags.size()) {
    static_cast<PIXELFORMATDESCRIPTOR*>(ParaDescriptor)->dwFlags =
        gStandin.mOfferedFlags[static_cast<size_t>(ParaFormat)];
  }
  SetLastError(savedError);
}

void LogSetPixelFormatStandin(int ParaFormat) {
  logStandin("set_pixel_format %d", ParaFormat);
}
