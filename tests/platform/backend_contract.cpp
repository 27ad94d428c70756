// The cases of the backend contract (backend_contract.h). Each builds its own application
// with a form holding two controls, drives it through the public toolkit (and the event
// loop where the promise is about the loop) and asks the window system what it made of it.
#include "tests/platform/backend_contract.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <sstream>
#include <thread>
#include <utility>

namespace {

TContractWindowSystem* gSystem = nullptr;
// What the windows of the running case were told, in order; outlives the form.
std::vector<std::string> gLog;

// A control that counts and logs what the backend delivers to it.
class TContractControl : public TCustomControl {
public:
  TContractControl(TComponent* ParaOwner, std::string ParaName)
      : TCustomControl(ParaOwner), mName(std::move(ParaName)) {
    ControlStyleInclude(csOpaque);
  }

  std::string mName;
  TWindowHandle mWindow = 0; // kept, as Handle() would create a window that went
  int mSizes = 0;
  std::atomic<int> mPaints{0};
  TDeviceContext mPaintDC = 0;

protected:
  // Its own device context, as the OpenGL view asks for one.
  void CreateParams(TCreateParams& Params) override {
    TCustomControl::CreateParams(Params);
    Params.mWindowClassStyle = (Params.mWindowClassStyle | csOwnDC) & ~uint32_t{csParentDC};
  }
  void WMCreate() override {
    mWindow = Handle();
    gLog.push_back(mName + " create" + (gSystem->State(mWindow).mExists ? "" : " (no window)"));
  }
  void WMSize() override {
    ++mSizes;
    gLog.push_back(mName + " size " + std::to_string(Width()) + "x" + std::to_string(Height()));
  }
  void WMDestroy() override {
    gLog.push_back(mName + " destroy" + (gSystem->State(mWindow).mExists ? "" : " (no window)"));
  }
  bool WMEraseBkgnd() override { return true; }
  void Paint() override {
    mPaintDC = Canvas().Handle();
    ++mPaints;
  }
};

// The form every case uses: 320 x 240, a client-aligned view and a free panel at (10, 10).
class TContractForm : public TForm {
public:
  explicit TContractForm(TComponent* ParaOwner) : TForm(ParaOwner) {
    mView = new TContractControl(this, "view");
    mPanel = new TContractControl(this, "panel");
    mEvents = new TApplicationEvents(this);
    SetCaption("Contract form");
    SetClientWidth(320);
    SetClientHeight(240);
    mView->SetParent(this);
    mView->SetAlign(alClient);
    mPanel->SetBounds(10, 10, 100, 80);
    mPanel->SetParent(this);
    mEvents->SetOnMessage([this](TMsg& Msg, bool&) { mOnTurn(&Msg); });
    mEvents->SetOnIdle([this](TObject*, bool& Done) {
      Done = false;
      mOnTurn(nullptr);
    });
  }

