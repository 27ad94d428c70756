// Person rules; see Unit_TPerson.h. Every floating-point step is written in the order the
// game's rules fix, because positions must agree bit for bit between builds.
#include "simulation/Unit_TPerson.h"

#include <bit>
#include <cmath>

#include "opengl/unit_opengl_api_110_routines_version_011.h"
#include "runtime/numbers.h"
#include "runtime/random.h"
#include "runtime/trigonometry.h"

using GL = TOpenGLAPIVersion110;

std::vector<TPerson> Persons;

int32_t PersonSpeedRange = 30;

void TPerson::Initialize() {
  mCycle = 0;
  mInfectionCycle = 0;
  mDeadCycle = 0;
  mDead = false;
  mBuried = false;
  mAngle = Random(360);
  // A division by ten, not a multiplication by 0.1: the two differ in the last bit.
  mSpeed = Random(PersonSpeedRange) / 10.0;
  mStartChangeAngleAfterCycle = Random(100) + 10;
  mStopChangeAngleAfterCycle = mStartChangeAngleAfterCycle + Random(100) + 10;
  mAngleChangeSpeed = Random(10) / 10.0;
  mResetCycle = mStopChangeAngleAfterCycle + Random(500) + 10;
  mDeadAfterInfectionCycle = Random(420) + 420;
  mBuriedAfterDeadCycle = Random(180) + 60;
  mSize = Random(3) + 3;
}

void TPerson::Think() {
  mCycle = WrapAdd(mCycle, 1);
  if (mCycle > mStartChangeAngleAfterCycle && mCycle < mStopChangeAngleAfterCycle) {
    mAngle = mAngle + mAngleChangeSpeed;
  }
  if (mCycle > mResetCycle) {
    mCycle = 0;
  }
  // The illness counters go on counting after they fired; they wrap rather than overflow.
  if (mInfected) {
    mInfectionCycle = WrapAdd(mInfectionCycle, 1);
    if (mInfectionCycle == mDeadAfterInfectionCycle) {
      mDead = true;
    }
  }
  if (mDead) {
    mDeadCycle = WrapAdd(mDeadCycle, 1);
    if (mDeadCycle == mBuriedAfterDeadCycle) {
      mBuried = true;
    }
  }
}

void TPerson::Move() {
  if (mQuarantined || mDead) {
    return;
  }
  // The same bits give the same sine and cosine; -0.0 and 0.0 differ in bits and stay apart.
  const auto angleBits = std::bit_cast<uint64_t>(mAngle);
  if (!mDirectionKnown || angleBits != mDirectionAngleBits) {
    const double radians = mAngle * 3.141592653589793 / 180;
    SineCosine(radians, mDirectionX, mDirectionY);
    mDirectionAngleBits = angleBits;
    mDirectionKnown = true;
  }
  mPositionX = mPositionX + mDirectionX * mSpeed;
  mPositionY = mPositionY + mDirectionY * mSpeed;
}

void TPerson::KeepInside(int32_t ParaWidth, int32_t ParaHeight) {
  const double maxX = WrapSub(ParaWidth, 1);
  const double maxY = WrapSub(ParaHeight, 1);
  if (mPositionX < 0) {
    mPositionX = 0;
    mAngle = mAngle + 180;
  }
  if (mPositionY < 0) {
    mPositionY = 0;
    mAngle = mAngle + 180;
  }
  if (mPositionX > maxX) {
    mPositionX = maxX;
    mAngle = mAngle + 180;
  }
  if (mPositionY > maxY) {
    mPositionY = maxY;
    mAngle = mAngle + 180;
  }
}

void TPerson::ThinkAndMove(int32_t ParaWidth, int32_t ParaHeight) {
  // Defined beside the three steps so that they are compiled into one.
  Think();
  Move();
  KeepInside(ParaWidth, ParaHeight);
}

bool TPerson::Select(int32_t ParaX, int32_t ParaY) const {
  const double x = ParaX;
  const double y = ParaY;
  return mPositionX - mSize <= x && x <= mPositionX + mSize && mPositionY - mSize <= y &&
         y <= mPositionY + mSize;
}

bool TPerson::Near(const TPerson& ParaPerson) const {
  const double dx = ParaPerson.mPositionX - mPositionX;
  const double dy = ParaPerson.mPositionY - mPositionY;
  double d = std::sqrt(dx * dx + dy * dy);
  d = d - ParaPerson.mSize;
  d = d - mSize;
  return d <= 0;
}

void TPerson::Draw() const {
  const double x = mPositionX;
  const double y = mPositionY;
  const double s = mSize;
  if (!mDead) {
    // The last colour set before the vertices colours the square.
    GL::glBegin(GL_QUADS);
    GL::glColor3f(1.0f, 1.0f, 1.0f);
    if (mInfected) {
      GL::glColor3f(1.0f, 0.0f, 0.0f);
    }
    if (mQuarantined) {
      GL::glColor3f(0.0f, 0.0f, 1.0f);
    }
    if (mInfected && mQuarantined) {
      GL::glColor3f(0.0f, 1.0f, 0.0f);
    }
    GL::glVertex2f(static_cast<float>(x - s), static_cast<float>(y - s));
    GL::glVertex2f(static_cast<float>(x + s), static_cast<float>(y - s));
    GL::glVertex2f(static_cast<float>(x + s), static_cast<float>(y + s));
    GL::glVertex2f(static_cast<float>(x - s), static_cast<float>(y + s));
    GL::glEnd();
  } else if (!mBuried) {
    // A grey cross: the bar crosses the upright a quarter down its length.
    const double foot = WrapMul(mSize, 3);
    GL::glBegin(GL_LINES);
    GL::glColor3f(0.8f, 0.8f, 0.8f);
    GL::glVertex2f(static_cast<float>(x - s), static_cast<float>(y));
    GL::glVertex2f(static_cast<float>(x + s), static_cast<float>(y));
    GL::glVertex2f(static_cast<float>(x), static_cast<float>(y - s));
    GL::glVertex2f(static_cast<float>(x), static_cast<float>(y + foot));
    GL::glEnd();
  } else {
    // A brown pixel marks the grave.
    GL::glBegin(GL_POINTS);
    GL::glColor3f(static_cast<float>(136.0 / 255.0), static_cast<float>(96.0 / 255.0),
                  static_cast<float>(11.0 / 255.0));
    GL::glVertex2f(static_cast<float>(x), static_cast<float>(y));
    GL::glEnd();
  }
}
