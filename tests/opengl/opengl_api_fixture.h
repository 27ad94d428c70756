// Shared set-up of the entry-point group tests: every group flag and entry-point variable back
// to its program-start value, and the fake OpenGL libraries that tests point the groups at.
#pragma once

#include "opengl/unit_opengl_api_windows_extensions_routines_version_011.h"
#include "platform/platform_module.h"

#include <gtest/gtest.h>

#include <vector>

// Reaches the groups' protected flags; never instantiated, like the groups themselves.
struct TOpenGLAPIProgramStart : TOpenGLAPIWindowsExtensions {
  static void Restore() {
    TOpenGLAPILibrary::mInitialized = false;
    TOpenGLAPIWindowsCore::mInitialized = false;
    TOpenGLAPIVersion100::mInitialized = false;
    TOpenGLAPIVersion110::mInitialized = false;
    TOpenGLAPIWindowsExtensions::mInitialized = false;
    mLibraryHandle = nullptr;
    mLibraryLoaded = false;
#define OPENGL_ENTRY_POINT(Class, Name) Class::Name = nullptr;
#include "opengl/unit_opengl_api_100_routines_version_011_table.inc"
#include "opengl/unit_opengl_api_110_routines_version_011_table.inc"
#undef OPENGL_ENTRY_POINT
    glXCreateNewContext = nullptr;
    glXMakeCurrent = nullptr;
    glXGetCurrentContext = nullptr;
    glXGetCurrentDrawable = nullptr;
    glXDestroyContext = nullptr;
    glXGetProcAddressARB = nullptr;
    glXSwapIntervalMESA = nullptr;
    glXGetSwapIntervalMESA = nullptr;
  }
};

class OpenGLAPIGroups : public ::testing::Test {
protected:
  void SetUp() override { TOpenGLAPIProgramStart::Restore(); }

  void TearDown() override {
    TOpenGLAPIProgramStart::Restore();
    for (TModuleHandle handle : mLoaded) {
      PlatformFreeModule(handle);
    }
  }

  // Loads a fake library (a path from the build) and makes it the groups' library.
  TModuleHandle UseLibrary(const char* ParaPath) {
    TModuleHandle handle = PlatformLoadModule(ParaPath);
    EXPECT_NE(handle, nullptr) << ParaPath;
    mLoaded.push_back(handle);
    TOpenGLAPILibrary::mLibraryHandle = handle;
    TOpenGLAPILibrary::mLibraryLoaded = true;
    return handle;
  }

  template <typename TFunction>
  static TFunction* Export(TModuleHandle ParaHandle, const char* ParaName) {
    return reinterpret_cast<TFunction*>(PlatformModuleSymbol(ParaHandle, ParaName));
  }

  // The address a variable should hold when the group found the name in the library.
  template <typename TVariable>
  static void ExpectFoundIn(TModuleHandle ParaHandle, TVariable ParaVariable,
                            const char* ParaName) {
    const TModuleProc exported = PlatformModuleSymbol(ParaHandle, ParaName);
    ASSERT_NE(exported, nullptr) << ParaName;
    EXPECT_EQ(reinterpret_cast<TModuleProc>(ParaVariable), exported) << ParaName;
  }

private:
  std::vector<TModuleHandle> mLoaded;
};
