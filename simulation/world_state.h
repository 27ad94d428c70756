// The world as text: a state line and one line per person, index ascending, with every double
// written to 17 significant digits. The headless driver prints it and the game's trace build
// dumps it, so two runs can be compared byte for byte. Written line by line to a sink, so a
// population of millions never needs its whole text in memory at once.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Where the text goes, a few kilobytes at a time.
class TWorldStateSink {
public:
  virtual void Write(std::string_view ParaText) = 0;

protected:
  ~TWorldStateSink() = default;
};

// The state after ParaSteps steps of the world that ProgramCreate made (it must exist).
void WriteWorldState(int64_t ParaSteps, TWorldStateSink& ParaSink);
std::string WorldStateText(int64_t ParaSteps);

// %.17g's text of ParaValue (what printf writes in the "C" locale), at most 24 characters
// from ParaOut on; returns the end. Without printf's cost, which dominated large state blocks.
char* FormatDouble17g(char* ParaOut, double ParaValue);
