// Every heap allocation and release of the world tests' program, seen through the replaced
// global operator new and delete (allocation_log.cpp): the order in which the world is created
// and freed, and an allocation limit that lets a test make a large allocation fail the same
// way with and without AddressSanitizer (whose own operator new aborts instead of throwing).
#pragma once

#include <cstddef>
#include <limits>

// A fixed-size log, so that recording never allocates itself.
struct AllocationLog {
  static constexpr int kCapacity = 1 << 16;
  bool recording = false;
  const void* allocations[kCapacity];
  int allocationCount = 0;
  const void* releases[kCapacity];
  int releaseCount = 0;

  void Start() {
    allocationCount = 0;
    releaseCount = 0;
    recording = true;
  }
};

extern AllocationLog TheLog;

// Requests above this many bytes fail with std::bad_alloc without reaching malloc.
extern std::size_t AllocationLimit;
inline constexpr std::size_t kNoAllocationLimit = std::numeric_limits<std::size_t>::max();
