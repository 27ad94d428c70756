// The GLX binding of the view control where the library lacked a core entry point: the context
// calls fail like a missing procedure on Windows, instead of calling through null.
#include <gtest/gtest.h>

#include <cstdlib>

#include "opengl/unit_TOpenGLControl_version_008.h"
#include "opengl/unit_opengl_api_windows_core_routines_version_011.h"
#include "platform/platform_last_error.h"
#include "platform/x11_toolkit.h"

namespace {

TEST(OpenGLWindowSystemGlxTest, MissingCoreEntryPointsAreFailedCallsWithTheirError) {
  // The core group's variables as a failed lookup leaves them.
  const auto createContext = TOpenGLAPIWindowsCore::glXCreateNewContext;
  const auto makeCurrent = TOpenGLAPIWindowsCore::glXMakeCurrent;
  TOpenGLAPIWindowsCore::glXCreateNewContext = nullptr;
  TOpenGLAPIWindowsCore::glXMakeCurrent = nullptr;
  TX11DeviceContext window;
  window.mFramebufferConfig = &window; // a pixel format was set; only the entry point is missing
  const auto dc = reinterpret_cast<TDeviceContext>(&window);
  TOpenGLWindowSystem& binding = *OpenGLWindowSystem;

  SetPlatformLastError(0);
  EXPECT_EQ(binding.CreateContextThroughVariable(dc), 0u);
  EXPECT_EQ(PlatformLastError(), platform_error_proc_not_found);

  SetPlatformLastError(0);
  EXPECT_FALSE(binding.MakeCurrentThroughVariable(dc, 1));
  EXPECT_EQ(PlatformLastError(), platform_error_proc_not_found);

  TOpenGLAPIWindowsCore::glXCreateNewContext = createContext;
  TOpenGLAPIWindowsCore::glXMakeCurrent = makeCurrent;
}

} // namespace

namespace {

// The start-up asks for Mesa's software rasterizer before the display's first GLX call: the
// renderer, and Mesa as the vendor where libglvnd would otherwise pick the display's own.
TEST(OpenGLWindowSystemGlxTest, PreparationAsksForMesasSoftwareRasterizer) {
  unsetenv("LIBGL_ALWAYS_SOFTWARE");
  unsetenv("__GLX_VENDOR_LIBRARY_NAME");
  PrepareOpenGLWindowSystem();
  const char* software = std::getenv("LIBGL_ALWAYS_SOFTWARE");
  const char* vendor = std::getenv("__GLX_VENDOR_LIBRARY_NAME");
  EXPECT_STREQ(software, "1");
  // The build machine has Mesa (libglx-mesa0).
  EXPECT_STREQ(vendor, "mesa");
}

} // namespace
