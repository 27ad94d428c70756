// The extension group against a real X display with a current GLX context (run under Xvfb).
// Makes the context current through the core group's own variables, then checks the group's
// answer against the display's GLX extension string.
#include "opengl/unit_opengl_api_windows_extensions_routines_version_011.h"

#include "tests/opengl/opengl_api_fixture.h"

#include <GL/glx.h>
#include <X11/Xlib.h>

#include <sstream>
#include <string>

namespace {
// Word by word: GCC 12 at -O3 warns (wrongly, -Wrestrict) about " " + std::string(...) + " ".
bool listsMesaSwapControl(Display* ParaDisplay) {
  const char* listed = glXQueryExtensionsString(ParaDisplay, DefaultScreen(ParaDisplay));
  std::istringstream words(listed != nullptr ? listed : "");
  std::string word;
  while (words >> word) {
    if (word == "GLX_MESA_swap_control") {
      return true;
    }
  }
  return false;
}
} // namespace

class OpenGLAPIExtensionsOnADisplay : public OpenGLAPIGroups {
protected:
  void SetUp() override {
    OpenGLAPIGroups::SetUp();
    mDisplay = XOpenDisplay(nullptr);
    ASSERT_NE(mDisplay, nullptr) << "needs an X display";
    ASSERT_TRUE(TOpenGLAPILibrary::LoadLibrary());
    ASSERT_TRUE(TOpenGLAPIVersion110::Initialize());

    const int attributes[] = {GLX_DRAWABLE_TYPE,
                              GLX_WINDOW_BIT,
                              GLX_RENDER_TYPE,
                              GLX_RGBA_BIT,
                              GLX_DOUBLEBUFFER,
                              True,
                              None};
    int count = 0;
    GLXFBConfig* configs = glXChooseFBConfig(mDisplay, DefaultScreen(mDisplay), attributes, &count);
    ASSERT_GT(count, 0);
    const GLXFBConfig config = configs[0];
    XFree(configs);
    XVisualInfo* visual = glXGetVisualFromFBConfig(mDisplay, config);
    ASSERT_NE(visual, nullptr);
    XSetWindowAttributes windowAttributes = {};
    windowAttributes.colormap =
        XCreateColormap(mDisplay, RootWindow(mDisplay, visual->screen), visual->visual, AllocNone);
    mWindow =
        XCreateWindow(mDisplay, RootWindow(mDisplay, visual->screen), 0, 0, 64, 64, 0,
                      visual->depth, InputOutput, visual->visual, CWColormap, &windowAttributes);
    XFree(visual);

    mContext =
        TOpenGLAPIWindowsCore::glXCreateNewContext(mDisplay, config, GLX_RGBA_TYPE, nullptr, True);
    ASSERT_NE(mContext, nullptr);
    ASSERT_TRUE(TOpenGLAPIWindowsCore::glXMakeCurrent(mDisplay, mWindow, mContext));
  }

  void TearDown() override {
    if (mContext != nullptr) {
      TOpenGLAPIWindowsCore::glXMakeCurrent(mDisplay, None, nullptr);
      TOpenGLAPIWindowsCore::glXDestroyContext(mDisplay, mContext);
    }
    if (mWindow != 0) {
      XDestroyWindow(mDisplay, mWindow);
    }
    if (mDisplay != nullptr) {
      XCloseDisplay(mDisplay);
    }
    OpenGLAPIGroups::TearDown();
  }

  Display* mDisplay = nullptr;
  Window mWindow = 0;
  GLXContext mContext = nullptr;
};

TEST_F(OpenGLAPIExtensionsOnADisplay, TheGroupSucceedsExactlyWhenTheDisplayListsMesaSwapControl) {
  ASSERT_EQ(TOpenGLAPIWindowsCore::glXGetCurrentContext(), mContext);
  EXPECT_EQ(TOpenGLAPIWindowsCore::glXGetCurrentDrawable(), mWindow);

  const bool listed = listsMesaSwapControl(mDisplay);
  RecordProperty("GLX_MESA_swap_control", listed ? "listed" : "not listed");
  EXPECT_EQ(TOpenGLAPIWindowsExtensions::Initialize(), listed);
  EXPECT_EQ(TOpenGLAPIWindowsExtensions::IsInitialized(), listed);
  EXPECT_NE(TOpenGLAPIWindowsExtensions::glXGetProcAddressARB, nullptr);
  EXPECT_EQ(TOpenGLAPIWindowsExtensions::glXSwapIntervalMESA != nullptr, listed);
  if (listed) {
    EXPECT_TRUE(TOpenGLAPIWindowsExtensions::SetSwapInterval(1));
  }
}
