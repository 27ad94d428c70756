// Xlib backend of the toolkit's modal message box: a small fixed-size dialog with the text,
// an optional stop icon and one OK button, drawn with the server's "fixed" core font.
// While it is open, paints, size changes and the destruction of the other windows are still
// dispatched; their input is dropped and no hook of the application runs. The fatal-error report of
// this platform goes to standard error instead.
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/toolkit_backend.h"
#include "platform/x11_toolkit.h"

namespace {

constexpr int kMargin = 16;
constexpr int kIconSize = 32;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 26;

struct TMessageBoxX11 {
  Display* mDisplay = nullptr;
  Window mWindow = 0;
  GC mGC = nullptr;
  XFontStruct* mFont = nullptr;
  std::vector<std::string> mLines;
  TMessageBoxIcon mIcon = mbiNone;
  unsigned long mStopPixel = 0; // the red of the stop sign, allocated once per box
  int mWidth = 0;
  int mHeight = 0;
  int mTextLeft = 0;
  int mButtonLeft = 0;
  int mButtonTop = 0;
  bool mButtonPressed = false;
  std::vector<XEvent> mQuitRequests; // taken while the box was open, given back when it closes
};

std::vector<std::string> splitLinesX11(const std::string& ParaText) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : ParaText) {
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else if (c != '\r') {
      line += c;
    }
  }
  lines.push_back(line);
  return lines;
}

int textWidthX11(const TMessageBoxX11& ParaBox, const std::string& ParaText) {
  return XTextWidth(ParaBox.mFont, ParaText.data(), static_cast<int>(ParaText.size()));
}

void drawMessageBoxX11(TMessageBoxX11& ParaBox) {
  Display* display = ParaBox.mDisplay;
  const int screen = ScreenX11();
  const unsigned long black = BlackPixel(display, screen);
  const unsigned long white = WhitePixel(display, screen);
  XSetForeground(display, ParaBox.mGC, white);
  XFillRectangle(display, ParaBox.mWindow, ParaBox.mGC, 0, 0, static_cast<unsigned>(ParaBox.mWidth),
                 static_cast<unsigned>(ParaBox.mHeight));
  if (ParaBox.mIcon == mbiStop) {
    // A red disc with a white cross, the stop sign of error reports.
    XSetForeground(display, ParaBox.mGC, ParaBox.mStopPixel);
    XFillArc(display, ParaBox.mWindow, ParaBox.mGC, kMargin, kMargin, kIconSize, kIconSize, 0,
             360 * 64);
    XSetForeground(display, ParaBox.mGC, white);
    XSetLineAttributes(display, ParaBox.mGC, 3, LineSolid, CapRound, JoinRound);
    XDrawLine(display, ParaBox.mWindow, ParaBox.mGC, kMargin + 10, kMargin + 10, kMargin + 22,
              kMargin + 22);
    XDrawLine(display, ParaBox.mWindow, ParaBox.mGC, kMargin + 22, kMargin + 10, kMargin + 10,
              kMargin + 22);
    XSetLineAttributes(display, ParaBox.mGC, 1, LineSolid, CapButt, JoinMiter);
  }
  XSetForeground(display, ParaBox.mGC, black);
  const int lineHeight = ParaBox.mFont->ascent + ParaBox.mFont->descent;
  int y = kMargin + ParaBox.mFont->ascent;
  for (const std::string& line : ParaBox.mLines) {
    XDrawString(display, ParaBox.mWindow, ParaBox.mGC, ParaBox.mTextLeft, y, line.data(),
                static_cast<int>(line.size()));
    y += lineHeight;
  }
  XDrawRectangle(display, ParaBox.mWindow, ParaBox.mGC, ParaBox.mButtonLeft, ParaBox.mButtonTop,
                 kButtonWidth, kButtonHeight);
  if (ParaBox.mButtonPressed) {
    XDrawRectangle(display, ParaBox.mWindow, ParaBox.mGC, ParaBox.mButtonLeft + 1,
                   ParaBox.mButtonTop + 1, kButtonWidth - 2, kButtonHeight - 2);
  }
  const std::string ok = "OK";
  XDrawString(display, ParaBox.mWindow, ParaBox.mGC,
              ParaBox.mButtonLeft + (kButtonWidth - textWidthX11(ParaBox, ok)) / 2,
              ParaBox.mButtonTop + (kButtonHeight + ParaBox.mFont->ascent) / 2 - 1, ok.data(),
              static_cast<int>(ok.size()));
  XFlush(display);
}

