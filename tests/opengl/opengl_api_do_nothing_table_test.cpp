// The do-nothing table covers every variable of the 1.0 and 1.1 groups and answers zero.
#include "opengl/opengl_api_do_nothing_table.h"

#include "tests/opengl/opengl_api_fixture.h"

using OpenGLAPIDoNothingTable = OpenGLAPIGroups;

TEST_F(OpenGLAPIDoNothingTable, SetsEveryVariableAndLeavesTheFlagsAlone) {
  InstallDoNothingOpenGLTable();
#define OPENGL_ENTRY_POINT(Class, Name) EXPECT_NE(Class::Name, nullptr) << #Name;
#include "opengl/unit_opengl_api_100_routines_version_011_table.inc"
#include "opengl/unit_opengl_api_110_routines_version_011_table.inc"
#undef OPENGL_ENTRY_POINT
  EXPECT_FALSE(TOpenGLAPIVersion110::IsInitialized());

  TOpenGLAPIVersion110::glBegin(GL_QUADS);
  TOpenGLAPIVersion110::glEnd();
  EXPECT_EQ(TOpenGLAPIVersion100::glGetString(GL_VERSION), nullptr);
  EXPECT_EQ(TOpenGLAPIVersion100::glGetError(), GL_NO_ERROR);
  EXPECT_EQ(TOpenGLAPIVersion110::glIsList(1), GL_FALSE);
}
