// Loading libraries on Linux: failures set the Windows-numbered last-error code, and a null
// handle never falls back to searching the whole process.
#include "platform/platform_last_error.h"
#include "platform/platform_module.h"

#include <gtest/gtest.h>

#include <thread>

TEST(PosixModule, AMissingLibraryFailsWithModuleNotFound) {
  SetPlatformLastError(0);
  EXPECT_EQ(PlatformLoadModule("libvantrel-no-such-library.so.1"), nullptr);
  EXPECT_EQ(PlatformLastError(), platform_error_mod_not_found);
}

TEST(PosixModule, SymbolsResolveAndAMissingOneFailsWithProcNotFound) {
  TModuleHandle library = PlatformLoadModule("libGL.so.1");
  ASSERT_NE(library, nullptr);
  EXPECT_NE(PlatformModuleSymbol(library, "glClear"), nullptr);

  SetPlatformLastError(0);
  EXPECT_EQ(PlatformModuleSymbol(library, "glNoSuchCommand"), nullptr);
  EXPECT_EQ(PlatformLastError(), platform_error_proc_not_found);
  EXPECT_TRUE(PlatformFreeModule(library));
}

TEST(PosixModule, ANullHandleFindsNothingEvenInTheProgramItself) {
  SetPlatformLastError(0);
  // dlsym's RTLD_DEFAULT would find malloc; a null handle means "no library".
  EXPECT_EQ(PlatformModuleSymbol(nullptr, "malloc"), nullptr);
  EXPECT_EQ(PlatformLastError(), platform_error_invalid_handle);
  EXPECT_FALSE(PlatformFreeModule(nullptr));
}

TEST(PosixLastError, EachThreadHasItsOwnCode) {
  SetPlatformLastError(42);
  uint32_t seenByOtherThread = 1;
  std::thread([&] { seenByOtherThread = PlatformLastError(); }).join();
  EXPECT_EQ(seenByOtherThread, 0u);
  EXPECT_EQ(PlatformLastError(), 42u);
}
