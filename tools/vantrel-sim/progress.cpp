// The progress line; see progress.h.
#include "tools/vantrel-sim/progress.h"

#include <cstdio>

namespace {

constexpr auto kFirstAfter = std::chrono::milliseconds(500);
constexpr auto kEvery = std::chrono::milliseconds(250);

} // namespace

TProgress::TProgress(bool ParaShown, const char* ParaUnit, int64_t ParaTotal)
    : mShown(ParaShown), mUnit(ParaUnit), mTotal(ParaTotal),
      mStart(std::chrono::steady_clock::now()), mNext(mStart + kFirstAfter) {}

std::string TProgress::Text(const char* ParaUnit, int64_t ParaDone, int64_t ParaTotal,
                            double ParaSeconds) {
  char text[160];
  const double rate = ParaSeconds > 0 ? static_cast<double>(ParaDone) / ParaSeconds : 0;
  const double percent =
      ParaTotal > 0 ? 100.0 * static_cast<double>(ParaDone) / static_cast<double>(ParaTotal) : 100;
  int length = std::snprintf(text, sizeof text, "vantrel-sim: %s %lld/%lld (%.0f%%), %.1f %s/s",
                             ParaUnit, static_cast<long long>(ParaDone),
                             static_cast<long long>(ParaTotal), percent, rate, ParaUnit);
  if (rate > 0 && length > 0 && static_cast<std::size_t>(length) < sizeof text) {
    const double left = static_cast<double>(ParaTotal - ParaDone) / rate;
    std::snprintf(text + length, sizeof text - static_cast<std::size_t>(length), ", %.0f s left",
                  left);
  }
  return text;
}

void TProgress::Draw(int64_t ParaDone) {
  const auto now = std::chrono::steady_clock::now();
  if (now < mNext) {
    return;
  }
  mNext = now + kEvery;
  const double seconds = std::chrono::duration<double>(now - mStart).count();
  // Back to the line's start, the text, the rest of the line cleared.
  std::fprintf(stderr, "\r%s\033[K", Text(mUnit, ParaDone, mTotal, seconds).c_str());
  std::fflush(stderr);
  mDrawn = true;
}

void TProgress::End() {
  if (mDrawn) {
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
    mDrawn = false;
  }
}
