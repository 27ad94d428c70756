// Dynamic libraries on Windows: LoadLibraryW / GetProcAddress / FreeLibrary.
// Pairs with platform_module.h; the system sets the last-error code itself.
#include "platform/platform_module.h"

#include <windows.h>

#include "platform/win32_text.h"

TModuleHandle PlatformLoadModule(const char* ParaName) {
  return LoadLibraryW(WideTextWin32(ParaName).c_str());
}

TModuleProc PlatformModuleSymbol(TModuleHandle ParaHandle, const char* ParaName) {
  // NOTE: GetProcAddress on a null module searches the program's own image.
  if (ParaHandle == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  FARPROC symbol = GetProcAddress(static_cast<HMODULE>(ParaHandle), ParaName);
  return reinterpret_cast<TModuleProc>(symbol);
}

bool PlatformFreeModule(TModuleHandle ParaHandle) {
  if (ParaHandle == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  return FreeLibrary(static_cast<HMODULE>(ParaHandle)) != 0;
}
