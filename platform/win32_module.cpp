// Dynamic libraries on Windows: LoadLibraryW / GetProcAddress / FreeLibrary.
// Pairs with platform_module.h; the system sets the last-error code itself.
#include "platform/platform_module.h"

#include <windows.h>

#include <string>

TModuleHandle PlatformLoadModule(const char* ParaName) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, ParaName, -1, nullptr, 0);
  if (length <= 0) {
    return nullptr;
  }
  std::wstring wideName(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, ParaName, -1, wideName.data(), length);
  return LoadLibraryW(wideName.c_str());
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
