// See world_state.h. The format is fixed: tests and other implementations compare it bit for bit.
#include "simulation/world_state.h"

#include <charconv>
#include <cstdio>

#include "runtime/random.h"
#include "simulation/Unit_TDisease.h"
#include "simulation/Unit_TField.h"
#include "simulation/Unit_TGame.h"
#include "simulation/Unit_THumanity.h"
#include "simulation/Unit_TPerson.h"

namespace {

// Room for one person's line: 13 fields of at most 24 characters each.
constexpr std::size_t kLineBytes = 512;
// Lines are gathered into chunks of this size before they reach the sink.
constexpr std::size_t kChunkBytes = 1 << 15;

template <typename TInteger> char* formatInteger(char* ParaOut, TInteger ParaValue) {
  return std::to_chars(ParaOut, ParaOut + 24, ParaValue).ptr;
}

char* formatFlag(char* ParaOut, bool ParaValue) {
  *ParaOut = ParaValue ? '1' : '0';
  return ParaOut + 1;
}

class TChunkedSink {
public:
  explicit TChunkedSink(TWorldStateSink& ParaSink) : mSink(ParaSink) {}
  ~TChunkedSink() { Drain(); }
  TChunkedSink(const TChunkedSink&) = delete;
  TChunkedSink& operator=(const TChunkedSink&) = delete;

  // Room for one line; Done says where it ended.
  char* Line() {
    if (mUsed + kLineBytes > sizeof mChunk) {
      Drain();
    }
    return mChunk + mUsed;
  }
  void Done(char* ParaEnd) { mUsed = static_cast<std::size_t>(ParaEnd - mChunk); }

private:
  void Drain() {
    if (mUsed > 0) {
      mSink.Write(std::string_view(mChunk, mUsed));
      mUsed = 0;
    }
  }

  TWorldStateSink& mSink;
  char mChunk[kChunkBytes];
  std::size_t mUsed = 0;
};

class TStringSink final : public TWorldStateSink {
public:
  void Write(std::string_view ParaText) override { mText.append(ParaText); }
  std::string mText;
};

} // namespace

char* FormatDouble17g(char* ParaOut, double ParaValue) {
  // The general format with a precision is defined as printf's %g with that precision.
  return std::to_chars(ParaOut, ParaOut + 24, ParaValue, std::chars_format::general, 17).ptr;
}

void WriteWorldState(int64_t ParaSteps, TWorldStateSink& ParaSink) {
  TChunkedSink sink(ParaSink);
  char* line = sink.Line();
  const int length = std::snprintf(
      line, kLineBytes,
      "state steps=%lld seed=%u person_count=%d persons=%zu disease_cycle=%d "
      "till=%d patient_zero=%d over=%d field=%dx%d\n",
      static_cast<long long>(ParaSteps), static_cast<unsigned>(RandSeed),
      static_cast<int>(PersonCount), Persons.size(), static_cast<int>(Disease->mCycle),
      static_cast<int>(Disease->mCycleTillPatientZero), Disease->mPatientZeroExists ? 1 : 0,
      Game->Over() ? 1 : 0, static_cast<int>(Field->Width()), static_cast<int>(Field->Height()));
  // Every field has a bounded width, so the line always fits.
  sink.Done(line + length);
  for (std::size_t i = 0; i < Persons.size(); ++i) {
    const TPerson& p = Persons[i];
    char* out = sink.Line();
    out = formatInteger(out, i);
    for (const double value : {p.mPositionX, p.mPositionY, p.mAngle, p.mSpeed}) {
      *out++ = ' ';
      out = FormatDouble17g(out, value);
    }
    *out++ = ' ';
    out = formatInteger(out, p.mSize);
    for (const bool flag : {p.mInfected, p.mQuarantined, p.mDead, p.mBuried}) {
      *out++ = ' ';
      out = formatFlag(out, flag);
    }
    for (const int32_t counter : {p.mCycle, p.mInfectionCycle, p.mDeadCycle}) {
      *out++ = ' ';
      out = formatInteger(out, counter);
    }
    *out++ = '\n';
    sink.Done(out);
  }
}

std::string WorldStateText(int64_t ParaSteps) {
  TStringSink sink;
  sink.mText.reserve(64 + Persons.size() * 96);
  WriteWorldState(ParaSteps, sink);
  return std::move(sink.mText);
}
