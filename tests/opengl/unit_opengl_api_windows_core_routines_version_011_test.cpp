// The GLX core group against fake libraries: found, missing, and no library at all.
#include "opengl/unit_opengl_api_windows_core_routines_version_011.h"

#include "tests/opengl/opengl_api_fixture.h"

using OpenGLAPIWindowsCore = OpenGLAPIGroups;

TEST_F(OpenGLAPIWindowsCore, FailsWithoutALibraryButInitializesTheLibraryGroup) {
  EXPECT_FALSE(TOpenGLAPIWindowsCore::Initialize());
  EXPECT_FALSE(TOpenGLAPIWindowsCore::IsInitialized());
  EXPECT_TRUE(TOpenGLAPILibrary::IsInitialized());
  EXPECT_EQ(TOpenGLAPIWindowsCore::glXCreateNewContext, nullptr);
  EXPECT_EQ(TOpenGLAPIWindowsCore::glXMakeCurrent, nullptr);
}

TEST_F(OpenGLAPIWindowsCore, ResolvesTheFiveContextEntryPointsFromTheLibrary) {
  const TModuleHandle library = UseLibrary(FAKE_LIBGL_FULL);
  ASSERT_TRUE(TOpenGLAPIWindowsCore::Initialize());
  EXPECT_TRUE(TOpenGLAPIWindowsCore::IsInitialized());
  ExpectFoundIn(library, TOpenGLAPIWindowsCore::glXCreateNewContext, "glXCreateNewContext");
  ExpectFoundIn(library, TOpenGLAPIWindowsCore::glXMakeCurrent, "glXMakeCurrent");
  ExpectFoundIn(library, TOpenGLAPIWindowsCore::glXGetCurrentContext, "glXGetCurrentContext");
  ExpectFoundIn(library, TOpenGLAPIWindowsCore::glXGetCurrentDrawable, "glXGetCurrentDrawable");
  ExpectFoundIn(library, TOpenGLAPIWindowsCore::glXDestroyContext, "glXDestroyContext");
}

TEST_F(OpenGLAPIWindowsCore, OneMissingEntryPointFailsItAndEveryLaterGroupKeepingTheFoundOnes) {
  const TModuleHandle library = UseLibrary(FAKE_LIBGL_WITHOUT_GLXDESTROYCONTEXT);

  EXPECT_FALSE(TOpenGLAPIWindowsCore::Initialize());
  EXPECT_FALSE(TOpenGLAPIVersion100::Initialize());
  EXPECT_FALSE(TOpenGLAPIVersion110::Initialize());
  EXPECT_FALSE(TOpenGLAPIWindowsExtensions::Initialize());

  EXPECT_FALSE(TOpenGLAPIWindowsCore::IsInitialized());
  EXPECT_FALSE(TOpenGLAPIVersion100::IsInitialized());
  EXPECT_FALSE(TOpenGLAPIVersion110::IsInitialized());
  EXPECT_FALSE(TOpenGLAPIWindowsExtensions::IsInitialized());
  // The later groups never got as far as their own lookups.
  EXPECT_EQ(TOpenGLAPIVersion100::glViewport, nullptr);
  EXPECT_EQ(TOpenGLAPIVersion110::glBegin, nullptr);

  EXPECT_EQ(TOpenGLAPIWindowsCore::glXDestroyContext, nullptr);
  ExpectFoundIn(library, TOpenGLAPIWindowsCore::glXCreateNewContext, "glXCreateNewContext");
  ExpectFoundIn(library, TOpenGLAPIWindowsCore::glXGetCurrentDrawable, "glXGetCurrentDrawable");
}

TEST_F(OpenGLAPIWindowsCore, AMissingFirstNameStillLooksUpAndKeepsEveryNameAfterIt) {
  const TModuleHandle library = UseLibrary(FAKE_LIBGL_WITHOUT_GLXCREATENEWCONTEXT);
  EXPECT_FALSE(TOpenGLAPIWindowsCore::Initialize());
  EXPECT_FALSE(TOpenGLAPIWindowsCore::IsInitialized());
  EXPECT_EQ(TOpenGLAPIWindowsCore::glXCreateNewContext, nullptr);
  ExpectFoundIn(library, TOpenGLAPIWindowsCore::glXMakeCurrent, "glXMakeCurrent");
  ExpectFoundIn(library, TOpenGLAPIWindowsCore::glXGetCurrentContext, "glXGetCurrentContext");
  ExpectFoundIn(library, TOpenGLAPIWindowsCore::glXGetCurrentDrawable, "glXGetCurrentDrawable");
  ExpectFoundIn(library, TOpenGLAPIWindowsCore::glXDestroyContext, "glXDestroyContext");
}
