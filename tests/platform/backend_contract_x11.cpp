// The backend contract on the Xlib backend, on an X server of its own without a window
// manager (so a form's window sits in the root window and has no frame). A second connection
// plays the user and other programs and reads the server's view of the windows; a third, used
// only by the thread that answers message boxes, finds and answers them.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <string>

#include "platform/x11_toolkit.h"
#include "tests/platform/backend_contract.h"

namespace {

std::string Utf8Property(Display* ParaDisplay, Window ParaWindow, const char* ParaName) {
  const Atom name = XInternAtom(ParaDisplay, ParaName, False);
  const Atom utf8 = XInternAtom(ParaDisplay, "UTF8_STRING", False);
  Atom type = 0;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  std::string text;
  if (XGetWindowProperty(ParaDisplay, ParaWindow, name, 0, 4096, False, utf8, &type, &format,
                         &count, &after, &data) == Success &&
      data != nullptr) {
    text.assign(reinterpret_cast<const char*>(data), count);
  }
  if (data != nullptr) {
    XFree(data);
  }
  return text;
}

bool InTree(Display* ParaDisplay, Window ParaUnder, Window ParaWanted) {
  Window root = 0;
  Window parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  if (XQueryTree(ParaDisplay, ParaUnder, &root, &parent, &children, &count) == 0) {
    return false;
  }
  bool found = false;
  for (unsigned int i = 0; i < count && !found; ++i) {
    found = children[i] == ParaWanted || InTree(ParaDisplay, children[i], ParaWanted);
  }
  if (children != nullptr) {
    XFree(children);
  }
  return found;
}

// The message box: a top-level window that carries its text as a property.
Window FindBox(Display* ParaDisplay) {
  Window root = 0;
  Window parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  XQueryTree(ParaDisplay, DefaultRootWindow(ParaDisplay), &root, &parent, &children, &count);
  const Atom text = XInternAtom(ParaDisplay, "_VANTREL_MESSAGE_TEXT", False);
  Window box = 0;
  for (unsigned int i = 0; i < count && box == 0; ++i) {
    int properties = 0;
    Atom* names = XListProperties(ParaDisplay, children[i], &properties);
    for (int k = 0; k < properties; ++k) {
      box = names[k] == text ? children[i] : box;
    }
    if (names != nullptr) {
      XFree(names);
    }
  }
  if (children != nullptr) {
    XFree(children);
  }
  return box;
}

class TX11ContractWindowSystem final : public TWindowedBoxesWindowSystem {
public:
  TX11ContractWindowSystem() : mOther(XOpenDisplay(nullptr)), mBoxes(XOpenDisplay(nullptr)) {
    if (Connected()) {
      mForeign = XInternAtom(mOther, "_VANTREL_CONTRACT_FOREIGN", False);
    }
  }
  ~TX11ContractWindowSystem() override {
    JoinAnswerer();
    for (Display* display : {mOther, mBoxes}) {
      if (display != nullptr) {
        XCloseDisplay(display);
      }
    }
  }
  TX11ContractWindowSystem(const TX11ContractWindowSystem&) = delete;
  TX11ContractWindowSystem& operator=(const TX11ContractWindowSystem&) = delete;

  bool Connected() const { return mOther != nullptr && mBoxes != nullptr; }

  void Settle() override {
    // The program's requests first, then what the server sent back is in its queue.
    if (Application != nullptr) {
      XSync(DisplayX11(), False);
    }
    XSync(mOther, False);
    if (Application != nullptr) {
      XSync(DisplayX11(), False);
    }
  }

  TWindowState State(TWindowHandle ParaWindow) override {
    Settle();
    TWindowState state;
    const auto window = static_cast<Window>(ParaWindow);
    if (window == 0 || !InTree(mOther, DefaultRootWindow(mOther), window)) {
      return state;
    }
    XWindowAttributes attributes{};
    XGetWindowAttributes(mOther, window, &attributes);
    state.mExists = true;
    state.mVisible = attributes.map_state == IsViewable;
    state.mLeft = attributes.x;
    state.mTop = attributes.y;
    state.mWidth = attributes.width;
    state.mHeight = attributes.height;
    state.mCaption = Utf8Property(mOther, window, "_NET_WM_NAME");
    return state;
  }

  void ResizeFromOutside(TWindowHandle ParaForm, int32_t ParaWidth, int32_t ParaHeight) override {
    XResizeWindow(mOther, static_cast<Window>(ParaForm), static_cast<unsigned>(ParaWidth),
                  static_cast<unsigned>(ParaHeight));
    Settle();
  }

  void ExposeFromOutside(TWindowHandle ParaWindow, int ParaTimes) override {
    for (int k = 0; k < ParaTimes; ++k) {
      XClearArea(mOther, static_cast<Window>(ParaWindow), 0, 0, 0, 0, True);
    }
    Settle();
  }

  void PostForeignMessages(TWindowHandle ParaWindow, int ParaCount) override {
    for (int k = 0; k < ParaCount; ++k) {
      XEvent event{};
      event.xclient.type = ClientMessage;
      event.xclient.window = static_cast<Window>(ParaWindow);
      event.xclient.message_type = mForeign;
      event.xclient.format = 32;
      XSendEvent(mOther, static_cast<Window>(ParaWindow), False, NoEventMask, &event);
    }
    Settle();
  }

  bool IsForeignMessage(const TMsg& ParaMsg) override {
    const auto* event = static_cast<const XEvent*>(ParaMsg.mNative);
    return event != nullptr && event->type == ClientMessage &&
           event->xclient.message_type == mForeign;
  }

  void DestroyFromOutside(TWindowHandle ParaForm) override {
    XDestroyWindow(mOther, static_cast<Window>(ParaForm));
    Settle();
  }

private:
  // On the answering thread, through a connection of its own.
  uintptr_t FindOpenBox() override { return FindBox(mBoxes); }

  void ReadBox(uintptr_t ParaBox, std::string& ParaText, std::string& ParaTitle) override {
    ParaText = Utf8Property(mBoxes, static_cast<Window>(ParaBox), "_VANTREL_MESSAGE_TEXT");
    ParaTitle = Utf8Property(mBoxes, static_cast<Window>(ParaBox), "_NET_WM_NAME");
  }

  void ExposeWhileBoxOpen(TWindowHandle ParaWindow) override {
    XClearArea(mBoxes, static_cast<Window>(ParaWindow), 0, 0, 0, 0, True);
    XFlush(mBoxes);
  }

  void AnswerOk(uintptr_t ParaBox) override {
    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = static_cast<Window>(ParaBox);
    close.xclient.message_type = XInternAtom(mBoxes, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = static_cast<long>(XInternAtom(mBoxes, "WM_DELETE_WINDOW", False));
    XSendEvent(mBoxes, static_cast<Window>(ParaBox), False, NoEventMask, &close);
    XSync(mBoxes, False);
  }

  Display* mOther;
  Display* mBoxes;
  Atom mForeign = 0;
};

} // namespace

int main() {
  TX11ContractWindowSystem system;
  if (!system.Connected()) {
    std::fprintf(stderr, "needs an X display\n");
    return 1;
  }
  return RunBackendContract(system, "x11") == 0 ? 0 : 1;
}
