// The progress line of long runs and sweeps: on standard error, only when it is a terminal,
// redrawn in place a few times a second and erased at the end, so a pipe or a file never
// sees it. A run shorter than half a second shows nothing.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

class TProgress {
public:
  // ParaUnit names what is counted ("steps", "seeds"); ParaTotal is how many there will be.
  TProgress(bool ParaShown, const char* ParaUnit, int64_t ParaTotal);
  ~TProgress() { End(); }
  TProgress(const TProgress&) = delete;
  TProgress& operator=(const TProgress&) = delete;

  // ParaDone of the total are done; cheap enough to call every step.
  void Update(int64_t ParaDone) {
    if (mShown && (++mCalls & 15) == 0) {
      Draw(ParaDone);
    }
  }
  // Draws at once if it is time (for callers that rarely call).
  void UpdateNow(int64_t ParaDone) {
    if (mShown) {
      Draw(ParaDone);
    }
  }
  // Erases the line, if one was drawn.
  void End();

  // The text of the line: "seeds 120/1000 (12%), 35.2 seeds/s, 25 s left".
  static std::string Text(const char* ParaUnit, int64_t ParaDone, int64_t ParaTotal,
                          double ParaSeconds);

private:
  void Draw(int64_t ParaDone);

  bool mShown;
  const char* mUnit;
  int64_t mTotal;
  std::chrono::steady_clock::time_point mStart;
  std::chrono::steady_clock::time_point mNext;
  unsigned mCalls = 0;
  bool mDrawn = false;
};
