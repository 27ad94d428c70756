// Scene drawing against a recording OpenGL table: the exact calls, colours and vertices for
// every state of a person, the order of the scene, and the random colour of the overlay.
#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "opengl/opengl_api_recording_table.h"
#include "simulation/Unit_TProgram.h"
#include "tests/simulation/world_fixture.h"

namespace {

std::vector<std::string> Calls;

std::string Float(float ParaValue) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.9g", static_cast<double>(ParaValue));
  return buffer;
}

class SceneDrawingTest : public WorldTest {
protected:
  void SetUp() override {
    WorldTest::SetUp();
    Calls.clear();
    mRecording.emplace(Calls);
  }

  void TearDown() override {
    mRecording.reset();
    WorldTest::TearDown();
  }

  static TPerson PersonAt(double x, double y, int32_t size) {
    TPerson person;
    person.mPositionX = x;
    person.mPositionY = y;
    person.mSize = size;
    return person;
  }

  std::optional<TRecordingOpenGLTable> mRecording;
};

using Strings = std::vector<std::string>;

} // namespace

TEST_F(SceneDrawingTest, AHealthyFreePersonIsAWhiteSquare) {
  PersonAt(10, 20, 4).Draw();
  EXPECT_EQ(Calls, (Strings{"glBegin 7", "glColor3f 1 1 1", "glVertex2f 6 16", "glVertex2f 14 16",
                            "glVertex2f 14 24", "glVertex2f 6 24", "glEnd"}));
}

TEST_F(SceneDrawingTest, InfectionAndQuarantineColourTheSquareWithTheLastColourSet) {
  TPerson infected = PersonAt(0, 0, 3);
  infected.Infect();
  infected.Draw();
  EXPECT_EQ(Calls[1], "glColor3f 1 1 1");
  EXPECT_EQ(Calls[2], "glColor3f 1 0 0");
  EXPECT_EQ(Calls[3], "glVertex2f -3 -3");

  Calls.clear();
  TPerson quarantined = PersonAt(0, 0, 3);
  quarantined.Quarantine();
  quarantined.Draw();
  EXPECT_EQ((Strings{Calls.begin(), Calls.begin() + 3}),
            (Strings{"glBegin 7", "glColor3f 1 1 1", "glColor3f 0 0 1"}));

  Calls.clear();
  TPerson both = PersonAt(0, 0, 3);
  both.Infect();
  both.Quarantine();
  both.Draw();
  EXPECT_EQ((Strings{Calls.begin(), Calls.begin() + 5}),
            (Strings{"glBegin 7", "glColor3f 1 1 1", "glColor3f 1 0 0", "glColor3f 0 0 1",
                     "glColor3f 0 1 0"}));
  EXPECT_EQ(Calls.size(), 10u);
}

TEST_F(SceneDrawingTest, ADeadPersonIsAGreyCrossWhateverItsOtherFlags) {
  TPerson dead = PersonAt(10, 20, 3);
  dead.Infect();
  dead.Quarantine();
  dead.mDead = true;
  dead.Draw();
  EXPECT_EQ(Calls, (Strings{"glBegin 1",
                            "glColor3f " + Float(0.8f) + " " + Float(0.8f) + " " + Float(0.8f),
                            "glVertex2f 7 20", "glVertex2f 13 20", "glVertex2f 10 17",
                            "glVertex2f 10 29", "glEnd"}));
}

TEST_F(SceneDrawingTest, ABuriedPersonIsOneBrownPoint) {
  TPerson buried = PersonAt(10.6, 20.2, 5);
  buried.mDead = true;
  buried.mBuried = true;
  buried.Draw();
  EXPECT_EQ(Calls, (Strings{"glBegin 0",
                            "glColor3f " + Float(0.53333336f) + " " + Float(0.3764706f) + " " +
                                Float(0.043137256f),
                            "glVertex2f " + Float(10.6f) + " " + Float(20.2f), "glEnd"}));
}

TEST_F(SceneDrawingTest, VerticesAreFormedInDoubleThenNarrowed) {
  // 0.1 + 3 in double, then to float, differs from float(0.1) + 3 in float.
  PersonAt(16777216.5, 0.1, 3).Draw();
  EXPECT_EQ(Calls[2], "glVertex2f " + Float(static_cast<float>(16777216.5 - 3)) + " " +
                          Float(static_cast<float>(0.1 - 3)));
}

TEST_F(SceneDrawingTest, TheSceneIsTheClearedFieldThenPersonsInIndexOrder) {
  CreateWorld(792, 673);
  UsePersons(2);
  Persons[0] = PersonAt(5, 5, 3);
  Persons[1] = PersonAt(6, 6, 4);
  ProgramDraw();
  ASSERT_EQ(Calls.size(), 2u + 7u + 7u);
  EXPECT_EQ(Calls[0], "glClearColor 0 0 0 0");
  EXPECT_EQ(Calls[1], "glClear 16384");
  EXPECT_EQ(Calls[4], "glVertex2f 2 2");  // person 0 first
  EXPECT_EQ(Calls[11], "glVertex2f 2 2"); // person 1 drawn over it
  EXPECT_EQ(Calls[12], "glVertex2f 10 2");
}

TEST_F(SceneDrawingTest, NoRandomNumbersAreDrawnBeforeGameOver) {
  CreateWorld(100, 100);
  const uint32_t seed = RandSeed;
  ProgramDraw();
  EXPECT_EQ(RandSeed, seed);
}

TEST_F(SceneDrawingTest, AfterGameOverEveryFrameFlashesAFieldSizedQuadInANewRandomColour) {
  CreateWorld(792, 673);
  UsePersons(1);
  Game->GameOver();
  const uint32_t seed = RandSeed;
  ProgramDraw();
  RandSeed = seed;
  const int32_t r = Random(256);
  const int32_t g = Random(256);
  const int32_t b = Random(256);
  const uint32_t afterOneFrame = RandSeed;
  const Strings overlay(Calls.end() - 7, Calls.end());
  EXPECT_EQ(overlay, (Strings{"glBegin 7",
                              "glColor3f " + Float(static_cast<float>(r / 255.0)) + " " +
                                  Float(static_cast<float>(g / 255.0)) + " " +
                                  Float(static_cast<float>(b / 255.0)),
                              "glVertex2f 0 0", "glVertex2f 792 0", "glVertex2f 792 673",
                              "glVertex2f 0 673", "glEnd"}));
  // Exactly three draws per frame.
  RandSeed = afterOneFrame;
  ProgramDraw();
  RandSeed = afterOneFrame;
  Random(1);
  Random(1);
  Random(1);
  const uint32_t expected = RandSeed;
  RandSeed = afterOneFrame;
  ProgramDraw();
  EXPECT_EQ(RandSeed, expected);
}
