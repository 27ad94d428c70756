// The application icon as _NET_WM_ICON; see x11_application_icon.h. The pixels come from
// x11_application_icon.inc, which tools/make_icon.py writes from the same picture as the
// Windows icon and the desktop's PNGs.
#include "platform/x11_application_icon.h"

#include <X11/Xatom.h>

#include <cstdint>
#include <cstring>

namespace {

struct TIconColourX11 {
  char mKey;
  uint32_t mArgb;
};

struct TIconImageX11 {
  int mSize;
  const char* const* mRows;
};

#include "platform/x11_application_icon.inc"

uint32_t colourOfKeyX11(char ParaKey) {
  for (const TIconColourX11& colour : kIconColoursX11) {
    if (colour.mKey == ParaKey) {
      return colour.mArgb;
    }
  }
  return 0; // transparent: a key the palette lacks shows nothing rather than garbage
}

} // namespace

std::vector<long> ApplicationIconPropertyX11() {
  std::vector<long> property;
  for (const TIconImageX11& image : kIconImagesX11) {
    property.push_back(image.mSize);
    property.push_back(image.mSize);
    for (int y = 0; y < image.mSize; ++y) {
      const char* row = image.mRows[y];
      for (int x = 0; x < image.mSize; ++x) {
        // NOTE: format-32 properties travel as C longs in Xlib, 64 bits here; the server
        // keeps the low 32.
        property.push_back(static_cast<long>(colourOfKeyX11(row[x])));
      }
    }
  }
  return property;
}

void SetApplicationIconX11(Display* ParaDisplay, Window ParaWindow) {
  static const std::vector<long> property = ApplicationIconPropertyX11();
  const Atom netWmIcon = XInternAtom(ParaDisplay, "_NET_WM_ICON", False);
  XChangeProperty(ParaDisplay, ParaWindow, netWmIcon, XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(property.data()),
                  static_cast<int>(property.size()));
}
