// The OpenGL 1.1 group: called first it walks the whole chain; its flag keeps its value when a
// later call fails.
#include "opengl/unit_opengl_api_110_routines_version_011.h"

#include "tests/opengl/opengl_api_fixture.h"

#include <string_view>

using OpenGLAPIVersion110 = OpenGLAPIGroups;

TEST_F(OpenGLAPIVersion110, CalledFirstItInitializesTheCoreAnd100GroupsThenItself) {
  const TModuleHandle library = UseLibrary(FAKE_LIBGL_FULL);
  ASSERT_TRUE(TOpenGLAPIVersion110::Initialize());
  EXPECT_TRUE(TOpenGLAPILibrary::IsInitialized());
  EXPECT_TRUE(TOpenGLAPIWindowsCore::IsInitialized());
  EXPECT_TRUE(TOpenGLAPIVersion100::IsInitialized());
  EXPECT_TRUE(TOpenGLAPIVersion110::IsInitialized());
  EXPECT_FALSE(TOpenGLAPIWindowsExtensions::IsInitialized());

  ExpectFoundIn(library, TOpenGLAPIWindowsCore::glXMakeCurrent, "glXMakeCurrent");
  ExpectFoundIn(library, TOpenGLAPIVersion100::glDrawBuffer, "glDrawBuffer");
  ExpectFoundIn(library, TOpenGLAPIVersion110::glBegin, "glBegin");
  ExpectFoundIn(library, TOpenGLAPIVersion110::glOrtho, "glOrtho");
  ExpectFoundIn(library, TOpenGLAPIVersion110::glVertexPointer, "glVertexPointer");
}

TEST_F(OpenGLAPIVersion110, AMissingCommandFailsOnlyThisGroup) {
  const TModuleHandle library = UseLibrary(FAKE_LIBGL_WITHOUT_GLVERTEX2F);
  EXPECT_FALSE(TOpenGLAPIVersion110::Initialize());
  EXPECT_FALSE(TOpenGLAPIVersion110::IsInitialized());
  EXPECT_TRUE(TOpenGLAPIVersion100::IsInitialized());
  EXPECT_EQ(TOpenGLAPIVersion110::glVertex2f, nullptr);
  ExpectFoundIn(library, TOpenGLAPIVersion110::glVertex2d, "glVertex2d");
  EXPECT_FALSE(TOpenGLAPIWindowsExtensions::Initialize());
}

TEST_F(OpenGLAPIVersion110, ALaterFailingCallKeepsTheFlagButStoresTheNull) {
  UseLibrary(FAKE_LIBGL_FULL);
  ASSERT_TRUE(TOpenGLAPIVersion110::Initialize());

  UseLibrary(FAKE_LIBGL_WITHOUT_GLVERTEX2F);
  EXPECT_FALSE(TOpenGLAPIVersion110::Initialize());
  EXPECT_TRUE(TOpenGLAPIVersion110::IsInitialized());
  EXPECT_EQ(TOpenGLAPIVersion110::glVertex2f, nullptr);
}

TEST_F(OpenGLAPIVersion110, AMissingFirstNameStillLooksUpAndKeepsEveryNameAfterIt) {
  const TModuleHandle library = UseLibrary(FAKE_LIBGL_WITHOUT_GLACCUM);
  EXPECT_FALSE(TOpenGLAPIVersion110::Initialize());
  EXPECT_FALSE(TOpenGLAPIVersion110::IsInitialized());
  EXPECT_EQ(TOpenGLAPIVersion110::glAccum, nullptr);
#define OPENGL_ENTRY_POINT(Class, Name)                                                            \
  if (std::string_view(#Name) != "glAccum") {                                                      \
    ExpectFoundIn(library, Class::Name, #Name);                                                    \
  }
#include "opengl/unit_opengl_api_110_routines_version_011_table.inc"
#undef OPENGL_ENTRY_POINT
}

// A library lacking a 1.0 name proves the 1.0 group is not looked up again: doing so would
// store the null and fail the 1.0 group, and with it this one.
TEST_F(OpenGLAPIVersion110, ALaterCallDoesNotRepeatTheInitialized100AndCoreGroups) {
  const TModuleHandle first = UseLibrary(FAKE_LIBGL_FULL);
  ASSERT_TRUE(TOpenGLAPIVersion110::Initialize());

  const TModuleHandle second = UseLibrary(FAKE_LIBGL_WITHOUT_GLVIEWPORT);
  EXPECT_TRUE(TOpenGLAPIVersion110::Initialize());
  EXPECT_TRUE(TOpenGLAPIVersion100::IsInitialized());
  ExpectFoundIn(first, TOpenGLAPIVersion100::glViewport, "glViewport");
  ExpectFoundIn(first, TOpenGLAPIWindowsCore::glXMakeCurrent, "glXMakeCurrent");
  // Its own names were looked up again, in the new library.
  ExpectFoundIn(second, TOpenGLAPIVersion110::glBegin, "glBegin");
}
