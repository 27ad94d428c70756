// Resolves the OpenGL entry-point groups from the system's opengl32.dll and reports, for the
// end-to-end tests under wine, how many names each group found, whether the extension group
// succeeds before and after a context is current, and which pixel formats the screen offers.
// Uses raw Win32 for its one window, so only the groups themselves are under test.
#include <cstdio>

#include "opengl/opengl_routine_units.h"
#include "opengl/unit_TOpenGLControl_version_008.h"
#include "opengl/unit_opengl_api_100_routines_version_011.h"
#include "opengl/unit_opengl_api_110_routines_version_011.h"
#include "opengl/unit_opengl_api_library_version_011.h"
#include "opengl/unit_opengl_api_windows_core_routines_version_011.h"
#include "opengl/unit_opengl_api_windows_extensions_routines_version_011.h"

// After our headers: windows.h #defines LoadLibrary, which names a member of the library group.
#include <windows.h>
// NOTE: this file calls that member, so the system's macro has to go.
#undef LoadLibrary

namespace {

struct TEntryPointProbe {
  const char* mName;
  bool (*mFound)();
};

#define OPENGL_ENTRY_POINT(Class, Name)                                                            \
  TEntryPointProbe{#Name, [] { return reinterpret_cast<void*>(Class::Name) != nullptr; }},

const TEntryPointProbe kVersion100[] = {
#include "opengl/unit_opengl_api_100_routines_version_011_table.inc"
};
const TEntryPointProbe kVersion110[] = {
#include "opengl/unit_opengl_api_110_routines_version_011_table.inc"
};
#undef OPENGL_ENTRY_POINT

const TEntryPointProbe kWindowsCore[] = {
    {"wglCreateContext", [] { return TOpenGLAPIWindowsCore::wglCreateContext != nullptr; }},
    {"wglMakeCurrent", [] { return TOpenGLAPIWindowsCore::wglMakeCurrent != nullptr; }},
    {"wglGetCurrentContext", [] { return TOpenGLAPIWindowsCore::wglGetCurrentContext != nullptr; }},
    {"wglGetCurrentDC", [] { return TOpenGLAPIWindowsCore::wglGetCurrentDC != nullptr; }},
    {"wglDeleteContext", [] { return TOpenGLAPIWindowsCore::wglDeleteContext != nullptr; }},
};

template <size_t N> void reportGroup(const char* ParaGroup, const TEntryPointProbe (&ParaList)[N]) {
  size_t found = 0;
  for (const TEntryPointProbe& probe : ParaList) {
    if (probe.mFound()) {
      ++found;
    } else {
      std::printf("missing %s %s\n", ParaGroup, probe.mName);
    }
  }
  std::printf("group %s names=%zu found=%zu\n", ParaGroup, N, found);
}

void reportPixelFormats(HDC ParaDC) {
  PIXELFORMATDESCRIPTOR descriptor{};
  const int count = DescribePixelFormat(ParaDC, 1, sizeof descriptor, &descriptor);
  int generic = 0;
  int genericDouble = 0;
  int softwareMatch = 0;
  for (int format = 1; format <= count; ++format) {
    DescribePixelFormat(ParaDC, format, sizeof descriptor, &descriptor);
    const DWORD flags = descriptor.dwFlags;
    if ((flags & PFD_GENERIC_FORMAT) != 0) {
      ++generic;
      if ((flags & PFD_DOUBLEBUFFER) != 0) {
        ++genericDouble;
      }
    }
    const DWORD wanted =
        PFD_DRAW_TO_WINDOW | PFD_DOUBLEBUFFER | PFD_SUPPORT_OPENGL | PFD_GENERIC_FORMAT;
    if ((flags & wanted) == wanted && (flags & PFD_GENERIC_ACCELERATED) == 0 &&
        descriptor.cColorBits == 32 && descriptor.cRedBits == 8 && descriptor.cGreenBits == 8 &&
        descriptor.cBlueBits == 8 && descriptor.cAlphaBits == 8) {
      ++softwareMatch;
    }
  }
  std::printf("pixel_formats count=%d generic=%d generic_double=%d software_match=%d\n", count,
              generic, genericDouble, softwareMatch);
}

} // namespace

int main() {
  const bool loaded = TOpenGLAPILibrary::LoadLibrary();
  RegisterOpenGLRoutineUnits();
  std::printf("library loaded=%d\n", loaded ? 1 : 0);

  const bool version110 = TOpenGLAPIVersion110::Initialize();
  std::printf("initialize 110=%d core=%d 100=%d\n", version110 ? 1 : 0,
              TOpenGLAPIWindowsCore::IsInitialized() ? 1 : 0,
              TOpenGLAPIVersion100::IsInitialized() ? 1 : 0);
  reportGroup("core", kWindowsCore);
  reportGroup("100", kVersion100);
  reportGroup("110", kVersion110);

  // NOTE: wglGetProcAddress answers only while a context is current; before, the group fails.
  std::printf("extensions before_context=%d\n", TOpenGLAPIWindowsExtensions::Initialize() ? 1 : 0);

  WNDCLASSW windowClass{};
  windowClass.style = CS_OWNDC;
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"VantrelOpenGLProbe";
  RegisterClassW(&windowClass);
  HWND window = CreateWindowW(L"VantrelOpenGLProbe", L"OpenGL probe",
                              WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, 64, 64,
                              nullptr, nullptr, windowClass.hInstance, nullptr);
  HDC dc = GetDC(window);
  reportPixelFormats(dc);

  PIXELFORMATDESCRIPTOR wanted{};
  wanted.nSize = sizeof wanted;
  wanted.nVersion = 1;
  wanted.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  wanted.iPixelType = PFD_TYPE_RGBA;
  wanted.cColorBits = 24;
  const int format = ChoosePixelFormat(dc, &wanted);
  const bool set = format != 0 && SetPixelFormat(dc, format, &wanted);
  HGLRC context = set ? TOpenGLAPIWindowsCore::wglCreateContext(dc) : nullptr;
  const bool current = context != nullptr && TOpenGLAPIWindowsCore::wglMakeCurrent(dc, context);
  std::printf("context format=%d set=%d created=%d current=%d\n", format, set ? 1 : 0,
              context != nullptr ? 1 : 0, current ? 1 : 0);

  const bool extensions = current && TOpenGLAPIWindowsExtensions::Initialize();
  std::printf("extensions after_context=%d swap=%d get_swap=%d\n", extensions ? 1 : 0,
              TOpenGLAPIWindowsExtensions::wglSwapIntervalEXT != nullptr ? 1 : 0,
              TOpenGLAPIWindowsExtensions::wglGetSwapIntervalEXT != nullptr ? 1 : 0);
  if (current) {
    const auto* renderer =
        reinterpret_cast<const char*>(TOpenGLAPIVersion100::glGetString(0x1F01 /* GL_RENDERER */));
    std::printf("renderer %s\n", renderer != nullptr ? renderer : "(none)");
    // The exports bound at load time see the context the variables made current.
    std::printf("exports current_context_matches=%d current_dc_matches=%d\n",
                wglGetCurrentContext() == context ? 1 : 0, wglGetCurrentDC() == dc ? 1 : 0);
    wglMakeCurrent(nullptr, nullptr);
  }
  // A core entry point the library lacks: the binding's context calls fail with the missing
  // procedure's error instead of calling through null.
  const auto createContext = TOpenGLAPIWindowsCore::wglCreateContext;
  const auto makeCurrent = TOpenGLAPIWindowsCore::wglMakeCurrent;
  TOpenGLAPIWindowsCore::wglCreateContext = nullptr;
  TOpenGLAPIWindowsCore::wglMakeCurrent = nullptr;
  SetLastError(0);
  const TRenderingContext missingContext =
      OpenGLWindowSystem->CreateContextThroughVariable(reinterpret_cast<TDeviceContext>(dc));
  const DWORD createError = GetLastError();
  SetLastError(0);
  const bool missingCurrent = OpenGLWindowSystem->MakeCurrentThroughVariable(
      reinterpret_cast<TDeviceContext>(dc), reinterpret_cast<TRenderingContext>(context));
  const DWORD currentError = GetLastError();
  TOpenGLAPIWindowsCore::wglCreateContext = createContext;
  TOpenGLAPIWindowsCore::wglMakeCurrent = makeCurrent;
  std::printf("missing_core create=%d error=%lu make_current=%d error=%lu\n",
              missingContext != 0 ? 1 : 0, createError, missingCurrent ? 1 : 0, currentError);
  if (context != nullptr) {
    wglDeleteContext(context);
  }
  DestroyWindow(window);
  std::printf("unloaded=%d\n", TOpenGLAPILibrary::UnloadLibrary() ? 1 : 0);
  return 0;
}
