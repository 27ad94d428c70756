// TOpenGLControl against a fake window system and a recording OpenGL table: no display, no
// driver. The fake keeps the current context and device context like the real exports do, so
// make-current decisions can be checked; every call lands in one log in call order.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "opengl/opengl_api_recording_table.h"
#include "opengl/unit_TOpenGLControl_version_008.h"
#include "opengl/unit_opengl_api_100_routines_version_011.h"
#include "opengl/unit_opengl_api_110_routines_version_011.h"
#include "opengl/unit_opengl_api_library_version_011.h"

#if defined(FAKE_LIBGL_FULL)
#include <algorithm>
#include <iterator>

#include "opengl/opengl_routine_units.h"
#include "tests/opengl/opengl_api_fixture.h"
#endif

struct TOpenGLControlProbe {
  static void Create(TOpenGLControl& ParaControl) { ParaControl.WMCreate(); }
  static void Destroy(TOpenGLControl& ParaControl) { ParaControl.WMDestroy(); }
  static void Size(TOpenGLControl& ParaControl) { ParaControl.WMSize(); }
  static bool EraseBackground(TOpenGLControl& ParaControl) { return ParaControl.WMEraseBkgnd(); }
  static void Paint(TOpenGLControl& ParaControl, TDeviceContext ParaDC) {
    ParaControl.PaintWindow(ParaDC);
  }
  static void SetSupported(TOpenGLControl& ParaControl, bool ParaValue) {
    ParaControl.mOpenGLSupported = ParaValue;
  }
  static bool Supported(const TOpenGLControl& ParaControl) { return ParaControl.mOpenGLSupported; }
  static bool ExtensionsSupported(const TOpenGLControl& ParaControl) {
    return ParaControl.mOpenGLWindowsExtensionsSupported;
  }
  static void SetExtensionsSupported(TOpenGLControl& ParaControl, bool ParaValue) {
    ParaControl.mOpenGLWindowsExtensionsSupported = ParaValue;
  }
  static const TSupportedPixelFormat& Chosen(const TOpenGLControl& ParaControl) {
    return ParaControl.mChosenSupportedPixelFormat;
  }
  static const TPixelFormatDescriptor& Preferred(const TOpenGLControl& ParaControl) {
    return ParaControl.mPreferredPixelFormatDescriptor;
  }
};

namespace {

std::vector<std::string> Log;

void Record(const std::string& ParaCall) {
  Log.push_back(ParaCall);
}

constexpr TDeviceContext kWindowDC = 0x100;
constexpr TDeviceContext kOtherDC = 0x200;
constexpr TRenderingContext kContext = 0x500;

TPixelFormatDescriptor SoftwareFormat(uint8_t ParaTag) {
  TPixelFormatDescriptor descriptor{};
  descriptor.nSize = 40;
  descriptor.nVersion = 1;
  descriptor.dwFlags = pfdDrawToWindow | pfdDoubleBuffer | pfdSupportOpenGL | pfdGenericFormat;
  descriptor.cColorBits = 32;
  descriptor.cRedBits = 8;
  descriptor.cGreenBits = 8;
  descriptor.cBlueBits = 8;
  descriptor.cAlphaBits = 8;
  descriptor.cDepthBits = ParaTag; // tells the copies apart
  descriptor.dwVisibleMask = 0x1000u + ParaTag;
  return descriptor;
}

class TFakeWindowSystem : public TOpenGLWindowSystem {
public:
  std::vector<TPixelFormatDescriptor> mFormats;
  TDeviceContext mDC = kWindowDC;
  int32_t mChosenByChoose = 3;
  bool mSetPixelFormatSucceeds = true;
  TRenderingContext mCreatedContext = kContext;
  bool mMakeCurrentThroughVariableSucceeds = true;
  bool mMakeCurrentSucceeds = true;
  bool mDeleteSucceeds = true;
  uint32_t mLastError = 1234;
  TRenderingContext mCurrentContext = 0;
  TDeviceContext mCurrentDC = 0;
  std::vector<std::string> mMessages;

