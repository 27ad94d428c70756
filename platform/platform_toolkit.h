// The small desktop toolkit the program is built on: an application with one event loop and
// its message and idle hooks, a top-level form, custom child controls with their own window
// and device context, mouse-down events, synchronous repaint and a modal message box.
// Written once in platform/toolkit.cpp, on the window-system backend whose contract is
// platform/toolkit_backend.h (TToolkitBackend, the only friend of these classes).
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <vector>

// ---- Basic types ------------------------------------------------------------------------

// The root of every toolkit object: what a notification hands its handler as the sender.
class TObject {
public:
  virtual ~TObject() = default;
};

// A callback bound to an object; unassigned (empty) handlers are skipped by the raiser.
using TNotifyEvent = std::function<void(TObject* Sender)>;

// An opaque window handle: HWND on Win32, the X window id on X11. 0 means none.
using TWindowHandle = uintptr_t;

// An opaque device-context handle: the window's private HDC on Win32 (CS_OWNDC); on X11 a
// pointer to the window's drawable record, which stays the same when the backend has to
// re-create the X window with another visual. 0 means none.
using TDeviceContext = uintptr_t;

enum TMouseButton : uint8_t { mbLeft, mbRight, mbMiddle };

// Modifier keys and mouse buttons held at the time of an event, and whether the press is the
// second of a double click.
enum TShiftStateElement : uint8_t { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };

class TShiftState {
public:
  constexpr TShiftState() = default;
  constexpr bool Contains(TShiftStateElement ParaElement) const {
    return (mBits & (1u << ParaElement)) != 0;
  }
  constexpr void Include(TShiftStateElement ParaElement) { mBits |= (1u << ParaElement); }

private:
  uint32_t mBits = 0;
};

using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift,
                                       int32_t X, int32_t Y)>;

// A message taken from the application's queue, handed to the message hook before it is
// dispatched. mNative points at the backend's own record (MSG on Win32, XEvent on X11) and
// is valid for the duration of the hook only.
struct TMsg {
  TWindowHandle mWindow = 0;
  uint32_t mMessage = 0; // WM_* on Win32, the X event type on X11
  void* mNative = nullptr;
};

using TMessageEvent = std::function<void(TMsg& Msg, bool& Handled)>;
using TIdleEvent = std::function<void(TObject* Sender, bool& Done)>;

enum TAlign : uint8_t { alNone, alClient };
enum TPosition : uint8_t { poDesigned, poDesktopCenter };
enum TControlStyleElement : uint8_t { csOpaque };

// Window-class and window styles a control asks for before its window is created. The values
// are the Win32 ones, so that backend hands them on unchanged; the X11 backend keeps them for
// the record (its child windows always clip their children and siblings, and every window
// has exactly one drawable, which is what CS_OWNDC asks for).
enum TClassStyle : uint32_t {
  csVRedraw = 0x0001,
  csHRedraw = 0x0002,
  csDblClks = 0x0008,
  csOwnDC = 0x0020,
  csParentDC = 0x0080,
};
enum TWindowStyle : uint32_t {
  wsChild = 0x40000000,
  wsClipSiblings = 0x04000000,
  wsClipChildren = 0x02000000,
};

struct TCreateParams {
  uint32_t mStyle = 0;
  uint32_t mExStyle = 0;
  uint32_t mWindowClassStyle = 0;
};

// What a message box shows beside its text.
enum TMessageBoxIcon : uint8_t { mbiNone, mbiStop };

// ---- Components -------------------------------------------------------------------------

// An object with an owner; the owner frees what it owns, the most recently added first.
class TComponent : public TObject {
public:
  explicit TComponent(TComponent* ParaOwner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  const std::vector<TComponent*>& Components() const { return mComponents; }

  // The load-completion notification: runs once every stored property has been applied.
  virtual void Loaded() {}

private:
  TComponent* mOwner;
  std::vector<TComponent*> mComponents;
};

class TWinControl;

// The drawing surface of a control; its handle is valid while the control paints.
class TCanvas {
public:
  TDeviceContext Handle() const { return mHandle; }
  void SetHandle(TDeviceContext ParaHandle) { mHandle = ParaHandle; }

private:
  TDeviceContext mHandle = 0;
};

struct TNativeWindow; // the backend's per-window record
struct TToolkitBackend;

// A control with a window of the window system. The window is created on demand (when a form
// is shown, or by HandleNeeded) and destroyed with the control or its parent.
class TWinControl : public TComponent {
public:
  explicit TWinControl(TComponent* ParaOwner);
  ~TWinControl() override;

  TWinControl* Parent() const { return mParent; }
  void SetParent(TWinControl* ParaParent);

