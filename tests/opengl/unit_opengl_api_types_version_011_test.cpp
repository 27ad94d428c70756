// Our type and constant declarations beside the system's: a file that includes the system
// header first still compiles, and every value agrees. (The GLX backends include ours first.)
#include <GL/gl.h>

#include "opengl/unit_opengl_api_110_types_version_011.h"

#include <gtest/gtest.h>

#include <type_traits>

namespace {
// Copies taken through our names; after GL/gl.h they are the system's macros.
constexpr GLenum SystemQuads = GL_QUADS;
constexpr GLenum SystemProjection = GL_PROJECTION;
} // namespace

TEST(OpenGLTypes, ConstantsHaveThePublishedValues) {
  EXPECT_EQ(GL_POINTS, 0x0000u);
  EXPECT_EQ(GL_LINES, 0x0001u);
  EXPECT_EQ(SystemQuads, 0x0007u);
  EXPECT_EQ(GL_COLOR_BUFFER_BIT, 0x4000u);
  EXPECT_EQ(GL_FRONT, 0x0404u);
  EXPECT_EQ(GL_BACK, 0x0405u);
  EXPECT_EQ(GL_MODELVIEW, 0x1700u);
  EXPECT_EQ(SystemProjection, 0x1701u);
}

TEST(OpenGLTypes, TypesAreTheSystemsOwn) {
  EXPECT_TRUE((std::is_same_v<GLfloat, float>));
  EXPECT_TRUE((std::is_same_v<GLdouble, double>));
  EXPECT_TRUE((std::is_same_v<GLbyte, signed char>));
  EXPECT_EQ(sizeof(GLenum), 4u);
}