  TDeviceContext GetDC(TWinControl&) override {
    Record("GetDC");
    return mDC;
  }
  int32_t DescribePixelFormat(TDeviceContext, int32_t ParaFormat, uint32_t ParaSize,
                              TPixelFormatDescriptor* ParaDescriptor) override {
    EXPECT_EQ(ParaSize, 40u);
    if (ParaFormat < 1 || ParaFormat > static_cast<int32_t>(mFormats.size())) {
      return 0;
    }
    *ParaDescriptor = mFormats[static_cast<size_t>(ParaFormat - 1)];
    return static_cast<int32_t>(mFormats.size());
  }
  int32_t ChoosePixelFormat(TDeviceContext, const TPixelFormatDescriptor&) override {
    Record("ChoosePixelFormat");
    return mChosenByChoose;
  }
  bool SetPixelFormat(TDeviceContext, int32_t ParaFormat,
                      const TPixelFormatDescriptor& ParaDescriptor) override {
    Record("SetPixelFormat " + std::to_string(ParaFormat) + " depth " +
           std::to_string(ParaDescriptor.cDepthBits));
    return mSetPixelFormatSucceeds;
  }
  bool SwapBuffers(TDeviceContext ParaDC) override {
    Record("SwapBuffers " + std::to_string(ParaDC));
    return true;
  }
  TRenderingContext CreateContextThroughVariable(TDeviceContext) override {
    Record("CreateContext");
    return mCreatedContext;
  }
  bool MakeCurrentThroughVariable(TDeviceContext ParaDC, TRenderingContext ParaRC) override {
    Record("MakeCurrentThroughVariable");
    if (mMakeCurrentThroughVariableSucceeds) {
      mCurrentDC = ParaDC;
      mCurrentContext = ParaRC;
    }
    return mMakeCurrentThroughVariableSucceeds;
  }
  void SwapIntervalThroughVariable(int32_t ParaInterval) override {
    Record("SwapInterval " + std::to_string(ParaInterval));
  }
  TRenderingContext GetCurrentContext() override { return mCurrentContext; }
  TDeviceContext GetCurrentDC() override { return mCurrentDC; }
  bool MakeCurrent(TDeviceContext ParaDC, TRenderingContext ParaRC) override {
    Record("MakeCurrent " + std::to_string(ParaDC) + " " + std::to_string(ParaRC));
    if (mMakeCurrentSucceeds) {
      mCurrentDC = ParaDC;
      mCurrentContext = ParaRC;
    }
    return mMakeCurrentSucceeds;
  }
  bool DeleteContext(TRenderingContext ParaRC) override {
    Record("DeleteContext " + std::to_string(ParaRC));
    return mDeleteSucceeds;
  }
  void ShowMessage(const std::string& ParaText) override {
    Record("Message " + ParaText);
    mMessages.push_back(ParaText);
    mLastError = 0; // a shown box sets the thread's code anew, as wine's does
  }
  uint32_t LastError() override { return mLastError; }
};

class OpenGLControlTest : public ::testing::Test {
protected:
  void SetUp() override {
    Log.clear();
    mSavedSystem = OpenGLWindowSystem;
    OpenGLWindowSystem = &mSystem;
    mSavedLibraryLoaded = TOpenGLAPILibrary::mLibraryLoaded;
    // The OpenGL calls go into the same log as the window system's, in order.
    mRecording.emplace(Log);
    mControl = new TOpenGLControl(nullptr);
    mControl->SetBounds(0, 0, 792, 673);
  }
  void TearDown() override {
    delete mControl;
    mRecording.reset();
    OpenGLWindowSystem = mSavedSystem;
    TOpenGLAPILibrary::mLibraryLoaded = mSavedLibraryLoaded;
  }

  // A created window with its context current: the state every paint test starts from.
  void CreateWorkingWindow() {
    mSystem.mFormats = {SoftwareFormat(1), SoftwareFormat(2)};
    TOpenGLControlProbe::SetSupported(*mControl, true);
    TOpenGLControlProbe::Create(*mControl);
    Log.clear();
  }

