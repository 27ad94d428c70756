// Error types; see errors.h.
#include "runtime/errors.h"

EAssertionFailed::EAssertionFailed(const std::string& ParaMessage, const std::string& ParaUnit,
                                   int32_t ParaLine)
    : std::runtime_error(ParaMessage + " (" + ParaUnit + ", line " + std::to_string(ParaLine) +
                         ")"),
      mMessage(ParaMessage), mUnit(ParaUnit), mLine(ParaLine) {}
