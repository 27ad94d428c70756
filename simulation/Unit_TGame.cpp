// Level rules; see Unit_TGame.h.
#include "simulation/Unit_TGame.h"

#include <cstdint>
#include <limits>

#include "opengl/unit_opengl_api_110_routines_version_011.h"
#include "runtime/numbers.h"
#include "runtime/random.h"
#include "simulation/Unit_TDisease.h"
#include "simulation/Unit_TField.h"
#include "simulation/Unit_THumanity.h"

TGame* Game = nullptr;

void TGame::NextLevel() {
  const double grown = PersonCount * 1.2;
  // The 94th level would leave the 32-bit range: the population stops growing there.
  constexpr int32_t kLargest = std::numeric_limits<int32_t>::max();
  PersonCount = grown >= kLargest ? kLargest : RoundHalfEven(grown);
  Humanity->Reset();
  Disease->Reset();
}

void TGame::Think() {
  if (!(Disease->mCycle > Disease->mCycleTillPatientZero)) {
    return;
  }
  if (Humanity->Infected() != 0) {
    return;
  }
  if (Humanity->Alive() > 0) {
    NextLevel();
  } else {
    GameOver();
  }
}

void TGame::Draw() const {
  if (!mOver) {
    return;
  }
  using GL = TOpenGLAPIVersion110;
  // A new random colour over the whole field in every frame: the field flashes.
  GL::glBegin(GL_QUADS);
  const int32_t r = Random(256);
  const int32_t g = Random(256);
  const int32_t b = Random(256);
  GL::glColor3f(static_cast<float>(r / 255.0), static_cast<float>(g / 255.0),
                static_cast<float>(b / 255.0));
  const auto w = static_cast<float>(Field->Width());
  const auto h = static_cast<float>(Field->Height());
  GL::glVertex2f(0.0f, 0.0f);
  GL::glVertex2f(w, 0.0f);
  GL::glVertex2f(w, h);
  GL::glVertex2f(0.0f, h);
  GL::glEnd();
}