  std::vector<std::string> Calls(const std::string& ParaPrefix) const {
    std::vector<std::string> calls;
    for (const std::string& call : Log) {
      if (call.rfind(ParaPrefix, 0) == 0) {
        calls.push_back(call);
      }
    }
    return calls;
  }

  TFakeWindowSystem mSystem;
  std::optional<TRecordingOpenGLTable> mRecording;
  TOpenGLWindowSystem* mSavedSystem = nullptr;
  bool mSavedLibraryLoaded = false;
  TOpenGLControl* mControl = nullptr;
};

// ---- Construction and version check ------------------------------------------------------

TEST_F(OpenGLControlTest, StartsWithItsStoredDefaults) {
  EXPECT_EQ(mControl->OptionOpenGLVersion(), GL_VERSION_110);
  EXPECT_FALSE(mControl->OptionDoubleBufferEnabled());
  EXPECT_FALSE(mControl->OptionVerticalSyncEnabled());
  EXPECT_FALSE(mControl->OptionHardwareAccelerationEnabled());
  EXPECT_EQ(mControl->SupportedPixelFormatList().Count(), 0);
  EXPECT_EQ(mControl->RenderingContext(), 0u);
  EXPECT_TRUE(mControl->ControlStyleContains(csOpaque));
  EXPECT_THROW(mControl->SupportedPixelFormatList().Items(0), std::out_of_range);
}

TEST_F(OpenGLControlTest, WithoutTheLibraryTheVersionCheckShowsNothingAndNoPaintCallsGL) {
  TOpenGLAPILibrary::mLibraryLoaded = false;
  mControl->SetOptionOpenGLVersion(GL_VERSION_NONE);
  mControl->Loaded();
  EXPECT_FALSE(TOpenGLControlProbe::Supported(*mControl));
  EXPECT_TRUE(mSystem.mMessages.empty());
  mControl->SetOnDraw([](TObject*) { Record("OnDraw"); });
  TOpenGLControlProbe::Size(*mControl);
  TOpenGLControlProbe::Paint(*mControl, kWindowDC);
  EXPECT_TRUE(Log.empty()); // no GL call, no event, no swap
  EXPECT_TRUE(TOpenGLControlProbe::EraseBackground(*mControl));
}

TEST_F(OpenGLControlTest, VersionNoneShowsOneBoxWithoutLastError) {
  TOpenGLAPILibrary::mLibraryLoaded = true;
  mControl->SetOptionOpenGLVersion(GL_VERSION_NONE);
  mControl->Loaded();
  EXPECT_FALSE(TOpenGLControlProbe::Supported(*mControl));
  EXPECT_EQ(mSystem.mMessages, std::vector<std::string>{"No OpenGLVersion available !"});
}

TEST_F(OpenGLControlTest, VersionAboveTheRegisteredOnesStaysUnsupportedSilently) {
  TOpenGLAPILibrary::mLibraryLoaded = true;
  mControl->SetOptionOpenGLVersion(GL_VERSION_440);
  mControl->Loaded();
  EXPECT_FALSE(TOpenGLControlProbe::Supported(*mControl));
  EXPECT_TRUE(mSystem.mMessages.empty());
}

#if defined(FAKE_LIBGL_FULL)
// The version check against a library in which every lookup succeeds, so only the comparison
// with the registry decides, and the groups' flags show which group the check resolved.
class OpenGLControlVersionCheckTest : public OpenGLControlTest {
protected:
  void SetUp() override {
    OpenGLControlTest::SetUp();
    std::copy(std::begin(OpenGLVersionAvailable), std::end(OpenGLVersionAvailable),
              std::begin(mSavedRegistry));
    std::fill(std::begin(OpenGLVersionAvailable), std::end(OpenGLVersionAvailable), false);
    mLibrary = PlatformLoadModule(FAKE_LIBGL_FULL);
    ASSERT_NE(mLibrary, nullptr);
  }
  void TearDown() override {
    TOpenGLAPIProgramStart::Restore();
    PlatformFreeModule(mLibrary);
    std::copy(std::begin(mSavedRegistry), std::end(mSavedRegistry),
              std::begin(OpenGLVersionAvailable));
    OpenGLControlTest::TearDown();
  }

