// The machine's memory, for tools that refuse work that could never fit instead of swapping
// for minutes. The backends are posix_memory.cpp and win32_memory.cpp.
#pragma once

#include <cstdint>

// Bytes of physical memory, or 0 when the system does not tell.
uint64_t PlatformPhysicalMemoryBytes();
// Bytes that a new allocation can have now without swapping (free memory and caches the
// system would give up), or 0 when the system does not tell.
uint64_t PlatformAvailableMemoryBytes();
