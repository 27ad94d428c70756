// The last-error code on Linux: one per thread, like the Windows one, set by the platform layer.
// Pairs with platform_last_error.h; the Windows build uses win32_last_error.cpp instead.
#include "platform/platform_last_error.h"

namespace {
thread_local uint32_t LastErrorPosix = 0;
}

uint32_t PlatformLastError() {
  return LastErrorPosix;
}

void SetPlatformLastError(uint32_t ParaCode) {
  LastErrorPosix = ParaCode;
}
