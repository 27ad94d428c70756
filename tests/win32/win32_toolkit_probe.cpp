// A form with one custom control, built on the Win32 backend of the toolkit alone, that the
// end-to-end tests run under wine: it paints with GDI, logs every window message the
// toolkit delivers to stdout, and marks mouse presses with coloured squares.
// Options: --box shows a message box before the loop; --throw-paint throws from one paint.
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

#include "platform/platform_toolkit.h"

namespace {

bool gThrowFromPaint = false;

void logLine(const char* ParaFormat, ...) __attribute__((format(printf, 1, 2)));

void logLine(const char* ParaFormat, ...) {
  va_list arguments;
  va_start(arguments, ParaFormat);
  std::vprintf(ParaFormat, arguments);
  va_end(arguments);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

class TProbeControl : public TCustomControl {
public:
  explicit TProbeControl(TComponent* ParaOwner) : TCustomControl(ParaOwner) {
    ControlStyleInclude(csOpaque);
  }

  int32_t mPaints = 0;
  int32_t mSizes = 0;
  int32_t mMarkX = -1;
  int32_t mMarkY = -1;
  COLORREF mMarkColor = RGB(0, 0, 0);

protected:
  void CreateParams(TCreateParams& Params) override {
    TCustomControl::CreateParams(Params);
    Params.mWindowClassStyle = (Params.mWindowClassStyle | csOwnDC) & ~csParentDC;
    Params.mStyle |= wsClipChildren | wsClipSiblings;
  }

  void WMCreate() override {
    HWND window = reinterpret_cast<HWND>(Handle());
    const auto classStyle = static_cast<uint32_t>(GetClassLongPtrW(window, GCL_STYLE));
    const auto windowStyle = static_cast<uint32_t>(GetWindowLongPtrW(window, GWL_STYLE));
    logLine("create class_style=0x%08x window_style=0x%08x", classStyle, windowStyle);
  }

  void WMSize() override {
    ++mSizes;
    RECT client{};
    GetClientRect(reinterpret_cast<HWND>(Handle()), &client);
    logLine("size %ldx%ld", client.right, client.bottom);
  }

  bool WMEraseBkgnd() override { return true; }

  void WMDestroy() override { logLine("destroy paints=%d", mPaints); }

  void Paint() override {
    ++mPaints;
    HDC dc = reinterpret_cast<HDC>(Canvas().Handle());
    if (mPaints == 1) {
      // With CS_OWNDC the paint request hands over the window's one private device context.
      logLine("first_paint same_dc=%d", dc == reinterpret_cast<HDC>(GetDC()) ? 1 : 0);
    }
    if (gThrowFromPaint && mPaints == 3) {
      gThrowFromPaint = false;
      throw std::runtime_error("Probe error from a paint.");
    }
    RECT client{};
    GetClientRect(reinterpret_cast<HWND>(Handle()), &client);
    // Left half white, right half dark grey; the mark on top.
    HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
    HBRUSH grey = CreateSolidBrush(RGB(64, 64, 64));
    RECT left = client;
    left.right = client.right / 2;
    RECT right = client;
    right.left = left.right;
    FillRect(dc, &left, white);
    FillRect(dc, &right, grey);
    if (mMarkX >= 0) {
      HBRUSH mark = CreateSolidBrush(mMarkColor);
      RECT square{mMarkX - 10, mMarkY - 10, mMarkX + 10, mMarkY + 10};
      FillRect(dc, &square, mark);
      DeleteObject(mark);
    }
    DeleteObject(white);
    DeleteObject(grey);
  }
};

class TProbeForm : public TForm {
public:
  explicit TProbeForm(TComponent* ParaOwner) : TForm(ParaOwner) {
    mControl = new TProbeControl(this);
    mEvents = new TApplicationEvents(this);
    SetCaption("Toolkit probe");
    SetClientWidth(400);
    SetClientHeight(300);
    SetPosition(poDesktopCenter);
    mControl->SetBounds(0, 0, 400, 300);
    mControl->SetAlign(alClient);
    mControl->SetParent(this);
    mControl->SetOnMouseDown([this](TObject*, TMouseButton ParaButton, TShiftState ParaShift,
                                    int32_t ParaX, int32_t ParaY) {
      static const char* const names[] = {"left", "right", "middle"};
      logLine("mouse %s %d %d double=%d idle=%lld messages=%lld", names[ParaButton], ParaX, ParaY,
              ParaShift.Contains(ssDouble) ? 1 : 0, mIdleTurns, mMessageTurns);
      mControl->mMarkX = ParaX;
      mControl->mMarkY = ParaY;
      mControl->mMarkColor = ParaButton == mbLeft    ? RGB(0, 0, 255)
                             : ParaButton == mbRight ? RGB(255, 0, 0)
                                                     : RGB(0, 255, 0);
    });
    mEvents->SetOnIdle([this](TObject*, bool& ParaDone) {
      ++mIdleTurns;
      LogFirstHook("idle");
      Step();
      ParaDone = false;
    });
    mEvents->SetOnMessage([this](TMsg&, bool&) {
      ++mMessageTurns;
      LogFirstHook("message");
      Step();
    });
    SetOnCreate([](TObject*) { logLine("form_create"); });
  }

  // The first turn of the loop; the control's first paint must not come before it.
  void LogFirstHook(const char* ParaHook) {
    if (mIdleTurns + mMessageTurns == 1) {
      logLine("first_hook %s paints_before=%d", ParaHook, mControl->mPaints);
    }
  }

  void Step() {
    if (!mPlacedLogged) {
      mPlacedLogged = true;
      RECT outer{};
      GetWindowRect(reinterpret_cast<HWND>(Handle()), &outer);
      logLine("placed %ld %ld %ld %ld client %dx%d", outer.left, outer.top,
              outer.right - outer.left, outer.bottom - outer.top, ClientWidth(), ClientHeight());
    }
    mControl->Repaint();
    const DWORD now = GetTickCount();
    if (now - mLastCaption >= 500) {
      mLastCaption = now;
      SetCaption("Toolkit probe paints " + std::to_string(mControl->mPaints));
    }
  }

  TProbeControl* mControl;
  TApplicationEvents* mEvents;
  long long mIdleTurns = 0;
  long long mMessageTurns = 0;
  bool mPlacedLogged = false;
  DWORD mLastCaption = GetTickCount();
};

} // namespace

int main(int argc, char** argv) {
  bool showBox = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--box") == 0) {
      showBox = true;
    } else if (std::strcmp(argv[i], "--throw-paint") == 0) {
      gThrowFromPaint = true;
    }
  }
  Application = new TApplication;
  Application->Initialize();
  Application->SetTitle("ToolkitProbe");
  Application->SetMainFormOnTaskBar(true);
  TProbeForm* form = nullptr;
  Application->CreateForm(form);
  if (showBox) {
    ShowMessageBox("Probe box before the loop.");
    logLine("box_closed");
  }
  TDesktopRect desktop = DesktopRect();
  logLine("desktop %d %d %d %d dpi=%d", desktop.mLeft, desktop.mTop, desktop.mWidth,
          desktop.mHeight, ScreenPixelsPerInch());
  Application->Run();
  RECT outer{};
  GetWindowRect(reinterpret_cast<HWND>(form->Handle()), &outer);
  logLine("loop_ended idle=%lld messages=%lld rect %ld %ld %ld %ld", form->mIdleTurns,
          form->mMessageTurns, outer.left, outer.top, outer.right - outer.left,
          outer.bottom - outer.top);
  delete Application;
  Application = nullptr;
  // Freeing the application releases the backend: its window classes are unregistered.
  WNDCLASSEXW info{};
  info.cbSize = sizeof info;
  logLine("form_class_registered=%d",
          GetClassInfoExW(GetModuleHandleW(nullptr), L"VantrelWin32Form", &info) ? 1 : 0);
  logLine("exit");
  return 0;
}
