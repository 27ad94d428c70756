// The calling thread's last-error code, the number shown after "GetLastError: ".
// Windows: the system's own code (win32_last_error.cpp). Linux: a thread-local code that the
// platform layer sets on its own failures, using the Windows numbers below (posix_last_error.cpp).
#pragma once

#include <cstdint>

uint32_t PlatformLastError();
void SetPlatformLastError(uint32_t ParaCode);

// The codes the Linux backends set; equal to the Windows codes for the same failure.
inline constexpr uint32_t platform_error_invalid_handle = 6;
inline constexpr uint32_t platform_error_mod_not_found = 126;
inline constexpr uint32_t platform_error_proc_not_found = 127;
