// How a group resolves its entry points: a table of names, each with a function that stores
// the looked-up address into the entry point's typed variable. Used only by the groups' source
// units, so the group headers stay free of the platform layer.
#pragma once

#include "opengl/unit_opengl_api_library_version_011.h"
#include "platform/platform_module.h"

#include <span>

struct TOpenGLEntryPointSlot {
  const char* mName;
  // Stores the address (null included) and answers whether it is non-null.
  bool (*mStore)(TModuleProc ParaProc);
};

// One table row for an entry-point variable; the conversion is safe because the library
// exports the function with exactly the published signature the variable carries.
// clang-format off
#define OPENGL_ENTRY_POINT_SLOT(Class, Name)                                                       \
  TOpenGLEntryPointSlot{                                                                           \
    #Name,                                                                                         \
    [](TModuleProc ParaProc) {                                                                     \
      Class::Name = reinterpret_cast<decltype(Class::Name)>(ParaProc);                             \
      return Class::Name != nullptr;                                                               \
    }                                                                                              \
  }
// clang-format on

// Looks every name up in the loaded library and stores every result; true when all were found.
inline bool LookUpOpenGLEntryPoints(std::span<const TOpenGLEntryPointSlot> ParaSlots) {
  bool allFound = true;
  for (const TOpenGLEntryPointSlot& slot : ParaSlots) {
    const TModuleProc proc = PlatformModuleSymbol(TOpenGLAPILibrary::mLibraryHandle, slot.mName);
    if (!slot.mStore(proc)) {
      allFound = false;
    }
  }
  return allFound;
}
