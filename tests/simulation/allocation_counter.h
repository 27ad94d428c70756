// Counts the heap allocations of a test program while a test asks for it, by replacing the
// global operator new (allocation_counter.cpp). Link it only into programs that want it.
#pragma once

#include <cstddef>

extern bool gCountAllocations;
extern std::size_t gAllocations;
