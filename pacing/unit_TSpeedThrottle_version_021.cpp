// Speed throttle; see unit_TSpeedThrottle_version_021.h. Every public operation computes under
// the one lock; only SleepIfWaitingTimeAvailable gives it up, to sleep on the event.
#include "pacing/unit_TSpeedThrottle_version_021.h"

#include <chrono>
#include <cmath>
#include <limits>
#include <string>

#include "runtime/errors.h"
#include "runtime/float_text.h"

namespace {

// The assertion of WaitingTimeAvailable is reported with its historical source position.
constexpr const char* kUnitName = "unit_TSpeedThrottle_version_021";
constexpr int32_t kAssertionLine = 819;

// seconds * 1000 rounded up to whole milliseconds for a 32-bit count. Out-of-range values
// saturate instead of wrapping: a wait of 2^31 ms or more becomes the largest count. A NaN
// (reachable through a NaN MaximumWaitingTime or an infinite speed) asks for no wait.
int32_t WaitMilliseconds(double ParaSeconds) {
  constexpr double kLargest = std::numeric_limits<int32_t>::max();
  constexpr double kSmallest = std::numeric_limits<int32_t>::min();
  const double milliseconds = ParaSeconds * 1000.0;
  if (std::isnan(milliseconds)) {
    return 0;
  }
  const double whole = std::trunc(milliseconds);
  if (whole >= kLargest) {
    return std::numeric_limits<int32_t>::max();
  }
  if (whole <= kSmallest) {
    return std::numeric_limits<int32_t>::min();
  }
  const int32_t count = static_cast<int32_t>(whole);
  return milliseconds - whole > 0.0 ? count + 1 : count;
}

} // namespace

void TEvent::SetEvent() {
  {
    std::lock_guard<std::mutex> guard(mMutex);
    mSignalled = true;
  }
  mCondition.notify_one();
}

bool TEvent::WaitFor(int32_t ParaMilliseconds) {
  std::unique_lock<std::mutex> guard(mMutex);
  if (ParaMilliseconds > 0) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(ParaMilliseconds);
    mCondition.wait_until(guard, deadline, [this] { return mSignalled; });
  }
  const bool signalled = mSignalled;
  mSignalled = false;
  return signalled;
}

TSpeedThrottle::TSpeedThrottle()
    : mTimeCounter(std::make_unique<TTimeCounter>()), mContinueSignal(std::make_unique<TEvent>()) {
  mFrequency = mTimeCounter->Frequency();
  RestartClock();
}

TSpeedThrottle::~TSpeedThrottle() {
  mTimeCounter.reset();
  mContinueSignal.reset();
}

std::unique_lock<std::mutex> TSpeedThrottle::Lock() const {
  return std::unique_lock<std::mutex>(mCriticalSection);
}

void TSpeedThrottle::Recalculate() {
  mBucket = 0.0;
  mQuantityPerTime = mSpeed;
  if (mSpeed > 0.0) {
    mTimePerQuantity = 1.0 / mSpeed;
  }
  // A tie or a NaN on either side leaves the capacity at the maximum extraction quantity.
  mMaximumBucketSize = mSpeed > mMaximumExtractionQuantity ? mSpeed : mMaximumExtractionQuantity;
  RestartClock();
}

void TSpeedThrottle::RestartClock() {
  const int64_t tick = mTimeCounter->Tick();
  mTick1 = tick;
  mTick2 = tick;
}

void TSpeedThrottle::Refill() {
  // Checked before anything moves, so a throttle without a usable clock stays as it was.
  if (mFrequency == 0) {
    throw EFloatError("Speed throttle: the time counter runs at 0 ticks per second, so elapsed "
                      "time cannot be measured");
  }
  mTick2 = mTimeCounter->Tick();
  // A counter that goes backwards gives a negative difference; a wrapping one is taken in
  // two's complement like the 64-bit tick arithmetic it stands for.
  const auto ticks =
      static_cast<int64_t>(static_cast<uint64_t>(mTick2) - static_cast<uint64_t>(mTick1));
  const double elapsed = static_cast<double>(ticks) / static_cast<double>(mFrequency);
  mTick1 = mTick2;
  mBucket = mBucket + elapsed * mQuantityPerTime;
  // No lower bound: a negative speed or a clock going back drains the bucket below 0.
  if (mBucket > mMaximumBucketSize) {
    mBucket = mMaximumBucketSize;
  }
}

TTimeCounterMode TSpeedThrottle::TimeCounterMode() const {
  auto lock = Lock();
  return mTimeCounter->Mode();
}

void TSpeedThrottle::SetTimeCounterMode(TTimeCounterMode ParaMode) {
  auto lock = Lock();
  mTimeCounter->SetMode(ParaMode);
  mFrequency = mTimeCounter->Frequency();
  // Recalculates even when the counter refused the mode: ticks of the old and new source
  // must never be subtracted from each other.
  if (mEnabled) {
    Recalculate();
  }
}