bool insideButtonX11(const TMessageBoxX11& ParaBox, int ParaX, int ParaY) {
  return ParaX >= ParaBox.mButtonLeft && ParaX < ParaBox.mButtonLeft + kButtonWidth &&
         ParaY >= ParaBox.mButtonTop && ParaY < ParaBox.mButtonTop + kButtonHeight;
}

void createMessageBoxX11(TMessageBoxX11& ParaBox, const std::string& ParaTitle) {
  Display* display = ParaBox.mDisplay;
  const int screen = ScreenX11();
  const Window root = RootWindow(display, screen);
  int textWidth = 0;
  for (const std::string& line : ParaBox.mLines) {
    textWidth = std::max(textWidth, textWidthX11(ParaBox, line));
  }
  if (ParaBox.mIcon == mbiStop) {
    XColor red{};
    red.red = 0xD000;
    red.green = 0x1000;
    red.blue = 0x1000;
    red.flags = DoRed | DoGreen | DoBlue;
    ParaBox.mStopPixel = XAllocColor(display, DefaultColormap(display, screen), &red)
                             ? red.pixel
                             : BlackPixel(display, screen);
  }
  const int lineHeight = ParaBox.mFont->ascent + ParaBox.mFont->descent;
  const int textHeight = lineHeight * static_cast<int>(ParaBox.mLines.size());
  ParaBox.mTextLeft = kMargin + (ParaBox.mIcon == mbiStop ? kIconSize + kMargin : 0);
  // At least 240 wide, which always leaves room for the button and its margins.
  ParaBox.mWidth = std::max(ParaBox.mTextLeft + textWidth + kMargin, 240);
  const int contentHeight = std::max(textHeight, ParaBox.mIcon == mbiStop ? kIconSize : 0);
  ParaBox.mButtonTop = kMargin + contentHeight + kMargin;
  ParaBox.mButtonLeft = (ParaBox.mWidth - kButtonWidth) / 2;
  ParaBox.mHeight = ParaBox.mButtonTop + kButtonHeight + kMargin;

  TForm* owner = Application != nullptr ? Application->MainForm() : nullptr;
  int32_t left = 0;
  int32_t top = 0;
  DesktopCenter(TToolkitBackend::DesktopRect(), ParaBox.mWidth, ParaBox.mHeight, left, top);
  ParaBox.mWindow =
      XCreateSimpleWindow(display, root, left, top, static_cast<unsigned>(ParaBox.mWidth),
                          static_cast<unsigned>(ParaBox.mHeight), 0, BlackPixel(display, screen),
                          WhitePixel(display, screen));
  XSelectInput(display, ParaBox.mWindow,
               ExposureMask | KeyPressMask | ButtonPressMask | ButtonReleaseMask |
                   StructureNotifyMask);

  const TX11Atoms& atoms = AtomsX11();
  SetCaptionX11(ParaBox.mWindow, ParaTitle);
  // The text as a property too, where tools that cannot read pixels find it (the way a
  // Windows message box's text is readable from its static control); the tests read it.
  std::string text;
  for (std::size_t i = 0; i < ParaBox.mLines.size(); ++i) {
    text += (i == 0 ? "" : "\n") + ParaBox.mLines[i];
  }
  XChangeProperty(display, ParaBox.mWindow, atoms.mMessageText, atoms.mUtf8String, 8,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(text.data()),
                  static_cast<int>(text.size()));
  Atom deleteWindow = atoms.mWmDeleteWindow;
  XSetWMProtocols(display, ParaBox.mWindow, &deleteWindow, 1);
  XChangeProperty(display, ParaBox.mWindow, atoms.mNetWmWindowType, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&atoms.mNetWmWindowTypeDialog), 1);
  XChangeProperty(display, ParaBox.mWindow, atoms.mNetWmState, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&atoms.mNetWmStateModal), 1);
  if (owner != nullptr && owner->Visible() && owner->HandleAllocated()) {
    XSetTransientForHint(display, ParaBox.mWindow, static_cast<Window>(owner->Handle()));
  }
  XSizeHints* size = XAllocSizeHints();
  size->flags = PPosition | PMinSize | PMaxSize;
  size->x = left;
  size->y = top;
  size->min_width = size->max_width = ParaBox.mWidth;
  size->min_height = size->max_height = ParaBox.mHeight;
  XSetWMNormalHints(display, ParaBox.mWindow, size);
  XFree(size);
  XWMHints* hints = XAllocWMHints();
  hints->flags = InputHint;
  hints->input = True;
  XSetWMHints(display, ParaBox.mWindow, hints);
  XFree(hints);
  ParaBox.mGC = XCreateGC(display, ParaBox.mWindow, 0, nullptr);
  XSetFont(display, ParaBox.mGC, ParaBox.mFont->fid);
  XMapRaised(display, ParaBox.mWindow);
  XFlush(display);
}

