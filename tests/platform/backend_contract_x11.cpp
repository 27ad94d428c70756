// The backend contract on the Xlib backend, on an X server of its own without a window
// manager (so a form's window sits in the root window and has no frame). A second connection
// plays the user and other programs and reads the server's view of the windows; a thread with
// a third answers message boxes.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

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

class TX11ContractWindowSystem final : public TContractWindowSystem {
public:
  TX11ContractWindowSystem() : mOther(XOpenDisplay(nullptr)) {
    mForeign = XInternAtom(mOther, "_VANTREL_CONTRACT_FOREIGN", False);
  }
  ~TX11ContractWindowSystem() override {
    if (mAnswerer.joinable()) {
      mAnswerer.join();
    }
    XCloseDisplay(mOther);
  }
  TX11ContractWindowSystem(const TX11ContractWindowSystem&) = delete;
  TX11ContractWindowSystem& operator=(const TX11ContractWindowSystem&) = delete;

  bool Connected() const { return mOther != nullptr; }

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

  void AnswerNextBox(TWindowHandle ParaExpose, const std::atomic<int>* ParaPaints) override {
    mBox = TBoxSeen{};
    mAnswerer = std::thread([this, ParaExpose, ParaPaints] { Answer(ParaExpose, ParaPaints); });
  }

  TBoxSeen BoxAnswered() override {
    if (mAnswerer.joinable()) {
      mAnswerer.join();
    }
    return mBox;
  }

  bool BoxesAreWindows() const override { return true; }

private:
  // On a thread of its own: the program is inside the box's loop meanwhile.
  void Answer(TWindowHandle ParaExpose, const std::atomic<int>* ParaPaints) {
    Display* display = XOpenDisplay(nullptr);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    Window box = 0;
    while ((box = FindBox(display)) == 0 && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (box != 0) {
      mBox.mSeen = true;
      mBox.mText = Utf8Property(display, box, "_VANTREL_MESSAGE_TEXT");
      mBox.mTitle = Utf8Property(display, box, "_NET_WM_NAME");
      if (ParaExpose != 0) {
        const int before = ParaPaints->load();
        XClearArea(display, static_cast<Window>(ParaExpose), 0, 0, 0, 0, True);
        XFlush(display);
        while (ParaPaints->load() == before && std::chrono::steady_clock::now() < deadline) {
          std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        mBox.mPaintedWhileOpen = ParaPaints->load() > before;
      }
      XEvent close{};
      close.xclient.type = ClientMessage;
      close.xclient.window = box;
      close.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
      close.xclient.format = 32;
      close.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
      XSendEvent(display, box, False, NoEventMask, &close);
      XSync(display, False);
    }
    XCloseDisplay(display);
  }

  Display* mOther;
  Atom mForeign = 0;
  std::thread mAnswerer;
  TBoxSeen mBox;
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