double TSpeedThrottle::Speed() const {
  auto lock = Lock();
  return mSpeed;
}

void TSpeedThrottle::SetSpeed(double ParaSpeed) {
  auto lock = Lock();
  // A NaN never equals the stored speed, so it is always taken.
  if (ParaSpeed == mSpeed) {
    return;
  }
  mSpeed = ParaSpeed;
  if (mEnabled) {
    Recalculate();
  }
  mContinueSignal->SetEvent();
}

double TSpeedThrottle::MaximumExtractionQuantity() const {
  auto lock = Lock();
  return mMaximumExtractionQuantity;
}

void TSpeedThrottle::SetMaximumExtractionQuantity(double ParaQuantity) {
  auto lock = Lock();
  mMaximumExtractionQuantity = ParaQuantity;
  if (mEnabled) {
    Recalculate();
  }
}

double TSpeedThrottle::MaximumWaitingTime() const {
  auto lock = Lock();
  return mMaximumWaitingTime;
}

void TSpeedThrottle::SetMaximumWaitingTime(double ParaSeconds) {
  auto lock = Lock();
  mMaximumWaitingTime = ParaSeconds;
  mContinueSignal->SetEvent();
}

bool TSpeedThrottle::Enabled() const {
  auto lock = Lock();
  return mEnabled;
}

void TSpeedThrottle::SetEnabled(bool ParaEnabled) {
  auto lock = Lock();
  // Enabling starts from an empty bucket and a fresh clock: the disabled time earns nothing.
  if (ParaEnabled && !mEnabled) {
    Recalculate();
  }
  mEnabled = ParaEnabled;
}

bool TSpeedThrottle::Paused() const {
  auto lock = Lock();
  return mPaused;
}

void TSpeedThrottle::SetPaused(bool ParaPaused) {
  auto lock = Lock();
  if (ParaPaused == mPaused) {
    return;
  }
  if (ParaPaused) {
    mBucket = 0.0;
    mPaused = true;
    return;
  }
  // The paused time does not accrue.
  RestartClock();
  mPaused = false;
  mContinueSignal->SetEvent();
}

double TSpeedThrottle::QuantityAvailable() {
  auto lock = Lock();
  if (!mEnabled) {
    return mMaximumExtractionQuantity;
  }
  if (mPaused) {
    return 0.0;
  }
  Refill();
  return mBucket;
}

double TSpeedThrottle::Quantity() const {
  auto lock = Lock();
  return mBucket;
}

void TSpeedThrottle::SetQuantity(double ParaQuantity) {
  auto lock = Lock();
  if (!mEnabled || mPaused) {
    return;
  }
  mBucket = ParaQuantity > mMaximumBucketSize ? mMaximumBucketSize : ParaQuantity;
  mContinueSignal->SetEvent();
}

double TSpeedThrottle::WaitingTimeAvailable(double ParaQuantity) {
  auto lock = Lock();
  if (!mEnabled) {
    return 0.0;
  }
  if (mPaused) {
    return mMaximumWaitingTime;
  }
  if (!(ParaQuantity <= mMaximumExtractionQuantity)) {
    throw EAssertionFailed("ParaQuantity(" + FloatToStr(ParaQuantity) +
                               ") <= mMaximumExtractionQuantity(" +
                               FloatToStr(mMaximumExtractionQuantity) + ")",
                           kUnitName, kAssertionLine);
  }
  Refill();
  const double shortage = ParaQuantity - mBucket;
  if (shortage <= 0.0) {
    return 0.0;
  }
  if (mSpeed > 0.0) {
    const double seconds = shortage * mTimePerQuantity;
    return seconds > mMaximumWaitingTime ? mMaximumWaitingTime : seconds;
  }
  return mMaximumWaitingTime;
}

int32_t TSpeedThrottle::SleepIfWaitingTimeAvailable(double ParaQuantity) {
  const int32_t milliseconds = WaitMilliseconds(WaitingTimeAvailable(ParaQuantity));
  if (milliseconds > 0) {
    // Whether a signal or the time-out ended the wait does not matter: the caller tests again.
    mContinueSignal->WaitFor(milliseconds);
  }
  return milliseconds;
}

void TSpeedThrottle::QuantityUsed(double ParaValue) {
  auto lock = Lock();
  if (!mEnabled) {
    return;
  }
  mBucket = mBucket - ParaValue;
  if (mBucket < 0.0) {
    mBucket = 0.0;
  }
}

void TSpeedThrottle::Reset() {
  auto lock = Lock();
  mBucket = 0.0;
  RestartClock();
}