  TContractControl* mView;
  TContractControl* mPanel;
  TApplicationEvents* mEvents;
  TWindowHandle mWindow = 0;
  int mSizes = 0;
  std::function<void(TMsg*)> mOnTurn = [](TMsg*) {};

protected:
  void WMCreate() override { mWindow = Handle(); }
  void WMSize() override { ++mSizes; }
  void WMDestroy() override {
    gLog.push_back(std::string("form destroy") +
                   (gSystem->State(mWindow).mExists ? "" : " (no window)"));
  }
};

// One case's checks; its line shows every one that failed.
class TCase {
public:
  bool Check(bool ParaCondition, const std::string& ParaWhat) {
    if (!ParaCondition) {
      mFailures.push_back(ParaWhat);
    }
    return ParaCondition;
  }
  std::vector<std::string> mFailures;
};

std::string Joined() {
  std::string text;
  for (const std::string& entry : gLog) {
    text += (text.empty() ? "" : ", ") + entry;
  }
  return text;
}

std::string Size(int32_t ParaWidth, int32_t ParaHeight) {
  return std::to_string(ParaWidth) + "x" + std::to_string(ParaHeight);
}

std::string Describe(const TContractWindowSystem::TWindowState& ParaState) {
  std::ostringstream text;
  text << (ParaState.mExists ? "" : "no window, ") << (ParaState.mVisible ? "" : "hidden, ")
       << ParaState.mLeft << "," << ParaState.mTop << " "
       << Size(ParaState.mWidth, ParaState.mHeight);
  return text.str();
}

bool SameRectangle(const TContractWindowSystem::TWindowState& ParaState, int32_t ParaLeft,
                   int32_t ParaTop, int32_t ParaWidth, int32_t ParaHeight) {
  return ParaState.mExists && ParaState.mLeft == ParaLeft && ParaState.mTop == ParaTop &&
         ParaState.mWidth == ParaWidth && ParaState.mHeight == ParaHeight;
}

// The application of one case: made, titled and given the form; freed at the end.
class TCaseApplication {
public:
  TCaseApplication() {
    gLog.clear();
    Application = new TApplication;
    Application->Initialize();
    Application->SetTitle("BackendContract");
    Application->CreateForm(mForm);
  }
  ~TCaseApplication() { Free(); }
  TCaseApplication(const TCaseApplication&) = delete;
  TCaseApplication& operator=(const TCaseApplication&) = delete;
  void Free() {
    delete Application;
    Application = nullptr;
  }
  TContractForm* mForm = nullptr;
};

// Runs the loop; ParaStep runs in every turn's hook (ParaMsg null on an idle turn) and
// answers true once the case has what it needs, which closes the form. A loop that runs past
// its bound is closed too and answers false.
enum TStep : uint8_t { stContinue, stClose };
bool RunLoop(TContractForm& ParaForm, const std::function<TStep(TMsg*)>& ParaStep) {
  constexpr int kMaxTurns = 20000;
  constexpr auto kMaxTime = std::chrono::seconds(20);
  const auto start = std::chrono::steady_clock::now();
  int turns = 0;
  bool closed = false;
  bool bounded = false;
  ParaForm.mOnTurn = [&](TMsg* Msg) {
    ++turns;
    if (closed) {
      return;
    }
    if (ParaStep(Msg) == stClose) {
      closed = true;
      ParaForm.Close();
    } else if (turns > kMaxTurns || std::chrono::steady_clock::now() - start > kMaxTime) {
      closed = bounded = true;
      ParaForm.Close();
    }
  };
  Application->Run();
  ParaForm.mOnTurn = [](TMsg*) {};
  return !bounded;
}

// Answers true on the idle turn that follows an idle turn in which the window system was
// settled: nothing the program caused so far is still on its way.
class TSettledLoop {
public:
  bool Settled(const TMsg* ParaMsg) {
    if (ParaMsg != nullptr) {
      mSettling = false;
      return false;
    }
    if (mSettling) {
      return true;
    }
    gSystem->Settle();
    mSettling = true;
    return false;
  }

private:
  bool mSettling = false;
};

// ---- The cases ----------------------------------------------------------------------------

void FormsAndControlsAreCreatedInOrder(TCase& c) {
  TCaseApplication app;
  TContractForm& form = *app.mForm;
  c.Check(form.HandleAllocated() && !form.mView->HandleAllocated(),
          "CreateForm makes the form's window and no control's");
  const auto hidden = gSystem->State(form.mWindow);
  c.Check(hidden.mExists && !hidden.mVisible && hidden.mWidth == 320 && hidden.mHeight == 240,
          "the form's window is hidden with the form's client size (" + Describe(hidden) + ")");
  form.Show();
  c.Check(gLog == std::vector<std::string>{"view create", "view size 320x240", "panel create",
                                           "panel size 100x80"},
          "Show creates each control's window, then delivers WMCreate and WMSize (" + Joined() +
              ")");
  c.Check(form.mSizes == 0, "a form gets no WMSize: its size is its client size");
  c.Check(form.mView->mPaints == 0 && form.mPanel->mPaints == 0, "Show paints nothing");
  gSystem->Settle();
  const auto shown = gSystem->State(form.mWindow);
  c.Check(shown.mVisible && shown.mWidth == 320 && shown.mHeight == 240,
          "the form is visible with its client size (" + Describe(shown) + ")");
  const auto view = gSystem->State(form.mView->mWindow);
  c.Check(view.mVisible && SameRectangle(view, 0, 0, 320, 240),
          "the aligned view fills the client area (" + Describe(view) + ")");
  const auto panel = gSystem->State(form.mPanel->mWindow);
  c.Check(panel.mVisible && SameRectangle(panel, 10, 10, 100, 80),
          "the panel's window has its bounds (" + Describe(panel) + ")");
  c.Check(shown.mCaption == "Contract form",
          "the caption is the window's title (" + shown.mCaption + ")");
  form.SetCaption("Contract form, renamed");
  gSystem->Settle();
  c.Check(gSystem->State(form.mWindow).mCaption == "Contract form, renamed",
          "a new caption reaches the window");
}

void AStoredClientSizeReachesTheWindowAndTheAlignedControl(TCase& c) {
  TCaseApplication app;
  TContractForm& form = *app.mForm;
  form.Show();
  const int sizes = form.mView->mSizes;
  form.SetClientWidth(360);
  form.SetClientHeight(250);
  c.Check(form.mView->Width() == 360 && form.mView->Height() == 250,
          "the aligned view follows at once (" + Size(form.mView->Width(), form.mView->Height()) +
              ")");
  c.Check(form.mView->mSizes > sizes, "the view's WMSize came before the setter returned");
  gSystem->Settle();
  const auto shown = gSystem->State(form.mWindow);
  c.Check(shown.mWidth == 360 && shown.mHeight == 250,
          "the form's client area has the stored size (" + Describe(shown) + ")");
  const auto view = gSystem->State(form.mView->mWindow);
  c.Check(SameRectangle(view, 0, 0, 360, 250),
          "the view's window follows (" + Describe(view) + ")");
}

void MovingAFormKeepsItsClientSize(TCase& c) {
  TCaseApplication app;
  TContractForm& form = *app.mForm;
  form.Show();
  c.Check(form.Width() == 320 && form.Height() == 240,
          "a form's Width and Height are its client size");
  form.SetBounds(20, 30, form.Width(), form.Height());
  gSystem->Settle();
  const auto moved = gSystem->State(form.mWindow);
  c.Check(SameRectangle(moved, 20, 30, 320, 240),
          "SetBounds(20, 30, Width(), Height()) moves the frame's corner and keeps the client "
          "size (" +
              Describe(moved) + ")");
  c.Check(form.ClientWidth() == 320 && form.mView->Width() == 320, "the client size stays");
  form.SetBounds(40, 50, 300, 200);
  gSystem->Settle();
  const auto sized = gSystem->State(form.mWindow);
  c.Check(SameRectangle(sized, 40, 50, 300, 200),
          "SetBounds with another size sizes the client area (" + Describe(sized) + ")");
  c.Check(form.mView->Width() == 300 && form.mView->Height() == 200,
          "the aligned view follows the new bounds");
}

void AControlIsSizedWithItsSizeNoticeInsideTheCall(TCase& c) {
  TCaseApplication app;
  TContractForm& form = *app.mForm;
  form.Show();
  TContractControl& panel = *form.mPanel;
  int sizes = panel.mSizes;
  panel.SetBounds(15, 12, 120, 90);
  c.Check(panel.mSizes == sizes + 1, "a size change delivers WMSize before SetBounds returns");
  gSystem->Settle();
  auto state = gSystem->State(panel.mWindow);
  c.Check(SameRectangle(state, 15, 12, 120, 90),
          "the window has the new bounds (" + Describe(state) + ")");
  sizes = panel.mSizes;
  panel.SetBounds(25, 22, 120, 90);
  c.Check(panel.mSizes == sizes, "a move alone delivers no WMSize");
  gSystem->Settle();
  state = gSystem->State(panel.mWindow);
  c.Check(SameRectangle(state, 25, 22, 120, 90), "the window moved (" + Describe(state) + ")");
}

void TheFirstPaintComesAfterTheLoopsFirstTurn(TCase& c) {
  TCaseApplication app;
  TContractForm& form = *app.mForm;
  int paintsAtFirstTurn = -1;
  TSettledLoop loop;
  c.Check(RunLoop(form,
                  [&](TMsg* Msg) {
                    if (paintsAtFirstTurn < 0) {
                      paintsAtFirstTurn = form.mView->mPaints;
                    }
                    return loop.Settled(Msg) && form.mView->mPaints > 0 ? stClose : stContinue;
                  }),
          "the loop settles with the view painted");
  c.Check(paintsAtFirstTurn == 0,
          "no paint before the first turn's hook (" + std::to_string(paintsAtFirstTurn) + ")");
  c.Check(form.mView->mPaints >= 1, "the loop paints the view without being asked");
}

void RepaintPaintsAtOnceEveryTime(TCase& c) {
  TCaseApplication app;
  TContractForm& form = *app.mForm;
  TSettledLoop loop;
  std::vector<int> added;
  bool ownDC = true;
  c.Check(RunLoop(form,
                  [&](TMsg* Msg) {
                    if (!loop.Settled(Msg)) {
                      return stContinue;
                    }
                    for (int k = 0; k < 3; ++k) {
                      const int before = form.mView->mPaints;
                      form.mView->Repaint();
                      added.push_back(form.mView->mPaints - before);
                      ownDC = ownDC && form.mView->mPaintDC == form.mView->GetDC();
                    }
                    return stClose;
                  }),
          "the loop settles");
  c.Check(added == std::vector<int>{1, 1, 1},
          "each of three Repaint calls paints once before it returns (" +
              std::to_string(added.size() > 1 ? added[1] : -1) + " for the second)");
  c.Check(ownDC, "the paint gets the window's own device context");
}

void PaintRequestsOfAWindowAreServedByOnePaint(TCase& c) {
  TCaseApplication app;
  TContractForm& form = *app.mForm;
  TContractControl& view = *form.mView;
  TSettledLoop loop;
  int phase = 0;
  int before = 0;
  std::vector<int> painted;
  c.Check(RunLoop(form,
                  [&](TMsg* Msg) {
                    if (!loop.Settled(Msg)) {
                      return stContinue;
                    }
                    if (phase > 0) {
                      painted.push_back(view.mPaints - before);
                    }
                    before = view.mPaints;
                    switch (phase++) {
                    case 0:
                      gSystem->ExposeFromOutside(view.mWindow, 5);
                      return stContinue;
                    case 1:
                      // A paint now covers what was asked for before it.
                      gSystem->ExposeFromOutside(view.mWindow, 3);
                      view.Repaint();
                      return stContinue;
                    default:
                      return stClose;
                    }
                  }),
          "the loop settles after each step");
  c.Check(painted.size() == 2 && painted[0] == 1,
          "five exposures, then one paint (" + std::to_string(painted.empty() ? -1 : painted[0]) +
              ")");
  c.Check(painted.size() == 2 && painted[1] == 1,
          "three exposures and a Repaint: the Repaint's paint alone (" +
              std::to_string(painted.size() < 2 ? -1 : painted[1]) + ")");
}

void AMessageBoxReturnsOnceAnsweredAndOtherWindowsKeepTheirPaints(TCase& c) {
  TCaseApplication app;
  TContractForm& form = *app.mForm;
  TSettledLoop loop;
  int hooks = 0;
  int hooksDuringBox = -1;
  TContractWindowSystem::TBoxSeen seen;
  c.Check(RunLoop(form,
                  [&](TMsg* Msg) {
                    ++hooks;
                    if (!loop.Settled(Msg)) {
                      return stContinue;
                    }
                    gSystem->AnswerNextBox(form.mView->mWindow, &form.mView->mPaints);
                    const int before = hooks;
                    ShowMessageBox("Contract box\nsecond line");
                    hooksDuringBox = hooks - before;
                    seen = gSystem->BoxAnswered();
                    return stClose;
                  }),
          "the loop settles");
  c.Check(seen.mSeen && seen.mText == "Contract box\nsecond line",
          "the box shows its text, line break included ('" + seen.mText + "')");
  c.Check(hooksDuringBox == 0, "no hook runs while the box is open");
  if (gSystem->BoxesAreWindows()) {
    c.Check(seen.mTitle == "BackendContract",
            "the box is titled with the application's title ('" + seen.mTitle + "')");
    c.Check(seen.mPaintedWhileOpen, "another window exposed meanwhile is painted meanwhile");
  }
}

void TheQuitRequestComesAfterTheMessagesQueuedBeforeIt(TCase& c) {
  TCaseApplication app;
  TContractForm& form = *app.mForm;
  TSettledLoop loop;
  bool asked = false;
  int foreignAfter = 0;
  c.Check(RunLoop(form,
                  [&](TMsg* Msg) {
                    if (asked) {
                      foreignAfter += Msg != nullptr && gSystem->IsForeignMessage(*Msg) ? 1 : 0;
                    } else if (loop.Settled(Msg)) {
                      gSystem->PostForeignMessages(form.mWindow, 3);
                      // Asked twice before it is taken: still one request.
                      Application->Terminate();
                      Application->Terminate();
                      asked = true;
                    }
                    return stContinue; // the quit request ends this loop
                  }),
          "the loop ends by the quit request");
  c.Check(foreignAfter == 3, "the three messages queued before the request still ran a turn (" +
                                 std::to_string(foreignAfter) + ")");
  int idleTurns = 0;
  RunLoop(form,
          [&](TMsg* Msg) { return Msg == nullptr && ++idleTurns == 3 ? stClose : stContinue; });
  c.Check(idleTurns == 3, "a second loop runs: the request asked for twice was taken once (" +
                              std::to_string(idleTurns) + " idle turns)");
}

void ASizeChangeFromOutsideReachesTheForm(TCase& c) {
  TCaseApplication app;
  TContractForm& form = *app.mForm;
  TSettledLoop loop;
  bool resized = false;
  int sizes = 0;
  c.Check(RunLoop(form,
                  [&](TMsg* Msg) {
                    if (!resized && loop.Settled(Msg)) {
                      sizes = form.mView->mSizes;
                      gSystem->ResizeFromOutside(form.mWindow, 410, 290);
                      resized = true;
                    }
                    return resized && form.ClientWidth() == 410 && form.ClientHeight() == 290
                               ? stClose
                               : stContinue;
                  }),
          "the form learns its new client size (" + Size(form.ClientWidth(), form.ClientHeight()) +
              ")");
  c.Check(form.mView->Width() == 410 && form.mView->Height() == 290 && form.mView->mSizes > sizes,
          "the aligned view follows with its WMSize");
  c.Check(form.mSizes == 0, "the form itself gets no WMSize");
}

void AFormDestroyedElsewhereEndsTheLoopInTheDestroyOrder(TCase& c) {
  TCaseApplication app;
  TContractForm& form = *app.mForm;
  TSettledLoop loop;
  bool destroyed = false;
  c.Check(RunLoop(form,
                  [&](TMsg* Msg) {
                    if (!destroyed && loop.Settled(Msg)) {
                      gLog.clear();
                      gSystem->DestroyFromOutside(form.mWindow);
                      destroyed = true;
                    }
                    return stContinue; // losing the main form ends the loop
                  }),
          "the loop ends once the form's window is gone");
  c.Check(!form.HandleAllocated() && !form.mView->HandleAllocated(), "the controls have no window");
  // The window system destroyed the windows first, so they may be gone by WMDestroy.
  c.Check(gLog.size() == 3 && gLog[0].rfind("form destroy", 0) == 0 &&
              gLog[1].rfind("view destroy", 0) == 0 && gLog[2].rfind("panel destroy", 0) == 0,
          "WMDestroy to the form, then its controls, once each (" + Joined() + ")");
  app.Free();
  c.Check(gLog.size() == 3, "freeing the application destroys nothing twice (" + Joined() + ")");
}

void FreeingTheApplicationDestroysTheWindowsWhileTheyExist(TCase& c) {
  TWindowHandle windows[3] = {};
  {
    TCaseApplication app;
    TContractForm& form = *app.mForm;
    form.Show();
    windows[0] = form.mWindow;
    windows[1] = form.mView->mWindow;
    windows[2] = form.mPanel->mWindow;
    gLog.clear();
    app.Free();
  }
  c.Check(gLog == std::vector<std::string>{"form destroy", "view destroy", "panel destroy"},
          "WMDestroy to the form, then its controls, each while its window exists (" + Joined() +
              ")");
  for (TWindowHandle window : windows) {
    c.Check(!gSystem->State(window).mExists, "no window is left once the application is freed");
  }
  // The backend can be set up again afterwards.
  TCaseApplication again;
  gSystem->Settle();
  c.Check(gSystem->State(again.mForm->mWindow).mExists, "a new application makes windows again");
}

} // namespace

