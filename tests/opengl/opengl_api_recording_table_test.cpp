// The recording table writes every call of the 1.0 and 1.1 groups with its arguments, answers
// zero, and puts back the entry points that were there when it goes, also when tables nest.
#include "opengl/opengl_api_recording_table.h"

#include "opengl/opengl_api_do_nothing_table.h"
#include "tests/opengl/opengl_api_fixture.h"

using OpenGLAPIRecordingTable = OpenGLAPIGroups;

TEST_F(OpenGLAPIRecordingTable, RecordsEveryCallWithItsArgumentsAndAnswersZero) {
  std::vector<std::string> calls;
  TRecordingOpenGLTable recording(calls);
#define OPENGL_ENTRY_POINT(Class, Name) ASSERT_NE(Class::Name, nullptr) << #Name;
#include "opengl/unit_opengl_api_100_routines_version_011_table.inc"
#include "opengl/unit_opengl_api_110_routines_version_011_table.inc"
#undef OPENGL_ENTRY_POINT
  TOpenGLAPIVersion110::glVertex2f(0.1f, -2.0f);
  TOpenGLAPIVersion110::glOrtho(0.0, 792.0, 673.0, 0.0, -1.0, 1.0 / 3.0);
  TOpenGLAPIVersion100::glClear(GL_COLOR_BUFFER_BIT);
  EXPECT_EQ(TOpenGLAPIVersion100::glGetError(), GL_NO_ERROR);
  EXPECT_EQ(calls, (std::vector<std::string>{"glVertex2f 0.100000001 -2",
                                             "glOrtho 0 792 673 0 -1 0.33333333333333331",
                                             "glClear 16384", "glGetError"}));
}

TEST_F(OpenGLAPIRecordingTable, PutsBackWhatWasThereAndNests) {
  InstallDoNothingOpenGLTable();
  const auto before = TOpenGLAPIVersion110::glBegin;
  std::vector<std::string> outer;
  std::vector<std::string> inner;
  {
    TRecordingOpenGLTable outerTable(outer);
    TOpenGLAPIVersion110::glBegin(GL_QUADS);
    {
      TRecordingOpenGLTable innerTable(inner);
      TOpenGLAPIVersion110::glBegin(GL_LINES);
    }
    TOpenGLAPIVersion110::glBegin(GL_POINTS);
  }
  EXPECT_EQ(outer, (std::vector<std::string>{"glBegin 7", "glBegin 0"}));
  EXPECT_EQ(inner, (std::vector<std::string>{"glBegin 1"}));
  EXPECT_EQ(TOpenGLAPIVersion110::glBegin, before);
}