  // A child control's bounds are its window's rectangle in its parent's client area. A form's
  // Left and Top are where the outer corner of its frame goes on the desktop, and its Width and
  // Height are its client size: the frame is the window system's, and the toolkit never needs
  // it except to centre the form.
  int32_t Left() const { return mLeft; }
  int32_t Top() const { return mTop; }
  int32_t Width() const { return mWidth; }
  int32_t Height() const { return mHeight; }
  void SetBounds(int32_t ParaLeft, int32_t ParaTop, int32_t ParaWidth, int32_t ParaHeight);
  // The client area: for a child control the whole control, for a form its Width and Height.
  int32_t ClientWidth() const { return mWidth; }
  int32_t ClientHeight() const { return mHeight; }

  TAlign Align() const { return mAlign; }
  void SetAlign(TAlign ParaAlign);

  bool ControlStyleContains(TControlStyleElement ParaElement) const {
    return (mControlStyle & (1u << ParaElement)) != 0;
  }
  void ControlStyleInclude(TControlStyleElement ParaElement) {
    mControlStyle |= (1u << ParaElement);
  }

  const TMouseEvent& OnMouseDown() const { return mOnMouseDown; }
  void SetOnMouseDown(TMouseEvent ParaEvent) { mOnMouseDown = std::move(ParaEvent); }

  bool HandleAllocated() const { return mNative != nullptr; }
  // Creates the window (and the windows of its parents) when it does not exist yet.
  void HandleNeeded();
  TWindowHandle Handle();
  // The window's own device context; 0 while there is no window.
  TDeviceContext GetDC() const;
  // Marks the whole window as needing paint and runs the complete paint before returning;
  // does nothing while there is no window.
  void Repaint();
  // Destroys the window (and its children's) while the control is whole; idempotent.
  void DestroyHandle();
  const std::vector<TWinControl*>& Controls() const { return mControls; }

  // Scales stored sizes by ParaMultiplier / ParaDivider, rounding to nearest (ties to even).
  virtual void ScaleBy(int32_t ParaMultiplier, int32_t ParaDivider);

protected:
  // Called before the window is created: adjust window-class and window styles here.
  virtual void CreateParams(TCreateParams& Params);
  // The window messages, delivered by the backend. WMCreate runs once the window exists,
  // WMSize after every size change (also once right after creation), WMDestroy while the
  // window still exists, before its children's windows go.
  virtual void WMCreate() {}
  virtual void WMSize() {}
  // Answers true when the background counts as erased (nothing more to do).
  virtual bool WMEraseBkgnd() { return false; }
  virtual void WMDestroy() {}
  // The paint request, with the window's device context for the duration of painting.
  virtual void PaintWindow(TDeviceContext ParaDC);
  // A press of a mouse button over the window, at client coordinates. Raises OnMouseDown.
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y);

  // Keeps alClient children aligned to the client area.
  void AlignControls();

private:
  friend struct TToolkitBackend;
  friend class TForm; // a form's client size is its Width and Height

  TWinControl* mParent = nullptr;
  std::vector<TWinControl*> mControls;
  int32_t mLeft = 0;
  int32_t mTop = 0;
  int32_t mWidth = 0;
  int32_t mHeight = 0;
  TAlign mAlign = alNone;
  uint32_t mControlStyle = 0;
  TMouseEvent mOnMouseDown;

protected:
  TNativeWindow* mNative = nullptr;
};

// A control that paints itself on a canvas.
class TCustomControl : public TWinControl {
public:
  using TWinControl::TWinControl;
  TCanvas& Canvas() { return mCanvas; }

protected:
  void PaintWindow(TDeviceContext ParaDC) override;
  virtual void Paint() {}

private:
  TCanvas mCanvas;
};

// A top-level window: resizable, with a caption, placed by its Position rule when first shown.
class TForm : public TWinControl {
public:
  explicit TForm(TComponent* ParaOwner);
  ~TForm() override;

  const std::string& Caption() const { return mCaption; }
  void SetCaption(const std::string& ParaCaption);

  // The client size alone: the window keeps its place.
  void SetClientWidth(int32_t ParaValue);
  void SetClientHeight(int32_t ParaValue);

  TPosition Position() const { return mPosition; }
  void SetPosition(TPosition ParaValue) { mPosition = ParaValue; }
  // The density the stored sizes were laid out for; the form scales them to the screen's.
  int32_t PixelsPerInch() const { return mPixelsPerInch; }
  void SetPixelsPerInch(int32_t ParaValue) { mPixelsPerInch = ParaValue; }

  const TNotifyEvent& OnCreate() const { return mOnCreate; }
  void SetOnCreate(TNotifyEvent ParaEvent) { mOnCreate = std::move(ParaEvent); }

  // Creates the child windows, places the form (first time only; Left and Top then tell where)
  // and makes it visible. Moves by the user are not reported back into Left and Top.
  void Show();
  // Asks the form to close; closing the main form asks the application to terminate.
  void Close();
  bool Visible() const { return mVisible; }

  void ScaleBy(int32_t ParaMultiplier, int32_t ParaDivider) override;

private:
  friend struct TToolkitBackend;
  friend class TApplication;

  // A stored client size was written: the window follows, and so do the aligned children.
  void ClientSizeChanged();
  // Called by the backend when the window system changed the client size.
  void ClientResized(int32_t ParaWidth, int32_t ParaHeight);
  // After construction: load completion, scaling to the screen's density, OnCreate.
  void FinishLoading();

