// The name the Xlib backend titles message boxes and the task-bar entry with.
#include <gtest/gtest.h>

#include "platform/x11_toolkit.h"

TEST(ProgramNameX11Test, IsTheProgramsFileNameUntilATitleIsSet) {
  ASSERT_EQ(Application, nullptr);
  EXPECT_EQ(ProgramNameX11(), "platform_tests");
  TApplication application;
  Application = &application;
  EXPECT_EQ(ProgramNameX11(), "platform_tests");
  application.SetTitle("Vantrel");
  EXPECT_EQ(ProgramNameX11(), "Vantrel");
  Application = nullptr;
}
