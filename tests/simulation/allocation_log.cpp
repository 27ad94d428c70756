// The replaced global allocation functions behind allocation_log.h. They live in their own
// file so the compiler cannot inline them into callers: GCC then mistakes malloc/free inside
// new/delete for a mismatched pair.
#include "tests/simulation/allocation_log.h"

#include <cstdlib>
#include <new>

AllocationLog TheLog;
std::size_t AllocationLimit = kNoAllocationLimit;

void* operator new(std::size_t ParaSize) {
  if (ParaSize > AllocationLimit) {
    throw std::bad_alloc();
  }
  void* memory = std::malloc(ParaSize == 0 ? 1 : ParaSize);
  if (memory == nullptr) {
    throw std::bad_alloc();
  }
  if (TheLog.recording && TheLog.allocationCount < AllocationLog::kCapacity) {
    TheLog.allocations[TheLog.allocationCount++] = memory;
  }
  return memory;
}

namespace {

void ReleaseLogged(void* ParaMemory) {
  if (ParaMemory != nullptr && TheLog.recording && TheLog.releaseCount < AllocationLog::kCapacity) {
    TheLog.releases[TheLog.releaseCount++] = ParaMemory;
  }
  std::free(ParaMemory);
}

} // namespace

void operator delete(void* ParaMemory) noexcept {
  ReleaseLogged(ParaMemory);
}

void operator delete(void* ParaMemory, std::size_t) noexcept {
  ReleaseLogged(ParaMemory);
}
