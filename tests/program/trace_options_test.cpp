// The trace build's command line: exactly --seed, --cycles and --dump, each once, and at most
// one --events, with values in range; anything else is refused with a one-line message that
// names the argument.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "program/trace_options.h"

namespace {

std::string RefusalOf(const std::vector<std::string>& ParaArguments) {
  try {
    ParseTraceOptions(ParaArguments);
  } catch (const std::invalid_argument& error) {
    return error.what();
  }
  return "";
}

TEST(TraceOptionsTest, TakesItsOptionsInAnyOrder) {
  const TTraceOptions options =
      ParseTraceOptions({"--dump", "/tmp/x", "--cycles", "1500", "--seed", "4294967295"});
  EXPECT_EQ(options.mSeed, 4294967295u);
  EXPECT_EQ(options.mCycles, 1500);
  EXPECT_EQ(options.mDump, "/tmp/x");
  EXPECT_EQ(options.mEvents, "");
  EXPECT_EQ(ParseTraceOptions({"--events", "e.txt", "--seed", "1", "--cycles", "2", "--dump", "d"})
                .mEvents,
            "e.txt");
}

TEST(TraceOptionsTest, RefusesMissingRepeatedAndUnknownArguments) {
  EXPECT_NE(RefusalOf({"--seed", "1", "--cycles", "2"}), "");
  EXPECT_NE(RefusalOf({}), "");
  EXPECT_NE(RefusalOf({"--seed", "1", "--cycles", "2", "--dump", "a", "--seed", "3"})
                .find("--seed is given twice"),
            std::string::npos);
  EXPECT_NE(
      RefusalOf({"--seed", "1", "--cycles", "2", "--dump", "a", "--verbose"}).find("--verbose"),
      std::string::npos);
  EXPECT_NE(RefusalOf({"--seed", "1", "--cycles", "2", "--dump"}).find("--dump needs a value"),
            std::string::npos);
  EXPECT_NE(RefusalOf({"--seed", "1", "--cycles", "2", "--dump", ""}), "");
  EXPECT_NE(RefusalOf({"--seed", "1", "--cycles", "2", "--dump", "a", "--events", ""}), "");
  EXPECT_NE(
      RefusalOf({"--events", "a", "--seed", "1", "--cycles", "2", "--dump", "a", "--events", "b"})
          .find("--events is given twice"),
      std::string::npos);
  // Whatever the arguments hold, the refusal is one line.
  EXPECT_EQ(RefusalOf({"--seed", "1\n2", "--cycles", "2", "--dump", "a"}),
            "--seed needs a whole number 0..4294967295, not 1\\n2");
  EXPECT_EQ(RefusalOf({"--seed", "1", "--cycles", "2", "--dump", "a", "--x\r\x1b"}).find('\r'),
            std::string::npos);
}

TEST(TraceOptionsTest, RefusesNumbersOutOfRangeOrWithTrailingText) {
  for (const char* seed : {"-1", "4294967296", "12x", "", " 1"}) {
    EXPECT_NE(RefusalOf({"--seed", seed, "--cycles", "2", "--dump", "a"}).find("--seed"),
              std::string::npos)
        << seed;
  }
  for (const char* cycles : {"0", "-5", "1.5", "9223372036854775808"}) {
    EXPECT_NE(RefusalOf({"--seed", "1", "--cycles", cycles, "--dump", "a"}).find("--cycles"),
              std::string::npos)
        << cycles;
  }
}

} // namespace
