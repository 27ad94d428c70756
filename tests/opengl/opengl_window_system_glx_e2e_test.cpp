// The GLX binding's pixel formats on a real X display (run under Xvfb with Mesa's software
// rasterizer): enumerating them fetches the screen's configuration list once, and format n is
// configuration n of glXGetFBConfigs. The test's own glXGetFBConfigs stands in front of
// libGL's to count the binding's calls.
#include <gtest/gtest.h>

#include <GL/glx.h>
#include <dlfcn.h>

#include <vector>

#include "opengl/unit_TOpenGLControl_version_008.h"
#include "platform/x11_toolkit.h"

namespace {

int gFetches = 0;

using TGetFBConfigs = GLXFBConfig* (*)(Display*, int, int*);

TGetFBConfigs RealGetFBConfigs() {
  static const auto real = reinterpret_cast<TGetFBConfigs>(dlsym(RTLD_NEXT, "glXGetFBConfigs"));
  return real;
}

int Attribute(Display* ParaDisplay, GLXFBConfig ParaConfig, int ParaAttribute) {
  int value = 0;
  glXGetFBConfigAttrib(ParaDisplay, ParaConfig, ParaAttribute, &value);
  return value;
}

// Every format, described in order through the binding, as the view control enumerates them.
std::vector<TPixelFormatDescriptor> Enumerate(TX11DeviceContext& ParaDC) {
  std::vector<TPixelFormatDescriptor> formats;
  const auto dc = reinterpret_cast<TDeviceContext>(&ParaDC);
  int32_t highest = 0;
  do {
    TPixelFormatDescriptor descriptor{};
    highest = OpenGLWindowSystem->DescribePixelFormat(dc, static_cast<int32_t>(formats.size()) + 1,
                                                      sizeof descriptor, &descriptor);
    if (highest == 0) {
      break;
    }
    formats.push_back(descriptor);
  } while (static_cast<int32_t>(formats.size()) < highest);
  return formats;
}

} // namespace

extern "C" GLXFBConfig* glXGetFBConfigs(Display* ParaDisplay, int ParaScreen, int* ParaCount) {
  ++gFetches;
  return RealGetFBConfigs()(ParaDisplay, ParaScreen, ParaCount);
}

TEST(GlxPixelFormatsTest, AnEnumerationFetchesTheListOnceAndDescribesItInItsOrder) {
  Application = new TApplication;
  Application->Initialize();
  TX11DeviceContext dc;
  dc.mDisplay = DisplayX11();
  gFetches = 0;
  const std::vector<TPixelFormatDescriptor> formats = Enumerate(dc);
  EXPECT_EQ(gFetches, 1) << "one fetch for " << formats.size() << " formats";

  int count = 0;
  GLXFBConfig* own = RealGetFBConfigs()(dc.mDisplay, ScreenX11(), &count);
  ASSERT_NE(own, nullptr);
  ASSERT_GT(count, 1);
  ASSERT_EQ(formats.size(), static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    const TPixelFormatDescriptor& format = formats[static_cast<size_t>(i)];
    EXPECT_EQ(format.cColorBits, Attribute(dc.mDisplay, own[i], GLX_BUFFER_SIZE)) << i;
    EXPECT_EQ(format.cDepthBits, Attribute(dc.mDisplay, own[i], GLX_DEPTH_SIZE)) << i;
    EXPECT_EQ(format.cStencilBits, Attribute(dc.mDisplay, own[i], GLX_STENCIL_SIZE)) << i;
    EXPECT_EQ((format.dwFlags & pfdDoubleBuffer) != 0,
              Attribute(dc.mDisplay, own[i], GLX_DOUBLEBUFFER) != 0)
        << i;
  }
  XFree(own);

  gFetches = 0;
  EXPECT_EQ(Enumerate(dc).size(), formats.size());
  EXPECT_EQ(gFetches, 0) << "the connection keeps its list";
  delete Application;

  // A new connection fetches a list of its own.
  Application = new TApplication;
  Application->Initialize();
  dc.mDisplay = DisplayX11();
  gFetches = 0;
  EXPECT_EQ(Enumerate(dc).size(), formats.size());
  EXPECT_EQ(gFetches, 1);
  delete Application;
  Application = nullptr;
}