namespace {

struct TNamedCase {
  const char* mName;
  void (*mRun)(TCase&);
};

const TNamedCase kCases[] = {
    {"forms_and_controls_are_created_in_order", FormsAndControlsAreCreatedInOrder},
    {"a_stored_client_size_reaches_the_window_and_the_aligned_control",
     AStoredClientSizeReachesTheWindowAndTheAlignedControl},
    {"moving_a_form_keeps_its_client_size", MovingAFormKeepsItsClientSize},
    {"a_control_is_sized_with_its_size_notice_inside_the_call",
     AControlIsSizedWithItsSizeNoticeInsideTheCall},
    {"the_first_paint_comes_after_the_loops_first_turn", TheFirstPaintComesAfterTheLoopsFirstTurn},
    {"repaint_paints_at_once_every_time", RepaintPaintsAtOnceEveryTime},
    {"paint_requests_of_a_window_are_served_by_one_paint",
     PaintRequestsOfAWindowAreServedByOnePaint},
    {"a_message_box_returns_once_answered_and_other_windows_keep_their_paints",
     AMessageBoxReturnsOnceAnsweredAndOtherWindowsKeepTheirPaints},
    {"the_quit_request_comes_after_the_messages_queued_before_it",
     TheQuitRequestComesAfterTheMessagesQueuedBeforeIt},
    {"a_size_change_from_outside_reaches_the_form", ASizeChangeFromOutsideReachesTheForm},
    {"a_form_destroyed_elsewhere_ends_the_loop_in_the_destroy_order",
     AFormDestroyedElsewhereEndsTheLoopInTheDestroyOrder},
    {"freeing_the_application_destroys_the_windows_while_they_exist",
     FreeingTheApplicationDestroysTheWindowsWhileTheyExist},
};

} // namespace

