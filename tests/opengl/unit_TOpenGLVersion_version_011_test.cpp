// The version registry: what the program's registrations make of it, and the search order.
#include "opengl/unit_TOpenGLVersion_version_011.h"

#include "opengl/opengl_routine_units.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

static_assert(sizeof(TOpenGLVersion) == 1, "stored in one unsigned byte");
static_assert(OpenGLVersionCount == 18);

class OpenGLVersionRegistry : public ::testing::Test {
protected:
  void SetUp() override {
    std::fill(std::begin(OpenGLVersionAvailable), std::end(OpenGLVersionAvailable), false);
  }
};

TEST_F(OpenGLVersionRegistry, WithNothingRegisteredTheHighestIsNone) {
  EXPECT_EQ(HighestOpenGLVersionAvailable(), GL_VERSION_NONE);
}

TEST_F(OpenGLVersionRegistry, TheProgramsRoutineUnitsRegister100To300AndNothingElse) {
  RegisterOpenGLRoutineUnits();

  for (int version = 0; version < OpenGLVersionCount; ++version) {
    const bool registered = version >= GL_VERSION_100 && version <= GL_VERSION_300;
    EXPECT_EQ(OpenGLVersionAvailable[version], registered) << "ordinal " << version;
  }
  EXPECT_EQ(HighestOpenGLVersionAvailable(), GL_VERSION_300);
}

TEST_F(OpenGLVersionRegistry, HighestIsTheTopmostTrueEntryWhateverLiesBelow) {
  OpenGLVersionAvailable[GL_VERSION_100] = true;
  OpenGLVersionAvailable[GL_VERSION_440] = true;
  EXPECT_EQ(HighestOpenGLVersionAvailable(), GL_VERSION_440);

  std::fill(std::begin(OpenGLVersionAvailable), std::end(OpenGLVersionAvailable), false);
  OpenGLVersionAvailable[GL_VERSION_210] = true;
  EXPECT_EQ(HighestOpenGLVersionAvailable(), GL_VERSION_210);
}

TEST_F(OpenGLVersionRegistry, RegisteringTwiceChangesNothing) {
  RegisterOpenGLRoutineUnits();
  RegisterOpenGLRoutineUnits();
  EXPECT_EQ(HighestOpenGLVersionAvailable(), GL_VERSION_300);
  EXPECT_FALSE(OpenGLVersionAvailable[GL_VERSION_NONE]);
  EXPECT_FALSE(OpenGLVersionAvailable[GL_VERSION_310]);
}
