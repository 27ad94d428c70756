// Dynamic libraries: load one by name, look its exported symbols up, free it.
// Backends: posix_module.cpp (dlopen) and win32_module.cpp (LoadLibraryW); failures set the
// last-error code of platform_last_error.h. Nothing here knows which library is loaded.
#pragma once

// A loaded library; null when none.
using TModuleHandle = void*;
// An exported function of unknown type; the caller converts it to the real entry-point type.
using TModuleProc = void (*)();

// Null when the library cannot be loaded.
TModuleHandle PlatformLoadModule(const char* ParaName);
// Null when the symbol is missing, and always for a null handle (which on both systems would
// otherwise search the program's own image or its global scope).
TModuleProc PlatformModuleSymbol(TModuleHandle ParaHandle, const char* ParaName);
// False when the handle is null or the system refuses.
bool PlatformFreeModule(TModuleHandle ParaHandle);
