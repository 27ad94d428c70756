// The error types the program raises itself. Every one of them reaches the error box of the
// event loop with its text; none is caught to recover.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

// A violated precondition, reported for the source unit and line that checks it.
class EAssertionFailed : public std::runtime_error {
public:
  EAssertionFailed(const std::string& ParaMessage, const std::string& ParaUnit, int32_t ParaLine);

  const std::string& Message() const { return mMessage; }
  const std::string& Unit() const { return mUnit; }
  int32_t Line() const { return mLine; }

private:
  std::string mMessage;
  std::string mUnit;
  int32_t mLine;
};

// Arithmetic that would yield an infinity, a NaN or a value outside its integer type. We never
// unmask the hardware traps (they would fire inside OpenGL drivers); the program's own
// arithmetic checks its results instead and raises this.
class EFloatError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};
