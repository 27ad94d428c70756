// Frame time of the scene drawing on a real GLX context (Mesa's software rasteriser, under
// Xvfb): ProgramDraw against a bare loop that issues exactly the same OpenGL calls from plain
// arrays, so the difference is our code's share of a frame. Pairs with bench/run_draw.sh,
// which starts the display and prints the table; the simulation cycle is left to
// spreading_bench.cpp.
#include <benchmark/benchmark.h>

#include <GL/glx.h>
#include <X11/Xlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "opengl/opengl_api_recording_table.h"
#include "opengl/opengl_routine_units.h"
#include "opengl/unit_opengl_api_110_routines_version_011.h"
#include "opengl/unit_opengl_api_windows_core_routines_version_011.h"
#include "platform/platform_module.h"
#include "runtime/numbers.h"
#include "runtime/random.h"
#include "simulation/Unit_THumanity.h"
#include "simulation/Unit_TPerson.h"
#include "simulation/Unit_TProgram.h"

namespace {

using GL = TOpenGLAPIVersion110;

// The game's first client area.
constexpr int32_t kWidth = 792;
constexpr int32_t kHeight = 673;

// How a measured frame ends. Finish waits for the rasteriser and presents nothing, so the
// frame is drawing alone; Swap is the game's own ending (glFlush, then the buffer swap, which
// on Xvfb also copies the picture to the server).
enum class TEnding : uint8_t { e_finish, e_swap };

// Who issues the drawing calls.
enum class TDrawer : uint8_t { d_program, d_bare };

// The window and context every benchmark draws into; one per run.
struct TWindowGlx {
  Display* mDisplay = nullptr;
  Window mWindow = 0;
  GLXContext mContext = nullptr;
};

TWindowGlx WindowGlx;

[[noreturn]] void Fail(const std::string& ParaText) {
  std::fprintf(stderr, "draw_bench: %s\n", ParaText.c_str());
  std::exit(1);
}

// The entry points of the bare loop, looked up in the library on their own, not through the
// groups' variables.
struct TBareGL {
  void(VANTREL_APIENTRY* mClearColor)(GLfloat, GLfloat, GLfloat, GLfloat) = nullptr;
  void(VANTREL_APIENTRY* mClear)(GLbitfield) = nullptr;
  void(VANTREL_APIENTRY* mBegin)(GLenum) = nullptr;
  void(VANTREL_APIENTRY* mEnd)() = nullptr;
  void(VANTREL_APIENTRY* mColor3f)(GLfloat, GLfloat, GLfloat) = nullptr;
  void(VANTREL_APIENTRY* mVertex2f)(GLfloat, GLfloat) = nullptr;
};

template <typename TFunction> void LookUpBare(TFunction& ParaVariable, const char* ParaName) {
  const TModuleProc proc = PlatformModuleSymbol(TOpenGLAPILibrary::mLibraryHandle, ParaName);
  if (proc == nullptr) {
    Fail(std::string("missing entry point ") + ParaName);
  }
  ParaVariable = reinterpret_cast<TFunction>(proc);
}

TBareGL LookUpBareGL() {
  TBareGL gl;
  LookUpBare(gl.mClearColor, "glClearColor");
  LookUpBare(gl.mClear, "glClear");
  LookUpBare(gl.mBegin, "glBegin");
  LookUpBare(gl.mEnd, "glEnd");
  LookUpBare(gl.mColor3f, "glColor3f");
  LookUpBare(gl.mVertex2f, "glVertex2f");
  return gl;
}

TBareGL BareGL;

// One frame's calls as plain data: per primitive its mode and how many colours and vertices
// follow, in the order they are issued.
struct TBarePrimitive {
  GLenum mMode;
  uint32_t mColourCount;
  uint32_t mVertexCount;
};

struct TBareFrame {
  std::vector<TBarePrimitive> mPrimitives;
  std::vector<GLfloat> mColours;  // three per colour call
  std::vector<GLfloat> mVertices; // two per vertex call
};

// The calls of the person drawing for the population as it is now, written out from the
// drawing rules independently of TPerson::Draw; CheckLikeForLike holds the two together.
TBareFrame BuildBareFrame() {
  TBareFrame frame;
  const auto colour = [&](float ParaRed, float ParaGreen, float ParaBlue) {
    frame.mColours.insert(frame.mColours.end(), {ParaRed, ParaGreen, ParaBlue});
  };
  const auto vertex = [&](double ParaX, double ParaY) {
    frame.mVertices.insert(frame.mVertices.end(),
                           {static_cast<float>(ParaX), static_cast<float>(ParaY)});
  };
  for (const TPerson& person : Persons) {
    const double x = person.mPositionX;
    const double y = person.mPositionY;
    const double s = person.mSize;
    if (!person.mDead) {
      uint32_t colours = 1;
      colour(1.0f, 1.0f, 1.0f);
      if (person.mInfected) {
        colour(1.0f, 0.0f, 0.0f);
        ++colours;
      }
      if (person.mQuarantined) {
        colour(0.0f, 0.0f, 1.0f);
        ++colours;
      }
      if (person.mInfected && person.mQuarantined) {
        colour(0.0f, 1.0f, 0.0f);
        ++colours;
      }
      vertex(x - s, y - s);
      vertex(x + s, y - s);
      vertex(x + s, y + s);
      vertex(x - s, y + s);
      frame.mPrimitives.push_back({GL_QUADS, colours, 4});
    } else if (!person.mBuried) {
      colour(0.8f, 0.8f, 0.8f);
      vertex(x - s, y);
      vertex(x + s, y);
      vertex(x, y - s);
      vertex(x, y + WrapMul(person.mSize, 3));
      frame.mPrimitives.push_back({GL_LINES, 1, 4});
    } else {
      colour(static_cast<float>(136.0 / 255.0), static_cast<float>(96.0 / 255.0),
             static_cast<float>(11.0 / 255.0));
      vertex(x, y);
      frame.mPrimitives.push_back({GL_POINTS, 1, 1});
    }
  }
  return frame;
}

void DrawBareFrame(const TBareGL& ParaGL, const TBareFrame& ParaFrame) {
  ParaGL.mClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  ParaGL.mClear(GL_COLOR_BUFFER_BIT);
  const GLfloat* colour = ParaFrame.mColours.data();
  const GLfloat* vertex = ParaFrame.mVertices.data();
  for (const TBarePrimitive& primitive : ParaFrame.mPrimitives) {
    ParaGL.mBegin(primitive.mMode);
    for (uint32_t i = 0; i < primitive.mColourCount; ++i, colour += 3) {
      ParaGL.mColor3f(colour[0], colour[1], colour[2]);
    }
    for (uint32_t i = 0; i < primitive.mVertexCount; ++i, vertex += 2) {
      ParaGL.mVertex2f(vertex[0], vertex[1]);
    }
    ParaGL.mEnd();
  }
}

// Which persons a measured world holds.
enum class TMix : uint8_t {
  // Of every 20 persons by index: 14 healthy and free, 2 infected, 1 quarantined, 1 infected
  // and quarantined, 1 dead and 1 buried; every form of the drawing in one frame.
  m_every_form,
  // A level as the game shows it in an outbreak: everyone alive and free, as the level's start
  // scattered them, every second one infected (the spreading benchmark's outbreak).
  m_level,
};

// A world of ParaPersons persons scattered over the game's field (positions are random, so
// states taken by index are spread over the field).
void CreateWorld(int32_t ParaPersons, TMix ParaMix) {
  RandSeed = 20261209;
  PersonCount = ParaPersons;
  ProgramCreate();
  ProgramSetFieldSize(kWidth, kHeight);
  for (std::size_t i = 0; i < Persons.size(); ++i) {
    TPerson& person = Persons[i];
    if (ParaMix == TMix::m_level) {
      person.mInfected = i % 2 == 1;
      continue;
    }
    switch (i % 20) {
    case 14:
    case 15:
      person.mInfected = true;
      break;
    case 16:
      person.mQuarantined = true;
      break;
    case 17:
      person.mInfected = true;
      person.mQuarantined = true;
      break;
    case 18:
      person.mInfected = true;
      person.mDead = true;
      break;
    case 19:
      person.mInfected = true;
      person.mDead = true;
      person.mBuried = true;
      break;
    default:
      break;
    }
  }
}

// The population of level ParaLevel (the first has 100), grown as the game grows it.
int32_t LevelPopulation(int32_t ParaLevel) {
  int32_t persons = 100;
  for (int32_t level = 1; level < ParaLevel; ++level) {
    persons = RoundHalfEven(persons * 1.2);
  }
  return persons;
}

void CheckLikeForLike(int32_t ParaPersons, TMix ParaMix) {
  CreateWorld(ParaPersons, ParaMix);
  const TBareFrame frame = BuildBareFrame();
  // Every call both drawers make, with its arguments, to prove the comparison like for like.
  std::vector<std::string> program;
  std::vector<std::string> bare;
  {
    TRecordingOpenGLTable recording(program);
    ProgramDraw();
  }
  {
    TRecordingOpenGLTable recording(bare);
    DrawBareFrame(TBareGL{GL::glClearColor, GL::glClear, GL::glBegin, GL::glEnd, GL::glColor3f,
                          GL::glVertex2f},
                  frame);
  }
  if (bare != program) {
    Fail("the bare loop's calls differ from ProgramDraw's at " + std::to_string(ParaPersons) +
         " persons");
  }
  ProgramDestroy();
}

// Opens the game's window size with a double-buffered configuration, and creates and makes
// current a context through the core group, as the view control does.
void OpenWindowGlx() {
  // NOTE: Mesa reads this at the display's first GLX use; the game asks for the same.
  setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
  if (!TOpenGLAPILibrary::LoadLibrary()) {
    Fail("cannot load libGL.so.1");
  }
  RegisterOpenGLRoutineUnits();
  if (!GL::Initialize()) {
    Fail("the OpenGL 1.1 group is incomplete");
  }
  BareGL = LookUpBareGL();

  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    Fail("needs an X display (run it through bench/run_draw.sh)");
  }
  const int attributes[] = {GLX_X_RENDERABLE,
                            True,
                            GLX_DRAWABLE_TYPE,
                            GLX_WINDOW_BIT,
                            GLX_RENDER_TYPE,
                            GLX_RGBA_BIT,
                            GLX_X_VISUAL_TYPE,
                            GLX_TRUE_COLOR,
                            GLX_DOUBLEBUFFER,
                            True,
                            None};
  int count = 0;
  GLXFBConfig* configs = glXChooseFBConfig(display, DefaultScreen(display), attributes, &count);
  if (configs == nullptr || count == 0) {
    Fail("no double-buffered TrueColor framebuffer configuration");
  }
  const GLXFBConfig config = configs[0];
  XFree(configs);
  XVisualInfo* visual = glXGetVisualFromFBConfig(display, config);
  if (visual == nullptr) {
    Fail("the configuration has no visual");
  }
  const Window root = RootWindow(display, visual->screen);
  XSetWindowAttributes windowAttributes = {};
  windowAttributes.colormap = XCreateColormap(display, root, visual->visual, AllocNone);
  windowAttributes.event_mask = StructureNotifyMask;
  const Window window =
      XCreateWindow(display, root, 0, 0, kWidth, kHeight, 0, visual->depth, InputOutput,
                    visual->visual, CWColormap | CWEventMask, &windowAttributes);
  XFree(visual);
  XMapWindow(display, window);
  for (XEvent event; XNextEvent(display, &event), event.type != MapNotify;) {
  }

