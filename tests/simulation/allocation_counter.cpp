// The replaced global allocation functions behind allocation_counter.h. They live in their
// own file so the compiler cannot inline them into callers: GCC then mistakes malloc/free
// inside new/delete for a mismatched pair.
#include "tests/simulation/allocation_counter.h"

#include <cstdlib>
#include <new>

bool gCountAllocations = false;
std::size_t gAllocations = 0;

void* operator new(std::size_t ParaSize) {
  if (gCountAllocations) {
    ++gAllocations;
  }
  if (void* memory = std::malloc(ParaSize == 0 ? 1 : ParaSize)) {
    return memory;
  }
  throw std::bad_alloc();
}

void operator delete(void* ParaMemory) noexcept {
  std::free(ParaMemory);
}

void operator delete(void* ParaMemory, std::size_t) noexcept {
  std::free(ParaMemory);
}
