// See trace_options.h.
#include "program/trace_options.h"

#include <limits>
#include <stdexcept>

#include "runtime/one_line_text.h"
#include "runtime/whole_number.h"

namespace {

constexpr const char* kUsage = "usage: --seed S --cycles N --dump FILE [--events FILE]";

} // namespace

TTraceOptions ParseTraceOptions(const std::vector<std::string>& ParaArguments) {
  TTraceOptions options;
  bool seed = false;
  bool cycles = false;
  bool dump = false;
  bool events = false;
  for (std::size_t i = 0; i < ParaArguments.size(); i += 2) {
    // Arguments reach the fatal-error report: a line break in one must not split it.
    const std::string name = EscapeForOneLine(ParaArguments[i]);
    if (name != "--seed" && name != "--cycles" && name != "--dump" && name != "--events") {
      throw std::invalid_argument("unknown argument " + name + " (" + kUsage + ")");
    }
    if (i + 1 >= ParaArguments.size()) {
      throw std::invalid_argument(name + " needs a value");
    }
    const std::string& value = ParaArguments[i + 1];
    bool& given = name == "--seed"     ? seed
                  : name == "--cycles" ? cycles
                  : name == "--dump"   ? dump
                                       : events;
    if (given) {
      throw std::invalid_argument(name + " is given twice");
    }
    given = true;
    if (name == "--seed") {
      if (!ParseWholeNumber(value, uint32_t{0}, std::numeric_limits<uint32_t>::max(),
                            options.mSeed)) {
        throw std::invalid_argument("--seed needs a whole number 0..4294967295, not " +
                                    EscapeForOneLine(value));
      }
    } else if (name == "--cycles") {
      if (!ParseWholeNumber(value, int64_t{1}, std::numeric_limits<int64_t>::max(),
                            options.mCycles)) {
        throw std::invalid_argument("--cycles needs a whole number of at least 1, not " +
                                    EscapeForOneLine(value));
      }
    } else {
      if (value.empty()) {
        throw std::invalid_argument(name + " needs a file name");
      }
      (name == "--dump" ? options.mDump : options.mEvents) = value;
    }
  }
  if (!seed || !cycles || !dump) {
    throw std::invalid_argument(kUsage);
  }
  return options;
}
