// The last-error code on Windows: the system's own GetLastError / SetLastError.
// Pairs with platform_last_error.h; the Linux build uses posix_last_error.cpp instead.
#include "platform/platform_last_error.h"

#include <windows.h>

uint32_t PlatformLastError() {
  return GetLastError();
}

void SetPlatformLastError(uint32_t ParaCode) {
  SetLastError(ParaCode);
}
