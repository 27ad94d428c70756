// Loading and freeing the OpenGL system library, against the real libGL.so.1 (no display
// needed: nothing here creates a context).
#include "opengl/unit_opengl_api_library_version_011.h"

#include "tests/opengl/opengl_api_fixture.h"

using OpenGLAPILibrary = OpenGLAPIGroups;

TEST_F(OpenGLAPILibrary, LoadsTheSystemLibraryAndUnloadKeepsTheHandle) {
  ASSERT_TRUE(TOpenGLAPILibrary::LoadLibrary());
  EXPECT_TRUE(TOpenGLAPILibrary::mLibraryLoaded);
  void* const handle = TOpenGLAPILibrary::mLibraryHandle;
  ASSERT_NE(handle, nullptr);

  EXPECT_TRUE(TOpenGLAPILibrary::UnloadLibrary());
  EXPECT_FALSE(TOpenGLAPILibrary::mLibraryLoaded);
  EXPECT_EQ(TOpenGLAPILibrary::mLibraryHandle, handle);
}

TEST_F(OpenGLAPILibrary, UnloadWithoutAHandleFailsAndLeavesTheLoadedFlag) {
  TOpenGLAPILibrary::mLibraryLoaded = true;
  EXPECT_FALSE(TOpenGLAPILibrary::UnloadLibrary());
  EXPECT_TRUE(TOpenGLAPILibrary::mLibraryLoaded);
}

TEST_F(OpenGLAPILibrary, InitializeSucceedsWithoutALibrary) {
  EXPECT_FALSE(TOpenGLAPILibrary::IsInitialized());
  EXPECT_TRUE(TOpenGLAPILibrary::Initialize());
  EXPECT_TRUE(TOpenGLAPILibrary::IsInitialized());
  EXPECT_FALSE(TOpenGLAPILibrary::mLibraryLoaded);
}