  GLXContext context =
      TOpenGLAPIWindowsCore::glXCreateNewContext(display, config, GLX_RGBA_TYPE, nullptr, True);
  if (context == nullptr || !TOpenGLAPIWindowsCore::glXMakeCurrent(display, window, context)) {
    Fail("cannot create or make current a context");
  }
  WindowGlx = {display, window, context};

  // The paint cycle's set-up after a size change.
  GL::glViewport(0, 0, kWidth, kHeight);
  GL::glMatrixMode(GL_PROJECTION);
  GL::glLoadIdentity();
  GL::glOrtho(0.0, kWidth, kHeight, 0.0, -1.0, 1.0);
  GL::glMatrixMode(GL_MODELVIEW);
  GL::glLoadIdentity();
}

void CloseWindowGlx() {
  TOpenGLAPIWindowsCore::glXMakeCurrent(WindowGlx.mDisplay, None, nullptr);
  TOpenGLAPIWindowsCore::glXDestroyContext(WindowGlx.mDisplay, WindowGlx.mContext);
  XDestroyWindow(WindowGlx.mDisplay, WindowGlx.mWindow);
  XCloseDisplay(WindowGlx.mDisplay);
  TOpenGLAPILibrary::UnloadLibrary();
}

struct TClocks {
  double mCpuMs;  // the whole process: Mesa's rasteriser threads do part of every frame
  double mWallMs; // disturbed by whatever else runs on the machine
};

