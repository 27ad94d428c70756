// The trace game's event log as vantrel-sim reads it: the three line forms, and every way a
// line can be malformed, each refused with its line number. Replaying is tested on whole runs
// in vantrel_sim_test.cpp.
#include <gtest/gtest.h>

#include <string>

#include "tools/vantrel-sim/event_log.h"

namespace {

TEST(EventLog, ReadsSizesDrawsAndPressesInTheirOrder) {
  std::string error;
  const auto events = ParseEventLog("0 size 792 673\n1 draw\n1 press middle -3 2147483647\n"
                                    "1 press left 0 5\n9 press right 7 8\n",
                                    error);
  ASSERT_TRUE(events) << error;
  ASSERT_EQ(events->size(), 5u);
  const auto is = [&](std::size_t i, int64_t cycles, TLoggedEventKind kind, char button,
                      int32_t first, int32_t second) {
    const TLoggedEvent& e = (*events)[i];
    EXPECT_TRUE(e.mCycles == cycles && e.mKind == kind && e.mFirst == first &&
                e.mSecond == second && (kind != TLoggedEventKind::Press || e.mButton == button))
        << "event " << i;
  };
  is(0, 0, TLoggedEventKind::Size, 0, 792, 673);
  is(1, 1, TLoggedEventKind::Draw, 0, 0, 0);
  is(2, 1, TLoggedEventKind::Press, 'M', -3, 2147483647);
  is(3, 1, TLoggedEventKind::Press, 'L', 0, 5);
  is(4, 9, TLoggedEventKind::Press, 'R', 7, 8);
  EXPECT_TRUE(ParseEventLog("", error)) << "an empty log has no events";
}

TEST(EventLog, AMalformedLineIsRefusedWithItsNumber) {
  // Each text follows a good first line, so the fault is on line 2.
  for (const char* second : {"1 draw \n",
                             "1  draw\n",
                             " 1 draw\n",
                             "1 draw\r\n",
                             "1 draw",
                             "\n",
                             "1\n",
                             "draw\n",
                             "x draw\n",
                             "-1 draw\n",
                             "1 paint\n",
                             "1 draw 5\n",
                             "1 size 3\n",
                             "1 size 3 4 5\n",
                             "1 size -1 3\n",
                             "1 size 3 2147483648\n",
                             "1 size 3x4 5\n",
                             "1 press up 1 2\n",
                             "1 press Left 1 2\n",
                             "1 press left 1\n",
                             "1 press left 1 2 3\n",
                             "1 press left 1 2147483648\n",
                             "1 press left 1.5 2\n",
                             "0 draw\n",
                             "9223372036854775808 draw\n"}) {
    std::string error;
    EXPECT_FALSE(ParseEventLog(std::string("1 size 4 4\n") + second, error)) << second;
    EXPECT_EQ(error.rfind("line 2: ", 0), 0u) << second << ": " << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << second << ": " << error;
  }
}

} // namespace
