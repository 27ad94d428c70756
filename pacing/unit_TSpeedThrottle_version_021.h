// A thread-safe token bucket: quantity accrues at Speed units per second up to a capacity;
// consumers ask what is there, how long to wait for more, sleep on a wake-up event that other
// threads can signal, and report what they used. Time comes from the owned TTimeCounter.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

#include "pacing/unit_TTimeCounter_version_002.h"

// An auto-reset event. A signal given while nobody waits stays pending and ends the next wait
// at once; each signal releases one waiter and is consumed by it. Signalling an event that is
// already signalled changes nothing.
class TEvent {
public:
  void SetEvent();
  // Waits at most ParaMilliseconds (nothing for 0 or less, beyond taking a pending signal).
  // Returns true when a signal ended the wait, false on time-out.
  bool WaitFor(int32_t ParaMilliseconds);

private:
  std::mutex mMutex;
  std::condition_variable mCondition;
  bool mSignalled = false;
};

class TSpeedThrottle {
public:
  // Disabled, not paused, speed 0, empty bucket, counter in tcm_high_accuracy.
  TSpeedThrottle();
  virtual ~TSpeedThrottle();
  TSpeedThrottle(const TSpeedThrottle&) = delete;
  TSpeedThrottle& operator=(const TSpeedThrottle&) = delete;

  // Every property read and write takes the lock. The side effects of the writes are part of
  // the throttle's contract: which ones empty the bucket and which ones wake a sleeper.
  TTimeCounterMode TimeCounterMode() const;
  void SetTimeCounterMode(TTimeCounterMode ParaMode);
  double Speed() const;
  void SetSpeed(double ParaSpeed);
  double MaximumExtractionQuantity() const;
  void SetMaximumExtractionQuantity(double ParaQuantity);
  double MaximumWaitingTime() const;
  void SetMaximumWaitingTime(double ParaSeconds);
  bool Enabled() const;
  void SetEnabled(bool ParaEnabled);
  bool Paused() const;
  void SetPaused(bool ParaPaused);
  // Refills first when enabled and running.
  double QuantityAvailable();
  // The content as it stands, without a refill.
  double Quantity() const;
  void SetQuantity(double ParaQuantity);

  // Seconds to wait before ParaQuantity units are in the bucket; 0 when there already.
  // Raises EAssertionFailed when a running throttle is asked for more than
  // MaximumExtractionQuantity.
  double WaitingTimeAvailable(double ParaQuantity);
  // Waits WaitingTimeAvailable rounded up to whole milliseconds, unless signalled earlier,
  // without holding the lock. Returns the milliseconds asked for, not those slept.
  int32_t SleepIfWaitingTimeAvailable(double ParaQuantity);
  void QuantityUsed(double ParaValue);
  // Empties the bucket and restarts the clock.
  void Reset();

protected:
  // Lets a derived class observe the wake-up signal (WaitFor(0) takes a pending one).
  TEvent& ContinueSignal() { return *mContinueSignal; }

private:
  // Lock is acquire; the returned guard's end is Unlock, on every exit including errors.
  std::unique_lock<std::mutex> Lock() const;
  void Recalculate();
  // Both ticks := the counter's tick now: nothing before this moment accrues.
  void RestartClock();
  void Refill();

  mutable std::mutex mCriticalSection;
  std::unique_ptr<TTimeCounter> mTimeCounter;
  int64_t mFrequency = 0;
  double mSpeed = 0.0;
  bool mEnabled = false;
  bool mPaused = false;
  std::unique_ptr<TEvent> mContinueSignal;
  int64_t mTick1 = 0;
  int64_t mTick2 = 0;
  double mMaximumExtractionQuantity = 0.0;
  double mQuantityPerTime = 0.0;
  double mTimePerQuantity = 0.0;
  double mMaximumWaitingTime = 0.0;
  double mBucket = 0.0;
  double mMaximumBucketSize = 0.0;
};
