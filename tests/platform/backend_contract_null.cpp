// The backend contract on the null backend: the window system is the backend's own records,
// the user's doings are what null_toolkit.h lets a test queue. Boxes return at once here.
#include <cstdio>
#include <string>

#include "platform/null_toolkit.h"
#include "tests/platform/backend_contract.h"

namespace {

constexpr uint32_t kForeignMessage = 0x8042;

class TNullContractWindowSystem final : public TContractWindowSystem {
public:
  void Settle() override {}

  TWindowState State(TWindowHandle ParaWindow) override {
    const TNullWindowState state = NullWindowState(ParaWindow);
    return TWindowState{state.mExists, state.mVisible, state.mLeft,   state.mTop,
                        state.mWidth,  state.mHeight,  state.mCaption};
  }

  void ResizeFromOutside(TWindowHandle ParaForm, int32_t ParaWidth, int32_t ParaHeight) override {
    NullResizeFromOutside(ParaForm, ParaWidth, ParaHeight);
  }

  void ExposeFromOutside(TWindowHandle ParaWindow, int ParaTimes) override {
    for (int k = 0; k < ParaTimes; ++k) {
      NullExposeFromOutside(ParaWindow);
    }
  }

  void PostForeignMessages(TWindowHandle ParaWindow, int ParaCount) override {
    for (int k = 0; k < ParaCount; ++k) {
      NullQueueMessage(ParaWindow, kForeignMessage);
    }
  }

  bool IsForeignMessage(const TMsg& ParaMsg) override {
    return ParaMsg.mMessage == kForeignMessage;
  }

  void DestroyFromOutside(TWindowHandle ParaForm) override { NullDestroyFromOutside(ParaForm); }

  void AnswerNextBox(TWindowHandle /*ParaExpose*/,
                     const std::atomic<int>* /*ParaPaints*/) override {
    mJournalMark = NullJournal().size();
  }

  TBoxSeen BoxAnswered() override {
    TBoxSeen seen;
    const auto& journal = NullJournal();
    for (size_t i = mJournalMark; i < journal.size(); ++i) {
      if (journal[i].rfind("box ", 0) == 0) {
        seen.mSeen = true;
        seen.mText = journal[i].substr(4);
      }
    }
    return seen;
  }

  bool BoxesAreWindows() const override { return false; }

private:
  size_t mJournalMark = 0;
};

} // namespace

int main() {
  TNullContractWindowSystem system;
  return RunBackendContract(system, "null") == 0 ? 0 : 1;
}