TClocks ReadClocks() {
  timespec cpu{};
  timespec wall{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
  clock_gettime(CLOCK_MONOTONIC, &wall);
  return {cpu.tv_sec * 1e3 + cpu.tv_nsec / 1e6, wall.tv_sec * 1e3 + wall.tv_nsec / 1e6};
}

// One frame as the paint cycle makes it, drawn by ParaDrawer; answers what it cost.
TClocks DrawFrame(TDrawer ParaDrawer, TEnding ParaEnding, const TBareFrame& ParaFrame) {
  const TClocks start = ReadClocks();
  GL::glDrawBuffer(GL_BACK);
  if (ParaDrawer == TDrawer::d_program) {
    ProgramDraw();
  } else {
    DrawBareFrame(BareGL, ParaFrame);
  }
  if (ParaEnding == TEnding::e_finish) {
    GL::glFinish();
  } else {
    GL::glFlush();
    glXSwapBuffers(WindowGlx.mDisplay, WindowGlx.mWindow);
  }
  const TClocks end = ReadClocks();
  return {end.mCpuMs - start.mCpuMs, end.mWallMs - start.mWallMs};
}

// Each iteration draws one frame with ProgramDraw and one with the bare loop, in alternating
// order, so both halves meet the same load from other work on the machine and neither always
// finds the other's leftovers in the caches.
void DrawFramePairs(benchmark::State& ParaState, TEnding ParaEnding, int32_t ParaPersons,
                    TMix ParaMix) {
  CreateWorld(ParaPersons, ParaMix);
  const TBareFrame frame = BuildBareFrame();
  TClocks program{0, 0};
  TClocks bare{0, 0};
  bool programFirst = true;
  for (auto _ : ParaState) {
    for (const TDrawer drawer : {programFirst ? TDrawer::d_program : TDrawer::d_bare,
                                 programFirst ? TDrawer::d_bare : TDrawer::d_program}) {
      const TClocks cost = DrawFrame(drawer, ParaEnding, frame);
      TClocks& sum = drawer == TDrawer::d_program ? program : bare;
      sum.mCpuMs += cost.mCpuMs;
      sum.mWallMs += cost.mWallMs;
    }
    programFirst = !programFirst;
  }
  const auto perFrame = [](double ParaSum) {
    return benchmark::Counter(ParaSum, benchmark::Counter::kAvgIterations);
  };
  ParaState.counters["program_cpu_ms"] = perFrame(program.mCpuMs);
  ParaState.counters["bare_cpu_ms"] = perFrame(bare.mCpuMs);
  ParaState.counters["program_wall_ms"] = perFrame(program.mWallMs);
  ParaState.counters["bare_wall_ms"] = perFrame(bare.mWallMs);
  ParaState.counters["share_pct"] = 100.0 * (program.mCpuMs - bare.mCpuMs) / bare.mCpuMs;
  ProgramDestroy();
}

// A turn of the game's loop at a real level, without the throttle's wait: one simulation cycle,
// then the frame as the paint cycle makes it. The world moves on from turn to turn (the
// outbreak spreads; nobody dies within the few hundred turns measured).
void GameSteps(benchmark::State& ParaState, int32_t ParaPersons) {
  CreateWorld(ParaPersons, TMix::m_level);
  ProgramStartup();
  const TBareFrame unused;
  TClocks sum{0, 0};
  // The quickest turn: on a machine busy with other work it is the nearest to what an idle one
  // takes, the frame rate's bound.
  double bestWallMs = 0.0;
  for (auto _ : ParaState) {
    const TClocks start = ReadClocks();
    ProgramSimulationCycle();
    DrawFrame(TDrawer::d_program, TEnding::e_swap, unused);
    const TClocks end = ReadClocks();
    sum.mCpuMs += end.mCpuMs - start.mCpuMs;
    const double wall = end.mWallMs - start.mWallMs;
    sum.mWallMs += wall;
    if (bestWallMs == 0.0 || wall < bestWallMs) {
      bestWallMs = wall;
    }
  }
  const auto perStep = [](double ParaSum) {
    return benchmark::Counter(ParaSum, benchmark::Counter::kAvgIterations);
  };
  ParaState.counters["step_cpu_ms"] = perStep(sum.mCpuMs);
  ParaState.counters["step_wall_ms"] = perStep(sum.mWallMs);
  ParaState.counters["step_best_wall_ms"] = bestWallMs;
  ProgramDestroy();
}

// Names: finish/<persons> and swap/<persons> for every form of the drawing; level/<n>/<persons>
// for a turn of the game's loop at level n in an outbreak.
void Register(TEnding ParaEnding, int32_t ParaPersons, TMix ParaMix, int32_t ParaLevel = 0) {
  const std::string name =
      ParaMix == TMix::m_level
          ? "level/" + std::to_string(ParaLevel) + "/" + std::to_string(ParaPersons)
          : std::string(ParaEnding == TEnding::e_finish ? "finish" : "swap") + "/" +
                std::to_string(ParaPersons);
  benchmark::RegisterBenchmark(name.c_str(),
                               [=](benchmark::State& state) {
                                 if (ParaMix == TMix::m_level) {
                                   GameSteps(state, ParaPersons);
                                 } else {
                                   DrawFramePairs(state, ParaEnding, ParaPersons, ParaMix);
                                 }
                               })
      ->MeasureProcessCPUTime()
      ->Unit(benchmark::kMillisecond);
}

} // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    return 1;
  }
  OpenWindowGlx();
  const int32_t populations[] = {1074, 5000, 20000};
  for (const int32_t persons : populations) {
    CheckLikeForLike(persons, TMix::m_every_form);
    Register(TEnding::e_finish, persons, TMix::m_every_form);
    Register(TEnding::e_swap, persons, TMix::m_every_form);
  }
  // Around the level where a frame passes 1/60 s on Mesa's software rasteriser.
  for (int32_t level = 22; level <= 31; ++level) {
    const int32_t persons = LevelPopulation(level);
    Register(TEnding::e_swap, persons, TMix::m_level, level);
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  CloseWindowGlx();
  return 0;
}
