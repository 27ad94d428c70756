// The GLX extension group: the address query from the library, the swap entry points through
// it, trusted only when the current display lists GLX_MESA_swap_control.
#include "opengl/unit_opengl_api_windows_extensions_routines_version_011.h"

#include "tests/opengl/opengl_api_fixture.h"

namespace {
int FakeDisplay = 0;

void setCurrent(TModuleHandle ParaLibrary, void* ParaDisplay, const char* ParaExtensions) {
  using TSetCurrent = void(void*, const char*);
  reinterpret_cast<TSetCurrent*>(PlatformModuleSymbol(ParaLibrary, "FakeGLSetCurrent"))(
      ParaDisplay, ParaExtensions);
}
} // namespace

using OpenGLAPIWindowsExtensions = OpenGLAPIGroups;

TEST_F(OpenGLAPIWindowsExtensions, WithoutACurrentContextItFailsAfterResolvingThe110Group) {
  const TModuleHandle library = UseLibrary(FAKE_LIBGL_FULL);
  setCurrent(library, nullptr, "GLX_MESA_swap_control");

  EXPECT_FALSE(TOpenGLAPIWindowsExtensions::Initialize());
  EXPECT_FALSE(TOpenGLAPIWindowsExtensions::IsInitialized());
  EXPECT_TRUE(TOpenGLAPIVersion110::IsInitialized());
  ExpectFoundIn(library, TOpenGLAPIWindowsExtensions::glXGetProcAddressARB, "glXGetProcAddressARB");
  // The address query answered, but without a display nothing vouches for the answers.
  EXPECT_EQ(TOpenGLAPIWindowsExtensions::glXSwapIntervalMESA, nullptr);
  EXPECT_EQ(TOpenGLAPIWindowsExtensions::glXGetSwapIntervalMESA, nullptr);
}

TEST_F(OpenGLAPIWindowsExtensions, ADisplayListingSwapControlMakesTheGroupAndSwapIntervalWork) {
  const TModuleHandle library = UseLibrary(FAKE_LIBGL_FULL);
  setCurrent(library, &FakeDisplay, "GLX_ARB_create_context GLX_MESA_swap_control GLX_SGI_x");

  ASSERT_TRUE(TOpenGLAPIWindowsExtensions::Initialize());
  EXPECT_TRUE(TOpenGLAPIWindowsExtensions::IsInitialized());
  ASSERT_NE(TOpenGLAPIWindowsExtensions::glXSwapIntervalMESA, nullptr);
  ASSERT_NE(TOpenGLAPIWindowsExtensions::glXGetSwapIntervalMESA, nullptr);

  EXPECT_TRUE(TOpenGLAPIWindowsExtensions::SetSwapInterval(1));
  EXPECT_EQ(TOpenGLAPIWindowsExtensions::glXGetSwapIntervalMESA(), 1);
  EXPECT_TRUE(TOpenGLAPIWindowsExtensions::SetSwapInterval(0));
  EXPECT_EQ(TOpenGLAPIWindowsExtensions::glXGetSwapIntervalMESA(), 0);
}

TEST_F(OpenGLAPIWindowsExtensions, OnlyTheWholeExtensionNameCounts) {
  const TModuleHandle library = UseLibrary(FAKE_LIBGL_FULL);
  setCurrent(library, &FakeDisplay, "GLX_MESA_swap_control_tear GLX_EXT_swap_control");
  EXPECT_FALSE(TOpenGLAPIWindowsExtensions::Initialize());

  setCurrent(library, &FakeDisplay, "GLX_MESA_swap_control");
  EXPECT_TRUE(TOpenGLAPIWindowsExtensions::Initialize());
}

TEST_F(OpenGLAPIWindowsExtensions, WithoutTheAddressQueryItFailsAtOnce) {
  const TModuleHandle library = UseLibrary(FAKE_LIBGL_WITHOUT_GLXGETPROCADDRESSARB);
  setCurrent(library, &FakeDisplay, "GLX_MESA_swap_control");
  EXPECT_FALSE(TOpenGLAPIWindowsExtensions::Initialize());
  EXPECT_TRUE(TOpenGLAPIVersion110::IsInitialized());
  EXPECT_EQ(TOpenGLAPIWindowsExtensions::glXGetProcAddressARB, nullptr);
}

TEST_F(OpenGLAPIWindowsExtensions, AFailedLaterCallKeepsTheFlag) {
  const TModuleHandle library = UseLibrary(FAKE_LIBGL_FULL);
  setCurrent(library, &FakeDisplay, "GLX_MESA_swap_control");
  ASSERT_TRUE(TOpenGLAPIWindowsExtensions::Initialize());

  setCurrent(library, nullptr, "");
  EXPECT_FALSE(TOpenGLAPIWindowsExtensions::Initialize());
  EXPECT_TRUE(TOpenGLAPIWindowsExtensions::IsInitialized());
  EXPECT_EQ(TOpenGLAPIWindowsExtensions::glXSwapIntervalMESA, nullptr);
}

// A library lacking a 1.1 name proves the 1.1 group is not looked up again: doing so would
// store the null (its flag would stay set, so only the variable tells).
TEST_F(OpenGLAPIWindowsExtensions, ALaterCallDoesNotRepeatTheInitialized110Group) {
  const TModuleHandle first = UseLibrary(FAKE_LIBGL_FULL);
  setCurrent(first, &FakeDisplay, "GLX_MESA_swap_control");
  ASSERT_TRUE(TOpenGLAPIWindowsExtensions::Initialize());

  const TModuleHandle second = UseLibrary(FAKE_LIBGL_WITHOUT_GLVERTEX2F);
  setCurrent(second, &FakeDisplay, "GLX_MESA_swap_control");
  EXPECT_TRUE(TOpenGLAPIWindowsExtensions::Initialize());
  ExpectFoundIn(first, TOpenGLAPIVersion110::glVertex2f, "glVertex2f");
  ExpectFoundIn(first, TOpenGLAPIVersion100::glViewport, "glViewport");
  // Its own address query comes from the new library.
  ExpectFoundIn(second, TOpenGLAPIWindowsExtensions::glXGetProcAddressARB, "glXGetProcAddressARB");
}