  // A fresh control asking for ParaVersion, checked from a fresh start of every group.
  bool Check(TOpenGLVersion ParaVersion) {
    TOpenGLAPIProgramStart::Restore();
    TOpenGLAPILibrary::mLibraryHandle = mLibrary;
    TOpenGLAPILibrary::mLibraryLoaded = true;
    TOpenGLControl control(nullptr);
    control.SetOptionOpenGLVersion(ParaVersion);
    control.Loaded();
    return TOpenGLControlProbe::Supported(control);
  }

  TModuleHandle mLibrary = nullptr;
  bool mSavedRegistry[OpenGLVersionCount] = {};
};

TEST_F(OpenGLControlVersionCheckTest, Version100ResolvesTheCoreAnd100GroupsOnly) {
  RegisterOpenGLRoutineUnits();
  EXPECT_TRUE(Check(GL_VERSION_100));
  EXPECT_TRUE(TOpenGLAPIWindowsCore::IsInitialized());
  EXPECT_TRUE(TOpenGLAPIVersion100::IsInitialized());
  EXPECT_FALSE(TOpenGLAPIVersion110::IsInitialized());
  EXPECT_EQ(TOpenGLAPIVersion110::glBegin, nullptr);
  EXPECT_TRUE(mSystem.mMessages.empty());
}

TEST_F(OpenGLControlVersionCheckTest, Versions110To300ResolveThe110GroupAndNoMore) {
  RegisterOpenGLRoutineUnits();
  for (int version = GL_VERSION_110; version <= GL_VERSION_300; ++version) {
    SCOPED_TRACE("option " + std::to_string(version));
    EXPECT_TRUE(Check(static_cast<TOpenGLVersion>(version)));
    EXPECT_TRUE(TOpenGLAPIVersion100::IsInitialized());
    EXPECT_TRUE(TOpenGLAPIVersion110::IsInitialized());
    EXPECT_FALSE(TOpenGLAPIWindowsExtensions::IsInitialized());
  }
  EXPECT_TRUE(mSystem.mMessages.empty());
}

TEST_F(OpenGLControlVersionCheckTest, Versions310To440StayUnsupportedWithoutResolvingAnything) {
  RegisterOpenGLRoutineUnits();
  for (int version = GL_VERSION_310; version <= GL_VERSION_440; ++version) {
    SCOPED_TRACE("option " + std::to_string(version));
    EXPECT_FALSE(Check(static_cast<TOpenGLVersion>(version)));
    EXPECT_FALSE(TOpenGLAPIWindowsCore::IsInitialized());
    EXPECT_FALSE(TOpenGLAPIVersion110::IsInitialized());
  }
  EXPECT_TRUE(mSystem.mMessages.empty());
}

TEST_F(OpenGLControlVersionCheckTest, TheHighestRegisteredVersionIsTheLimit) {
  OpenGLVersionAvailable[GL_VERSION_100] = true;
  EXPECT_FALSE(Check(GL_VERSION_110));
  EXPECT_FALSE(TOpenGLAPIVersion100::IsInitialized());
  EXPECT_TRUE(Check(GL_VERSION_100));

  OpenGLVersionAvailable[GL_VERSION_100] = false;
  OpenGLVersionAvailable[GL_VERSION_200] = true; // gaps below do not matter
  EXPECT_TRUE(Check(GL_VERSION_200));
  EXPECT_TRUE(Check(GL_VERSION_100));
  EXPECT_FALSE(Check(GL_VERSION_210));
  EXPECT_TRUE(mSystem.mMessages.empty());
}

TEST_F(OpenGLControlVersionCheckTest, AnEmptyRegistrySupportsNoVersionAtAll) {
  EXPECT_FALSE(Check(GL_VERSION_100));
  EXPECT_FALSE(TOpenGLAPIVersion100::IsInitialized());
  EXPECT_FALSE(Check(GL_VERSION_110));
  EXPECT_FALSE(TOpenGLAPIWindowsCore::IsInitialized());
  EXPECT_TRUE(mSystem.mMessages.empty());
}
#endif

// ---- Window creation ---------------------------------------------------------------------

TEST_F(OpenGLControlTest, SoftwarePathTakesTheFirstMatchAndCopiesItsWholeRecord) {
  std::vector<TPixelFormatDescriptor> formats;
  for (uint8_t n = 1; n <= 9; ++n) {
    formats.push_back(SoftwareFormat(n));
  }
  formats[0].dwFlags |= pfdGenericAccelerated;       // accelerated
  formats[1].dwFlags &= ~uint32_t{pfdGenericFormat}; // a driver's format
  formats[2].cAlphaBits = 0;
  formats[3].cColorBits = 24;
  formats[4].dwFlags &= ~uint32_t{pfdDoubleBuffer};
  formats[5].dwFlags &= ~uint32_t{pfdDrawToWindow};
  // 7 is the first that matches; 8 and 9 match too.
  mSystem.mFormats = formats;
  bool created = false;
  mControl->SetOnCreate([&](TObject* Sender) {
    EXPECT_EQ(Sender, mControl);
    EXPECT_EQ(mSystem.mCurrentContext, kContext); // current when OnCreate runs
    created = true;
  });
  TOpenGLControlProbe::Create(*mControl);
  EXPECT_TRUE(created);
  EXPECT_EQ(Calls("SetPixelFormat"), std::vector<std::string>{"SetPixelFormat 7 depth 7"});
  const TSupportedPixelFormat& chosen = TOpenGLControlProbe::Chosen(*mControl);
  EXPECT_EQ(chosen.mPixelFormat, 7);
  EXPECT_EQ(std::memcmp(&chosen.mPixelFormatDescriptor, &formats[6], 40), 0);
  EXPECT_EQ(mControl->SupportedPixelFormatList().Count(), 9);
  EXPECT_EQ(mControl->RenderingContext(), kContext);
  EXPECT_TRUE(mSystem.mMessages.empty());
}

TEST_F(OpenGLControlTest, ASecondWindowCreationDoublesTheListAndStillTakesTheFirstCopy) {
  mSystem.mFormats = {SoftwareFormat(1), SoftwareFormat(2), SoftwareFormat(3)};
  mSystem.mFormats[0].cAlphaBits = 0;
  TOpenGLControlProbe::Create(*mControl);
  TOpenGLControlProbe::Destroy(*mControl);
  TOpenGLControlProbe::Create(*mControl);
  const TSupportedPixelFormatList& list = mControl->SupportedPixelFormatList();
  ASSERT_EQ(list.Count(), 6);
  for (int32_t i = 0; i < 6; ++i) {
    EXPECT_EQ(list.Items(i).mPixelFormat, i % 3 + 1);
  }
  EXPECT_EQ(Calls("SetPixelFormat"),
            (std::vector<std::string>{"SetPixelFormat 2 depth 2", "SetPixelFormat 2 depth 2"}));
}

TEST_F(OpenGLControlTest, HardwarePathAsksForDoubleBuffered24BitRGBAWhateverTheOptions) {
  mSystem.mFormats = {SoftwareFormat(1)};
  mSystem.mChosenByChoose = 3;
  mControl->SetOptionHardwareAccelerationEnabled(true);
  mControl->SetOptionDoubleBufferEnabled(false);
  TOpenGLControlProbe::Create(*mControl);
  const TPixelFormatDescriptor& preferred = TOpenGLControlProbe::Preferred(*mControl);
  EXPECT_EQ(preferred.nSize, 40);
  EXPECT_EQ(preferred.nVersion, 1);
  EXPECT_EQ(preferred.dwFlags, 0x25u);
  EXPECT_EQ(preferred.iPixelType, 0);
  EXPECT_EQ(preferred.cColorBits, 24);
  EXPECT_EQ(preferred.cDepthBits, 0);
  // The descriptor half of the chosen record is left as it was (zero).
  EXPECT_EQ(Calls("SetPixelFormat"), std::vector<std::string>{"SetPixelFormat 3 depth 0"});
}

struct TFailureCase {
  const char* mName;
  void (*mArrange)(TFakeWindowSystem&, TOpenGLControl&);
  std::vector<std::string> mMessages;
  TRenderingContext mContextAfter;
};

void PrintTo(const TFailureCase& ParaCase, std::ostream* ParaStream) {
  *ParaStream << ParaCase.mName;
}

class OpenGLControlFailureTest : public OpenGLControlTest,
                                 public ::testing::WithParamInterface<TFailureCase> {};

TEST_P(OpenGLControlFailureTest, ReportsItsTextThenTheLastErrorAndRaisesNoOnCreate) {
  mSystem.mFormats = {SoftwareFormat(1)};
  GetParam().mArrange(mSystem, *mControl);
  bool created = false;
  mControl->SetOnCreate([&](TObject*) { created = true; });
  TOpenGLControlProbe::Create(*mControl);
  EXPECT_FALSE(created);
  EXPECT_EQ(mSystem.mMessages, GetParam().mMessages);
  EXPECT_EQ(mControl->RenderingContext(), GetParam().mContextAfter);
  EXPECT_TRUE(Calls("SwapInterval").empty());
}

INSTANTIATE_TEST_SUITE_P(
    EveryCreationStep, OpenGLControlFailureTest,
    ::testing::Values(
        TFailureCase{"GetDC",
                     [](TFakeWindowSystem& s, TOpenGLControl&) { s.mDC = 0; },
                     {"GetDC(mWindow.Handle) failed.", "GetLastError: 1234"},
                     0},
        TFailureCase{"ChoosePixelFormat",
                     [](TFakeWindowSystem& s, TOpenGLControl& c) {
                       s.mChosenByChoose = 0;
                       s.mLastError = 4294967295u;
                       c.SetOptionHardwareAccelerationEnabled(true);
                     },
                     {"ChoosePixelFormat failed.", "GetLastError: 4294967295",
                      "SelectPixelFormat failed.", "GetLastError: 4294967295"},
                     0},
        TFailureCase{"NoSoftwareFormat",
                     [](TFakeWindowSystem& s, TOpenGLControl&) {
                       s.mFormats[0].dwFlags |= pfdGenericAccelerated;
                     },
                     {"FindSoftwareRendererPixelFormat32BitColors failed.", "GetLastError: 1234",
                      "SelectPixelFormat failed.", "GetLastError: 1234"},
                     0},
        TFailureCase{"DescribeFailsForFormat1",
                     [](TFakeWindowSystem& s, TOpenGLControl&) { s.mFormats.clear(); },
                     {"FindSoftwareRendererPixelFormat32BitColors failed.", "GetLastError: 1234",
                      "SelectPixelFormat failed.", "GetLastError: 1234"},
                     0},
        TFailureCase{
            "SetPixelFormat",
            [](TFakeWindowSystem& s, TOpenGLControl&) { s.mSetPixelFormatSucceeds = false; },
            {"SetPixelFormat failed.", "GetLastError: 1234"},
            0},
        TFailureCase{
            "CreateContext",
            [](TFakeWindowSystem& s, TOpenGLControl&) { s.mCreatedContext = 0; },
            {"mOpenGLAPI.wglCreateContext( mDeviceContext ) failed.", "GetLastError: 1234"},
            0},
        TFailureCase{"MakeCurrent",
                     [](TFakeWindowSystem& s, TOpenGLControl&) {
                       s.mMakeCurrentThroughVariableSucceeds = false;
                     },
                     {"mOpenGLAPI.wglMakeCurrent( mDeviceContext, mRenderingContext ) failed.",
                      "GetLastError: 1234"},
                     kContext}),
    [](const ::testing::TestParamInfo<TFailureCase>& info) { return info.param.mName; });

// ---- Teardown ----------------------------------------------------------------------------

TEST_F(OpenGLControlTest, DestroyRaisesOnDestroyWithTheContextCurrentThenDeletesIt) {
  CreateWorkingWindow();
  mControl->SetOnDestroy([&](TObject*) {
    EXPECT_EQ(mSystem.mCurrentContext, kContext);
    Record("OnDestroy");
  });
  TOpenGLControlProbe::Destroy(*mControl);
  EXPECT_EQ(Log, (std::vector<std::string>{"MakeCurrent 256 1280", "OnDestroy", "MakeCurrent 0 0",
                                           "DeleteContext 1280"}));
  EXPECT_EQ(mControl->RenderingContext(), kContext); // keeps the deleted handle
}

TEST_F(OpenGLControlTest, DestroyWithoutAContextDoesNothing) {
  mControl->SetOnDestroy([](TObject*) { Record("OnDestroy"); });
  TOpenGLControlProbe::Destroy(*mControl);
  EXPECT_TRUE(Log.empty());
}

TEST_F(OpenGLControlTest, FailedReleaseAtDestroyReportsAndKeepsTheContext) {
  CreateWorkingWindow();
  mControl->SetOnDestroy([](TObject*) { Record("OnDestroy"); });
  mSystem.mMakeCurrentSucceeds = false;
  TOpenGLControlProbe::Destroy(*mControl);
  EXPECT_TRUE(Calls("OnDestroy").empty());
  EXPECT_TRUE(Calls("DeleteContext").empty());
  EXPECT_EQ(mSystem.mMessages,
            (std::vector<std::string>{"mOpenGLAPI.wglMakeCurrent( nil, nil ) failed.",
                                      "GetLastError: 1234"}));
}

TEST_F(OpenGLControlTest, FailedDeleteIsReported) {
  CreateWorkingWindow();
  mSystem.mDeleteSucceeds = false;
  TOpenGLControlProbe::Destroy(*mControl);
  EXPECT_EQ(mSystem.mMessages,
            (std::vector<std::string>{"mOpenGLAPI.wglDeleteContext( mRenderingContext ) failed.",
                                      "GetLastError: 1234"}));
}

// ---- Paint cycle -------------------------------------------------------------------------

TEST_F(OpenGLControlTest, ThreeSizeChangesGiveOneResizeWithTheSizeOfThatPaint) {
  CreateWorkingWindow();
  mControl->SetOptionDoubleBufferEnabled(true);
  int resizes = 0;
  mControl->SetOnResizeViewport([&](TObject*) {
    ++resizes;
    Record("OnResizeViewport");
  });
  mControl->SetOnDraw([](TObject*) { Record("OnDraw"); });
  mControl->SetBounds(0, 0, 300, 200);
  TOpenGLControlProbe::Size(*mControl);
  mControl->SetBounds(0, 0, 400, 300);
  TOpenGLControlProbe::Size(*mControl);
  mControl->SetBounds(0, 0, 640, 480);
  TOpenGLControlProbe::Size(*mControl);
  TOpenGLControlProbe::Paint(*mControl, kWindowDC);
  EXPECT_EQ(resizes, 1);
  EXPECT_EQ(Log, (std::vector<std::string>{"glDrawBuffer 1029", "glViewport 0 0 640 480",
                                           "glMatrixMode 5889", "glLoadIdentity",
                                           "glOrtho 0 640 480 0 -1 1", "glMatrixMode 5888",
                                           "glLoadIdentity", "OnResizeViewport", "OnDraw",
                                           "glFlush", "SwapBuffers 256"}));
  Log.clear();
  TOpenGLControlProbe::Paint(*mControl, kWindowDC);
  EXPECT_EQ(resizes, 1);
  EXPECT_EQ(
      Log, (std::vector<std::string>{"glDrawBuffer 1029", "OnDraw", "glFlush", "SwapBuffers 256"}));
}

TEST_F(OpenGLControlTest, WithoutOnDrawTheCycleClearsToBlack) {
  CreateWorkingWindow();
  mControl->SetOptionDoubleBufferEnabled(true);
  TOpenGLControlProbe::Paint(*mControl, kWindowDC);
  EXPECT_EQ(Log, (std::vector<std::string>{"glDrawBuffer 1029", "glClearColor 0 0 0 0",
                                           "glClear 16384", "glFlush", "SwapBuffers 256"}));
}

TEST_F(OpenGLControlTest, MakesCurrentOnlyWhenContextOrDeviceContextDiffers) {
  CreateWorkingWindow();
  TOpenGLControlProbe::Paint(*mControl, kWindowDC);
  EXPECT_TRUE(Calls("MakeCurrent").empty());
  mSystem.mCurrentDC = kOtherDC;
  TOpenGLControlProbe::Paint(*mControl, kWindowDC);
  EXPECT_EQ(Calls("MakeCurrent"), std::vector<std::string>{"MakeCurrent 256 1280"});
  Log.clear();
  mSystem.mCurrentContext = 0x999;
  TOpenGLControlProbe::Paint(*mControl, kWindowDC);
  EXPECT_EQ(Calls("MakeCurrent"), std::vector<std::string>{"MakeCurrent 256 1280"});
}

TEST_F(OpenGLControlTest, AFailedMakeCurrentEndsTheCycleSilently) {
  CreateWorkingWindow();
  mControl->SetOnDraw([](TObject*) { Record("OnDraw"); });
  mSystem.mCurrentContext = 0;
  mSystem.mMakeCurrentSucceeds = false;
  TOpenGLControlProbe::Paint(*mControl, kWindowDC);
  EXPECT_EQ(Log, std::vector<std::string>{"MakeCurrent 256 1280"});
  EXPECT_TRUE(mSystem.mMessages.empty());
}

TEST_F(OpenGLControlTest, SingleBufferedDrawsToTheFrontAndStillSwaps) {
  CreateWorkingWindow();
  mControl->SetOptionDoubleBufferEnabled(false);
  mControl->SetOnDraw([](TObject*) {});
  TOpenGLControlProbe::Paint(*mControl, kWindowDC);
  EXPECT_EQ(Log, (std::vector<std::string>{"glDrawBuffer 1028", "glFlush", "SwapBuffers 256"}));
}

TEST_F(OpenGLControlTest, VerticalSyncOptionChangesTheIntervalFromTheNextCycle) {
  CreateWorkingWindow();
  TOpenGLControlProbe::SetExtensionsSupported(*mControl, true);
  mControl->SetOnDraw([](TObject*) {});
  mControl->SetOptionVerticalSyncEnabled(true);
  TOpenGLControlProbe::Paint(*mControl, kWindowDC);
  mControl->SetOptionVerticalSyncEnabled(false);
  EXPECT_EQ(Calls("SwapInterval"), std::vector<std::string>{"SwapInterval 1"});
  TOpenGLControlProbe::Paint(*mControl, kWindowDC);
  EXPECT_EQ(Calls("SwapInterval"), (std::vector<std::string>{"SwapInterval 1", "SwapInterval 0"}));
}

TEST_F(OpenGLControlTest, WithoutTheExtensionGroupNoIntervalIsEverSet) {
  CreateWorkingWindow();
  EXPECT_FALSE(TOpenGLControlProbe::ExtensionsSupported(*mControl));
  mControl->SetOptionVerticalSyncEnabled(true);
  TOpenGLControlProbe::Paint(*mControl, kWindowDC);
  EXPECT_TRUE(Calls("SwapInterval").empty());
}

TEST_F(OpenGLControlTest, AfterAFailedCreationEveryPaintStillRaisesOnDraw) {
  mSystem.mFormats = {};
  TOpenGLControlProbe::SetSupported(*mControl, true);
  TOpenGLControlProbe::Create(*mControl);
  Log.clear();
  mControl->SetOnDraw([](TObject*) { Record("OnDraw"); });
  TOpenGLControlProbe::Paint(*mControl, kWindowDC);
  // Nothing current, no context: the make-current releases, and the cycle goes on.
  EXPECT_EQ(Log, (std::vector<std::string>{"MakeCurrent 256 0", "glDrawBuffer 1028", "OnDraw",
                                           "glFlush", "SwapBuffers 256"}));
}

} // namespace
