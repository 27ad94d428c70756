// The OpenGL 1.0 group: its own flag cleared on every call, found values kept on failure.
#include "opengl/unit_opengl_api_100_routines_version_011.h"

#include "tests/opengl/opengl_api_fixture.h"

#include <string_view>

using OpenGLAPIVersion100 = OpenGLAPIGroups;

TEST_F(OpenGLAPIVersion100, InitializesTheCoreGroupFirstAndResolvesTheCoreProfileCommands) {
  const TModuleHandle library = UseLibrary(FAKE_LIBGL_FULL);
  ASSERT_TRUE(TOpenGLAPIVersion100::Initialize());
  EXPECT_TRUE(TOpenGLAPIWindowsCore::IsInitialized());
  EXPECT_TRUE(TOpenGLAPIVersion100::IsInitialized());
  EXPECT_FALSE(TOpenGLAPIVersion110::IsInitialized());
  ExpectFoundIn(library, TOpenGLAPIVersion100::glCullFace, "glCullFace");
  ExpectFoundIn(library, TOpenGLAPIVersion100::glClear, "glClear");
  ExpectFoundIn(library, TOpenGLAPIVersion100::glViewport, "glViewport");
  // 1.1 commands are not this group's.
  EXPECT_EQ(TOpenGLAPIVersion110::glBegin, nullptr);
}

TEST_F(OpenGLAPIVersion100, AMissingCommandFailsTheGroupButKeepsWhatWasFound) {
  const TModuleHandle library = UseLibrary(FAKE_LIBGL_WITHOUT_GLVIEWPORT);
  EXPECT_FALSE(TOpenGLAPIVersion100::Initialize());
  EXPECT_FALSE(TOpenGLAPIVersion100::IsInitialized());
  EXPECT_TRUE(TOpenGLAPIWindowsCore::IsInitialized());
  EXPECT_EQ(TOpenGLAPIVersion100::glViewport, nullptr);
  ExpectFoundIn(library, TOpenGLAPIVersion100::glCullFace, "glCullFace");
  ExpectFoundIn(library, TOpenGLAPIVersion100::glDepthRange, "glDepthRange");

  EXPECT_FALSE(TOpenGLAPIVersion110::Initialize());
  EXPECT_FALSE(TOpenGLAPIVersion110::IsInitialized());
}

TEST_F(OpenGLAPIVersion100, ALaterFailingCallLeavesTheGroupUninitialized) {
  UseLibrary(FAKE_LIBGL_FULL);
  ASSERT_TRUE(TOpenGLAPIVersion100::Initialize());

  const TModuleHandle lacking = UseLibrary(FAKE_LIBGL_WITHOUT_GLVIEWPORT);
  EXPECT_FALSE(TOpenGLAPIVersion100::Initialize());
  EXPECT_FALSE(TOpenGLAPIVersion100::IsInitialized());
  // Its own names were looked up again, in the new library; the null is kept.
  EXPECT_EQ(TOpenGLAPIVersion100::glViewport, nullptr);
  ExpectFoundIn(lacking, TOpenGLAPIVersion100::glClear, "glClear");
}

TEST_F(OpenGLAPIVersion100, ALaterCallDoesNotRepeatTheInitializedCoreGroup) {
  const TModuleHandle first = UseLibrary(FAKE_LIBGL_FULL);
  ASSERT_TRUE(TOpenGLAPIVersion100::Initialize());

  const TModuleHandle second = UseLibrary(FAKE_LIBGL_WITHOUT_GLXDESTROYCONTEXT);
  EXPECT_TRUE(TOpenGLAPIVersion100::Initialize());
  ExpectFoundIn(first, TOpenGLAPIWindowsCore::glXDestroyContext, "glXDestroyContext");
  ExpectFoundIn(second, TOpenGLAPIVersion100::glClear, "glClear");
}

TEST_F(OpenGLAPIVersion100, AMissingFirstNameStillLooksUpAndKeepsEveryNameAfterIt) {
  const TModuleHandle library = UseLibrary(FAKE_LIBGL_WITHOUT_GLCULLFACE);
  EXPECT_FALSE(TOpenGLAPIVersion100::Initialize());
  EXPECT_FALSE(TOpenGLAPIVersion100::IsInitialized());
  EXPECT_EQ(TOpenGLAPIVersion100::glCullFace, nullptr);
#define OPENGL_ENTRY_POINT(Class, Name)                                                            \
  if (std::string_view(#Name) != "glCullFace") {                                                   \
    ExpectFoundIn(library, Class::Name, #Name);                                                    \
  }
#include "opengl/unit_opengl_api_100_routines_version_011_table.inc"
#undef OPENGL_ENTRY_POINT
}