  std::string mCaption;
  TPosition mPosition = poDesigned;
  int32_t mPixelsPerInch = 96;
  bool mVisible = false;
  bool mShownOnce = false;
  TNotifyEvent mOnCreate;
};

// ---- Application ------------------------------------------------------------------------

class TApplicationEvents;

// Owns the forms and runs the one event loop.
//
// One turn of the loop: when a message is waiting, take it; the quit request ends the loop;
// any other message goes through every message hook, then, unless a hook set Handled, it is
// dispatched to its window. When nothing is waiting, every idle hook runs with Done = true on
// entry; the loop waits for the next message only when Done is still true afterwards.
// An exception escaping a hook or a window handler is caught at that boundary and shown in
// the error box; the loop goes on. One escaping a message hook ends that turn: the message
// it was taken for is not dispatched.
class TApplication : public TComponent {
public:
  TApplication();
  ~TApplication() override;

  // Connects to the window system; the application's destructor disconnects.
  void Initialize();
  const std::string& Title() const { return mTitle; }
  void SetTitle(const std::string& ParaTitle) { mTitle = ParaTitle; }
  bool MainFormOnTaskBar() const { return mMainFormOnTaskBar; }
  void SetMainFormOnTaskBar(bool ParaValue) { mMainFormOnTaskBar = ParaValue; }
  TForm* MainForm() const { return mMainForm; }

  // Constructs the form (its constructor applies the stored layout), assigns ParaReference,
  // runs the load completion and the form's OnCreate, creates the form's own window (without
  // child windows) and makes the first form the main form.
  template <class TFormClass> void CreateForm(TFormClass*& ParaReference) {
    auto* form = new TFormClass(this);
    ParaReference = form;
    AddForm(form);
  }

  // Shows the main form and runs the event loop until the quit request is taken.
  void Run();
  // Queues the quit request behind the messages already queued.
  void Terminate();

  // The error box: the error's text, a stop icon, titled with the application's title.
  void ShowException(const std::exception_ptr& ParaError);

  // The hooks, called by the loop. Exceptions escape to the caller.
  void DoMessage(TMsg& ParaMsg, bool& ParaHandled);
  void DoIdle(bool& ParaDone);

  void RegisterEvents(TApplicationEvents* ParaEvents);
  void UnregisterEvents(TApplicationEvents* ParaEvents);

private:
  friend struct TToolkitBackend;
  void AddForm(TForm* ParaForm);
  // One turn of the loop; false once it took the quit request.
  bool RunTurn();

  std::string mTitle;
  bool mMainFormOnTaskBar = false;
  TForm* mMainForm = nullptr;
  std::vector<TApplicationEvents*> mEvents;
};

// The non-visual component that hands the application's idle and message hooks to its owner.
class TApplicationEvents : public TComponent {
public:
  explicit TApplicationEvents(TComponent* ParaOwner);
  ~TApplicationEvents() override;

  const TIdleEvent& OnIdle() const { return mOnIdle; }
  void SetOnIdle(TIdleEvent ParaEvent) { mOnIdle = std::move(ParaEvent); }
  const TMessageEvent& OnMessage() const { return mOnMessage; }
  void SetOnMessage(TMessageEvent ParaEvent) { mOnMessage = std::move(ParaEvent); }

private:
  TIdleEvent mOnIdle;
  TMessageEvent mOnMessage;
};

// The one application object; created and freed by the program's entry point.
extern TApplication* Application;

// ---- Services ---------------------------------------------------------------------------

// Runs ParaBody; an exception escaping it is shown in the error box instead of propagating.
// Backends wrap every call into program code from a window-system callback with it.
// Answers false when ParaBody was interrupted by an exception.
bool CallGuarded(const std::function<void()>& ParaBody);

// The modal message box: the text, one OK button, titled with the application's title.
// Returns once the user has closed it; other windows keep getting their paints meanwhile,
// no hook runs.
void ShowMessageBox(const std::string& ParaText, TMessageBoxIcon ParaIcon = mbiNone);

// The runtime's fatal-error report, for an error that escaped the program's entry sequence:
// a message box with a stop icon on Windows, where a program without a console has nowhere
// else to say it; standard error elsewhere. Returns once the report has been seen.
void ReportFatalError(const std::string& ParaText);

// The density of the screen in pixels per inch (96 when the system does not say).
int32_t ScreenPixelsPerInch();

// The bounding rectangle of all monitors.
struct TDesktopRect {
  int32_t mLeft = 0;
  int32_t mTop = 0;
  int32_t mWidth = 0;
  int32_t mHeight = 0;
};
TDesktopRect DesktopRect();

// The poDesktopCenter rule: centred by integer halvings, never left of or above the desktop.
void DesktopCenter(const TDesktopRect& ParaDesktop, int32_t ParaWindowWidth,
                   int32_t ParaWindowHeight, int32_t& ParaLeft, int32_t& ParaTop);
