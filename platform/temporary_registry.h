// The temporary files that an interrupt must remove, held for the backends of platform_files.h
// (narrow paths on POSIX, wide ones on Win32). The interrupt (a signal handler, or the console
// handler's own thread) may read it at any moment, so a slot's path is complete before the slot
// is marked used, and nothing here allocates.
#pragma once

#include <atomic>
#include <cstddef>
#include <string>
#include <string_view>

template <typename TChar, std::size_t kPathLength> class TTemporaryRegistry {
public:
  // False when the path is too long or every slot is taken.
  bool Register(const std::basic_string<TChar>& ParaPath) {
    if (ParaPath.size() >= kPathLength) {
      return false;
    }
    for (TSlot& slot : mSlots) {
      int expected = kFree;
      if (slot.mState.compare_exchange_strong(expected, kBusy)) {
        std::char_traits<TChar>::copy(slot.mPath, ParaPath.c_str(), ParaPath.size() + 1);
        slot.mState.store(kHeld);
        return true;
      }
    }
    return false;
  }

  void Forget(const std::basic_string<TChar>& ParaPath) {
    for (TSlot& slot : mSlots) {
      int expected = kHeld;
      if (std::basic_string_view<TChar>(slot.mPath) == ParaPath &&
          slot.mState.compare_exchange_strong(expected, kBusy)) {
        slot.mPath[0] = TChar();
        slot.mState.store(kFree);
        return;
      }
    }
  }

  // Hands every registered path to ParaRemove; safe inside the interrupt.
  template <typename TRemove> void RemoveAll(TRemove ParaRemove) {
    for (TSlot& slot : mSlots) {
      if (slot.mState.load() == kHeld) {
        ParaRemove(slot.mPath);
      }
    }
  }

private:
  static constexpr int kFree = 0;
  static constexpr int kBusy = 1; // being filled or emptied
  static constexpr int kHeld = 2; // holds a file to remove
  struct TSlot {
    std::atomic<int> mState{kFree};
    TChar mPath[kPathLength];
  };
  TSlot mSlots[32];
};