void TWindowedBoxesWindowSystem::AnswerNextBox(TWindowHandle ParaExpose,
                                               const std::atomic<int>* ParaPaints) {
  mBox = TBoxSeen{};
  mAnswerer = std::thread([this, ParaExpose, ParaPaints] { Answer(ParaExpose, ParaPaints); });
}

TContractWindowSystem::TBoxSeen TWindowedBoxesWindowSystem::BoxAnswered() {
  JoinAnswerer();
  return mBox;
}

void TWindowedBoxesWindowSystem::JoinAnswerer() {
  if (mAnswerer.joinable()) {
    mAnswerer.join();
  }
}

void TWindowedBoxesWindowSystem::Answer(TWindowHandle ParaExpose,
                                        const std::atomic<int>* ParaPaints) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  uintptr_t box = 0;
  while ((box = FindOpenBox()) == 0 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (box == 0) {
    return;
  }
  mBox.mSeen = true;
  ReadBox(box, mBox.mText, mBox.mTitle);
  if (ParaExpose != 0) {
    const int before = ParaPaints->load();
    ExposeWhileBoxOpen(ParaExpose);
    while (ParaPaints->load() == before && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    mBox.mPaintedWhileOpen = ParaPaints->load() > before;
  }
  AnswerOk(box);
}

std::vector<std::string> BackendContractCases() {
  std::vector<std::string> names;
  for (const TNamedCase& named : kCases) {
    names.emplace_back(named.mName);
  }
  return names;
}

namespace {

// A case whose loop cannot end (its quit request lost with a window, say) would hang the run;
// this ends the process instead, saying which case it was.
class TWatchdog {
public:
  TWatchdog()
      : mThread([this] {
          std::unique_lock<std::mutex> lock(mMutex);
          while (!mStop) {
            const char* watched = mCase;
            if (!mWake.wait_for(lock, std::chrono::seconds(90),
                                [&] { return mStop || mCase != watched; }) &&
                watched != nullptr) {
              std::printf("case %s FAIL did not end within 90 s\n", watched);
              std::fflush(stdout);
              std::_Exit(1);
            }
          }
        }) {}
  ~TWatchdog() {
    Watch(nullptr);
    {
      std::lock_guard<std::mutex> lock(mMutex);
      mStop = true;
    }
    mWake.notify_all();
    mThread.join();
  }
  TWatchdog(const TWatchdog&) = delete;
  TWatchdog& operator=(const TWatchdog&) = delete;
  void Watch(const char* ParaCase) {
    {
      std::lock_guard<std::mutex> lock(mMutex);
      mCase = ParaCase;
    }
    mWake.notify_all();
  }

private:
  std::mutex mMutex;
  std::condition_variable mWake;
  const char* mCase = nullptr;
  bool mStop = false;
  std::thread mThread;
};

} // namespace

int RunBackendContract(TContractWindowSystem& ParaSystem, const char* ParaBackend) {
  gSystem = &ParaSystem;
  int failed = 0;
  TWatchdog watchdog;
  for (const TNamedCase& named : kCases) {
    TCase result;
    watchdog.Watch(named.mName);
    named.mRun(result);
    if (result.mFailures.empty()) {
      std::printf("case %s ok\n", named.mName);
    } else {
      ++failed;
      std::printf("case %s FAIL %s", named.mName, result.mFailures.front().c_str());
      for (size_t i = 1; i < result.mFailures.size(); ++i) {
        std::printf("; %s", result.mFailures[i].c_str());
      }
      std::printf("\n");
    }
    std::fflush(stdout);
  }
  std::printf("contract %s: %zu cases, %d failed\n", ParaBackend, std::size(kCases), failed);
  std::fflush(stdout);
  gSystem = nullptr;
  return failed;
}
