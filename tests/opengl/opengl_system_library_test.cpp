// The groups against the real libGL.so.1: every OpenGL 1.1 command and the GLX core entry
// points resolve by name. Needs no display, since looking names up creates no context.
#include "tests/opengl/opengl_api_fixture.h"

#include <set>
#include <string>

namespace {
// Every command of both generated tables, with whether its variable is set.
struct TCommand {
  std::string mName;
  bool mFound;
};

std::vector<TCommand> allCommands() {
  std::vector<TCommand> commands;
#define OPENGL_ENTRY_POINT(Class, Name) commands.push_back({#Name, Class::Name != nullptr});
#include "opengl/unit_opengl_api_100_routines_version_011_table.inc"
#include "opengl/unit_opengl_api_110_routines_version_011_table.inc"
#undef OPENGL_ENTRY_POINT
  return commands;
}
} // namespace

using OpenGLSystemLibrary = OpenGLAPIGroups;

TEST_F(OpenGLSystemLibrary, TheTwoGroupsHoldThe336CommandsOfOpenGL11EachOnce) {
  const std::vector<TCommand> commands = allCommands();
  std::set<std::string> names;
  for (const TCommand& command : commands) {
    names.insert(command.mName);
  }
  EXPECT_EQ(commands.size(), 336u);
  EXPECT_EQ(names.size(), 336u);
}

TEST_F(OpenGLSystemLibrary, EveryOpenGL11CommandAndTheGlxCoreResolve) {
  ASSERT_TRUE(TOpenGLAPILibrary::LoadLibrary());
  EXPECT_TRUE(TOpenGLAPIVersion110::Initialize());

  for (const TCommand& command : allCommands()) {
    EXPECT_TRUE(command.mFound) << command.mName;
  }
  EXPECT_TRUE(TOpenGLAPIWindowsCore::IsInitialized());
  EXPECT_TRUE(TOpenGLAPIVersion100::IsInitialized());
  EXPECT_TRUE(TOpenGLAPIVersion110::IsInitialized());
  EXPECT_NE(TOpenGLAPIWindowsCore::glXCreateNewContext, nullptr);
  EXPECT_NE(TOpenGLAPIWindowsCore::glXMakeCurrent, nullptr);
  EXPECT_NE(TOpenGLAPIWindowsCore::glXGetCurrentContext, nullptr);
  EXPECT_NE(TOpenGLAPIWindowsCore::glXGetCurrentDrawable, nullptr);
  EXPECT_NE(TOpenGLAPIWindowsCore::glXDestroyContext, nullptr);

  EXPECT_TRUE(TOpenGLAPILibrary::UnloadLibrary());
}

TEST_F(OpenGLSystemLibrary, TheExtensionGroupFailsWithoutACurrentContext) {
  ASSERT_TRUE(TOpenGLAPILibrary::LoadLibrary());
  EXPECT_FALSE(TOpenGLAPIWindowsExtensions::Initialize());
  EXPECT_TRUE(TOpenGLAPIVersion110::IsInitialized());
  EXPECT_NE(TOpenGLAPIWindowsExtensions::glXGetProcAddressARB, nullptr);
  EXPECT_EQ(TOpenGLAPIWindowsExtensions::glXSwapIntervalMESA, nullptr);
  EXPECT_TRUE(TOpenGLAPILibrary::UnloadLibrary());
}
