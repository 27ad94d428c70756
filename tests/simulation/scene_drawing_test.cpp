// Scene drawing against a recording OpenGL table: the exact calls, colours and vertices for
// every state of a person, the order of the scene, and the random colour of the overlay.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "opengl/unit_opengl_api_110_routines_version_011.h"
#include "simulation/Unit_TProgram.h"
#include "tests/simulation/world_fixture.h"

namespace {

std::vector<std::string> Calls;

std::string Float(float ParaValue) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.9g", static_cast<double>(ParaValue));
  return buffer;
}

void VANTREL_APIENTRY RecordClearColor(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
  Calls.push_back("ClearColor " + Float(r) + " " + Float(g) + " " + Float(b) + " " + Float(a));
}
void VANTREL_APIENTRY RecordClear(GLbitfield mask) {
  Calls.push_back("Clear " + std::to_string(mask));
}
void VANTREL_APIENTRY RecordBegin(GLenum mode) {
  Calls.push_back("Begin " + std::to_string(mode));
}
void VANTREL_APIENTRY RecordEnd() {
  Calls.push_back("End");
}
void VANTREL_APIENTRY RecordColor3f(GLfloat r, GLfloat g, GLfloat b) {
  Calls.push_back("Color " + Float(r) + " " + Float(g) + " " + Float(b));
}
void VANTREL_APIENTRY RecordVertex2f(GLfloat x, GLfloat y) {
  Calls.push_back("Vertex " + Float(x) + " " + Float(y));
}

class SceneDrawingTest : public WorldTest {
protected:
  void SetUp() override {
    WorldTest::SetUp();
    Calls.clear();
    using GL = TOpenGLAPIVersion110;
    GL::glClearColor = RecordClearColor;
    GL::glClear = RecordClear;
    GL::glBegin = RecordBegin;
    GL::glEnd = RecordEnd;
    GL::glColor3f = RecordColor3f;
    GL::glVertex2f = RecordVertex2f;
  }

  void TearDown() override {
    using GL = TOpenGLAPIVersion110;
    GL::glClearColor = nullptr;
    GL::glClear = nullptr;
    GL::glBegin = nullptr;
    GL::glEnd = nullptr;
    GL::glColor3f = nullptr;
    GL::glVertex2f = nullptr;
    WorldTest::TearDown();
  }

  static TPerson PersonAt(double x, double y, int32_t size) {
    TPerson person;
    person.mPositionX = x;
    person.mPositionY = y;
    person.mSize = size;
    return person;
  }
};

using Strings = std::vector<std::string>;

} // namespace

TEST_F(SceneDrawingTest, AHealthyFreePersonIsAWhiteSquare) {
  PersonAt(10, 20, 4).Draw();
  EXPECT_EQ(Calls, (Strings{"Begin 7", "Color 1 1 1", "Vertex 6 16", "Vertex 14 16", "Vertex 14 24",
                            "Vertex 6 24", "End"}));
}

TEST_F(SceneDrawingTest, InfectionAndQuarantineColourTheSquareWithTheLastColourSet) {
  TPerson infected = PersonAt(0, 0, 3);
  infected.Infect();
  infected.Draw();
  EXPECT_EQ(Calls[1], "Color 1 1 1");
  EXPECT_EQ(Calls[2], "Color 1 0 0");
  EXPECT_EQ(Calls[3], "Vertex -3 -3");

  Calls.clear();
  TPerson quarantined = PersonAt(0, 0, 3);
  quarantined.Quarantine();
  quarantined.Draw();
  EXPECT_EQ((Strings{Calls.begin(), Calls.begin() + 3}),
            (Strings{"Begin 7", "Color 1 1 1", "Color 0 0 1"}));

  Calls.clear();
  TPerson both = PersonAt(0, 0, 3);
  both.Infect();
  both.Quarantine();
  both.Draw();
  EXPECT_EQ((Strings{Calls.begin(), Calls.begin() + 5}),
            (Strings{"Begin 7", "Color 1 1 1", "Color 1 0 0", "Color 0 0 1", "Color 0 1 0"}));
  EXPECT_EQ(Calls.size(), 10u);
}

TEST_F(SceneDrawingTest, ADeadPersonIsAGreyCrossWhateverItsOtherFlags) {
  TPerson dead = PersonAt(10, 20, 3);
  dead.Infect();
  dead.Quarantine();
  dead.mDead = true;
  dead.Draw();
  EXPECT_EQ(Calls,
            (Strings{"Begin 1", "Color " + Float(0.8f) + " " + Float(0.8f) + " " + Float(0.8f),
                     "Vertex 7 20", "Vertex 13 20", "Vertex 10 17", "Vertex 10 29", "End"}));
}

TEST_F(SceneDrawingTest, ABuriedPersonIsOneBrownPoint) {
  TPerson buried = PersonAt(10.6, 20.2, 5);
  buried.mDead = true;
  buried.mBuried = true;
  buried.Draw();
  EXPECT_EQ(Calls, (Strings{"Begin 0",
                            "Color " + Float(0.53333336f) + " " + Float(0.3764706f) + " " +
                                Float(0.043137256f),
                            "Vertex " + Float(10.6f) + " " + Float(20.2f), "End"}));
}

TEST_F(SceneDrawingTest, VerticesAreFormedInDoubleThenNarrowed) {
  // 0.1 + 3 in double, then to float, differs from float(0.1) + 3 in float.
  PersonAt(16777216.5, 0.1, 3).Draw();
  EXPECT_EQ(Calls[2], "Vertex " + Float(static_cast<float>(16777216.5 - 3)) + " " +
                          Float(static_cast<float>(0.1 - 3)));
}

TEST_F(SceneDrawingTest, TheSceneIsTheClearedFieldThenPersonsInIndexOrder) {
  CreateWorld(792, 673);
  UsePersons(2);
  Persons[0] = PersonAt(5, 5, 3);
  Persons[1] = PersonAt(6, 6, 4);
  ProgramDraw();
  ASSERT_EQ(Calls.size(), 2u + 7u + 7u);
  EXPECT_EQ(Calls[0], "ClearColor 0 0 0 0");
  EXPECT_EQ(Calls[1], "Clear 16384");
  EXPECT_EQ(Calls[4], "Vertex 2 2");  // person 0 first
  EXPECT_EQ(Calls[11], "Vertex 2 2"); // person 1 drawn over it
  EXPECT_EQ(Calls[12], "Vertex 10 2");
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
  EXPECT_EQ(overlay,
            (Strings{"Begin 7",
                     "Color " + Float(static_cast<float>(r / 255.0)) + " " +
                         Float(static_cast<float>(g / 255.0)) + " " +
                         Float(static_cast<float>(b / 255.0)),
                     "Vertex 0 0", "Vertex 792 0", "Vertex 792 673", "Vertex 0 673", "End"}));
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
