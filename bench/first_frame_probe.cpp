// Preloaded into the game by bench/startup_time.py: at the end of the game's first buffer swap,
// once the X server has the frame, it writes the monotonic clock, the process's CPU time and
// how often the game fetched the framebuffer configurations to $VANTREL_FIRST_FRAME_FILE, and
// ends the process at once. Forwards every call to the real function.
#include <X11/Xlib.h>
#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#define PROBE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

int gConfigFetches = 0;

long long Nanoseconds(clockid_t ParaClock) {
  timespec now{};
  clock_gettime(ParaClock, &now);
  return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

} // namespace

PROBE_EXPORT void** glXGetFBConfigs(Display* ParaDisplay, int ParaScreen, int* ParaCount) {
  ++gConfigFetches;
  static const auto real =
      reinterpret_cast<void** (*)(Display*, int, int*)>(dlsym(RTLD_NEXT, "glXGetFBConfigs"));
  return real(ParaDisplay, ParaScreen, ParaCount);
}

PROBE_EXPORT void glXSwapBuffers(Display* ParaDisplay, unsigned long ParaDrawable) {
  static const auto real =
      reinterpret_cast<void (*)(Display*, unsigned long)>(dlsym(RTLD_NEXT, "glXSwapBuffers"));
  real(ParaDisplay, ParaDrawable);
  XSync(ParaDisplay, False);
  const long long wall = Nanoseconds(CLOCK_MONOTONIC);
  const long long cpu = Nanoseconds(CLOCK_PROCESS_CPUTIME_ID);
  if (const char* path = std::getenv("VANTREL_FIRST_FRAME_FILE")) {
    if (FILE* file = std::fopen(path, "w")) {
      std::fprintf(file, "%lld %lld %d\n", wall, cpu, gConfigFetches);
      std::fclose(file);
    }
  }
  _exit(0);
}