// Runs the dialog's own loop until it is closed.
void runMessageBoxX11(TMessageBoxX11& ParaBox) {
  Display* display = ParaBox.mDisplay;
  const Atom protocols = AtomsX11().mWmProtocols;
  const Atom deleteWindow = AtomsX11().mWmDeleteWindow;
  for (;;) {
    XEvent event;
    XNextEvent(display, &event);
    if (IsQuitRequestX11(event)) {
      // Not the box's to take: the application's loop finds it again once the box is closed.
      ParaBox.mQuitRequests.push_back(event);
      continue;
    }
    if (event.xany.window != ParaBox.mWindow) {
      switch (event.type) {
      case Expose:
      case ConfigureNotify:
      case DestroyNotify:
        DispatchEventX11(event);
        break;
      default:
        break; // modal: the other windows' input waits for nobody
      }
      continue;
    }
    switch (event.type) {
    case Expose:
      if (event.xexpose.count == 0) {
        drawMessageBoxX11(ParaBox);
      }
      break;
    case MapNotify:
      // NOTE: without a window manager nobody gives the new window the keyboard.
      XSetInputFocus(display, ParaBox.mWindow, RevertToParent, CurrentTime);
      break;
    case KeyPress: {
      const KeySym key = XLookupKeysym(&event.xkey, 0);
      if (key == XK_Return || key == XK_KP_Enter || key == XK_Escape || key == XK_space) {
        return;
      }
      break;
    }
    case ButtonPress:
      if (event.xbutton.button == Button1 &&
          insideButtonX11(ParaBox, event.xbutton.x, event.xbutton.y)) {
        ParaBox.mButtonPressed = true;
        drawMessageBoxX11(ParaBox);
      }
      break;
    case ButtonRelease:
      if (event.xbutton.button == Button1 && ParaBox.mButtonPressed) {
        ParaBox.mButtonPressed = false;
        if (insideButtonX11(ParaBox, event.xbutton.x, event.xbutton.y)) {
          return;
        }
        drawMessageBoxX11(ParaBox);
      }
      break;
    case ClientMessage:
      if (event.xclient.message_type == protocols &&
          static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow) {
        return;
      }
      break;
    default:
      break;
    }
  }
}

} // namespace

void TToolkitBackend::ShowMessageBox(const std::string& ParaText, TMessageBoxIcon ParaIcon) {
  const std::string title = ProgramNameX11();
  Display* display = nullptr;
  try {
    display = DisplayX11();
  } catch (const std::exception&) {
    // NOTE: without a display the text still has to reach someone.
    std::fprintf(stderr, "%s: %s\n", title.c_str(), ParaText.c_str());
    return;
  }
  TMessageBoxX11 box;
  box.mDisplay = display;
  box.mIcon = ParaIcon;
  box.mLines = splitLinesX11(ParaText);
  box.mFont = XLoadQueryFont(display, "fixed");
  if (box.mFont == nullptr) {
    std::fprintf(stderr, "%s: %s\n", title.c_str(), ParaText.c_str());
    return;
  }
  createMessageBoxX11(box, title);
  runMessageBoxX11(box);
  for (XEvent& quit : box.mQuitRequests) {
    XPutBackEvent(display, &quit);
  }
  XFreeGC(display, box.mGC);
  XDestroyWindow(display, box.mWindow);
  XFreeFont(display, box.mFont);
  XFlush(display);
}

void TToolkitBackend::ReportFatalError(const std::string& ParaText) {
  std::fprintf(stderr, "%s: fatal error: %s\n", ProgramNameX11().c_str(), ParaText.c_str());
  std::fflush(stderr);
}
