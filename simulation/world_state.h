// The world as text: a state line and one line per person, index ascending, with every double
// written to 17 significant digits. The headless driver prints it and the game's trace build
// dumps it, so two runs can be compared byte for byte.
#pragma once

#include <cstdint>
#include <string>

// The state after ParaSteps steps of the world that ProgramCreate made (it must exist).
std::string WorldStateText(int64_t ParaSteps);
