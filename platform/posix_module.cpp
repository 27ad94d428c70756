// Dynamic libraries on Linux: dlopen / dlsym / dlclose.
// Pairs with platform_module.h; failures set the thread's last-error code to the Windows
// number for the same failure, since dlerror's text has no number.
#include "platform/platform_module.h"

#include "platform/platform_last_error.h"

#include <dlfcn.h>

TModuleHandle PlatformLoadModule(const char* ParaName) {
  // NOTE: RTLD_LOCAL keeps the library's symbols out of the global scope, so nothing resolves
  // against it by accident; every entry point is reached through its handle.
  void* handle = dlopen(ParaName, RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    SetPlatformLastError(platform_error_mod_not_found);
  }
  return handle;
}

TModuleProc PlatformModuleSymbol(TModuleHandle ParaHandle, const char* ParaName) {
  // NOTE: a null handle is RTLD_DEFAULT to dlsym, which would search the whole process.
  if (ParaHandle == nullptr) {
    SetPlatformLastError(platform_error_invalid_handle);
    return nullptr;
  }
  dlerror();
  void* symbol = dlsym(ParaHandle, ParaName);
  if (symbol == nullptr) {
    SetPlatformLastError(platform_error_proc_not_found);
    return nullptr;
  }
  // POSIX guarantees that a function's address survives the trip through void*.
  return reinterpret_cast<TModuleProc>(symbol);
}

bool PlatformFreeModule(TModuleHandle ParaHandle) {
  if (ParaHandle == nullptr || dlclose(ParaHandle) != 0) {
    SetPlatformLastError(platform_error_invalid_handle);
    return false;
  }
  return true;
}
