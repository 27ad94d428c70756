// The headless driver's command line: what it accepts, its defaults, and the one-line errors.
#include "tools/vantrel-sim/sim_options.h"

#include <gtest/gtest.h>

#include <limits>

#include "simulation/Unit_TPerson.h"

namespace {

std::optional<TSimOptions> Parse(std::vector<std::string> ParaArguments,
                                 std::string* ParaError = nullptr) {
  std::string error;
  auto options = ParseSimOptions(ParaArguments, error);
  if (ParaError != nullptr) {
    *ParaError = error;
  }
  return options;
}

} // namespace

TEST(SimOptions, DefaultsToTheGamesFirstPaintAndAHundredPersons) {
  const auto options = Parse({"--seed", "4294967295", "--steps", "0"});
  ASSERT_TRUE(options);
  EXPECT_EQ(options->mSeed, 4294967295u);
  EXPECT_EQ(options->mPersons, 100);
  EXPECT_EQ(options->mSteps, 0);
  EXPECT_EQ(options->mTraceEvery, 0);
  ASSERT_EQ(options->mSizes.size(), 1u);
  EXPECT_EQ(options->mSizes[0].mWidth, 792);
  EXPECT_EQ(options->mSizes[0].mHeight, 673);
  EXPECT_EQ(options->mSizes[0].mStep, 1);
  // An event log brings its own sizes: none is implied.
  const auto replay = Parse({"--seed", "1", "--steps", "3", "--events", "log.txt"});
  ASSERT_TRUE(replay);
  EXPECT_EQ(replay->mEventsPath, "log.txt");
  EXPECT_TRUE(replay->mSizes.empty());
}

TEST(SimOptions, KeepsSizesAndClicksInCommandLineOrder) {
  const auto options =
      Parse({"--size", "10x20@3", "--click", "R,-5,7@0", "--seed", "1", "--size", "0x0@1",
             "--click", "L,1,2@3", "--steps", "5", "--persons", "1074", "--trace", "2"});
  ASSERT_TRUE(options);
  ASSERT_EQ(options->mSizes.size(), 2u);
  EXPECT_EQ(options->mSizes[0].mWidth, 10);
  EXPECT_EQ(options->mSizes[0].mHeight, 20);
  EXPECT_EQ(options->mSizes[0].mStep, 3);
  EXPECT_EQ(options->mSizes[1].mWidth, 0);
  ASSERT_EQ(options->mClicks.size(), 2u);
  EXPECT_EQ(options->mClicks[0].mButton, 'R');
  EXPECT_EQ(options->mClicks[0].mX, -5);
  EXPECT_EQ(options->mClicks[0].mY, 7);
  EXPECT_EQ(options->mClicks[0].mStep, 0);
  EXPECT_EQ(options->mClicks[1].mButton, 'L');
  EXPECT_EQ(options->mPersons, 1074);
  EXPECT_EQ(options->mTraceEvery, 2);
}

TEST(SimOptions, RejectsBadArgumentsWithAMessageNamingThem) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--seed", "1"}, "--steps"},
      {{"--steps", "1"}, "--seed"},
      {{"--seed", "1", "--steps"}, "--steps"},
      {{"--seed", "abc", "--steps", "1"}, "--seed"},
      {{"--seed", "4294967296", "--steps", "1"}, "--seed"},
      {{"--seed", "-1", "--steps", "1"}, "--seed"},
      {{"--seed", "1", "--steps", "-1"}, "--steps"},
      {{"--seed", "1", "--steps", "1x"}, "--steps"},
      {{"--seed", "1", "--steps", "1", "--persons", "0"}, "--persons"},
      {{"--seed", "1", "--steps", "1", "--size", "10x@1"}, "--size"},
      {{"--seed", "1", "--steps", "1", "--size", "10x10"}, "--size"},
      {{"--seed", "1", "--steps", "1", "--size", "-1x10@1"}, "--size"},
      {{"--seed", "1", "--steps", "1", "--click", "M,1,1@1"}, "--click"},
      {{"--seed", "1", "--steps", "1", "--click", "L,1@1"}, "--click"},
      {{"--seed", "1", "--steps", "1", "--trace", "0"}, "--trace"},
      {{"--seed", "1", "--steps", "1", "--speed", "3"}, "--speed"},
      {{"--seed", "1", "--steps", "1", "extra"}, "extra"},
  };
  for (const auto& [arguments, named] : cases) {
    std::string error;
    EXPECT_FALSE(Parse(arguments, &error)) << named;
    EXPECT_NE(error.find(named), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos);
  }
}

TEST(SimOptions, HelpWinsAnywhereExceptAsTheValueOfAnOption) {
  const auto help = Parse({"--seed", "x", "--help", "--what"});
  ASSERT_TRUE(help);
  EXPECT_TRUE(help->mHelp);
  const auto plot = Parse({"--plot", "--help", "--seed", "1", "--steps", "1"});
  ASSERT_TRUE(plot);
  EXPECT_FALSE(plot->mHelp);
  EXPECT_EQ(plot->mPlotPath, "--help");
  EXPECT_FALSE(Parse({"--seed", "1", "--steps", "1"})->mHelp);
}

TEST(SimOptions, ASingleValuedOptionGivenTwiceIsAnError) {
  const std::vector<std::string> base = {"--seed", "1", "--steps", "1"};
  for (const std::string option :
       {"--seed", "--steps", "--persons", "--trace", "--plot", "--csv", "--summary"}) {
    std::vector<std::string> arguments = base;
    for (int i = 0; i < 2; ++i) {
      arguments.push_back(option);
      arguments.push_back(option == "--plot" || option == "--csv" || option == "--summary"
                              ? "f" + std::to_string(i)
                              : "3");
    }
    std::string error;
    EXPECT_FALSE(Parse(arguments, &error)) << option;
    EXPECT_NE(error.find(option + " given more than once"), std::string::npos) << error;
  }
  // Sizes and clicks are schedules: each one counts.
  const auto repeated = Parse({"--seed", "1", "--steps", "1", "--size", "1x1@0", "--size", "2x2@0",
                               "--click", "L,0,0@1", "--click", "L,0,0@1"});
  ASSERT_TRUE(repeated);
  EXPECT_EQ(repeated->mSizes.size(), 2u);
  EXPECT_EQ(repeated->mClicks.size(), 2u);
}

TEST(SimOptions, MinusZeroIsZeroForEveryNumberAndOneSignIsAllowed) {
  const auto options = Parse({"--seed", "-0", "--steps", "-0", "--size", "-0x+0@-00", "--click",
                              "R,-0,-7@+0", "--persons", "+5"});
  ASSERT_TRUE(options);
  EXPECT_EQ(options->mSeed, 0u);
  EXPECT_EQ(options->mSteps, 0);
  EXPECT_EQ(options->mSizes[0].mWidth, 0);
  EXPECT_EQ(options->mSizes[0].mStep, 0);
  EXPECT_EQ(options->mClicks[0].mX, 0);
  EXPECT_EQ(options->mClicks[0].mY, -7);
  EXPECT_EQ(options->mPersons, 5);
  const auto extremes =
      Parse({"--seed", "1", "--steps", "1", "--click", "L,-2147483648,2147483647@0"});
  ASSERT_TRUE(extremes);
  EXPECT_EQ(extremes->mClicks[0].mX, std::numeric_limits<int32_t>::min());
  // Zero is still below the smallest population and trace interval.
  for (const auto& [option, value] :
       std::vector<std::pair<std::string, std::string>>{{"--persons", "-0"},
                                                        {"--trace", "-0"},
                                                        {"--seed", "+-1"},
                                                        {"--steps", "-+1"},
                                                        {"--steps", "--1"},
                                                        {"--steps", "-"},
                                                        {"--steps", "+"},
                                                        {"--seed", "-1"},
                                                        {"--size", "+-1x1@0"},
                                                        {"--click", "L,1,-2147483649@0"}}) {
    std::string error;
    EXPECT_FALSE(Parse({"--seed", "1", "--steps", "1", option, value}, &error))
        << option << " " << value;
  }
}

TEST(SimOptions, ErrorsEscapeLineBreaksControlsAndBytesThatAreNotUtf8) {
  std::string error;
  EXPECT_FALSE(Parse({"--seed", "1\n2\r\t\x1b", "--steps", "1"}, &error));
  EXPECT_NE(error.find("'1\\n2\\r\\t\\x1B'"), std::string::npos) << error;
  EXPECT_FALSE(Parse({"--steps", "1", "--seed", "\xff\xc3\x28 \xe2\x80\xa8 \xc2\x85"}, &error));
  EXPECT_NE(error.find("'\\xFF\\xC3( \\u2028 \\u0085'"), std::string::npos) << error;
  EXPECT_FALSE(Parse({"--s\xe9\nd", "1"}, &error));
  EXPECT_NE(error.find("'--s\\xE9\\nd'"), std::string::npos) << error;
  for (const std::string& text :
       {std::string("\n"), std::string("\xed\xa0\x80"), std::string("\xc0\xaf"),
        std::string("\xf4\x90\x80\x80"), std::string("a\0b", 3)}) {
    const std::string escaped = EscapeForOneLine(text);
    for (const char c : escaped) {
      EXPECT_TRUE(c >= 0x20 && c < 0x7f) << "raw byte " << int(static_cast<unsigned char>(c));
    }
  }
  // Readable text stays readable; a backslash is doubled so escapes cannot be forged.
  EXPECT_EQ(EscapeForOneLine("Größe 5 \xe2\x82\xac \\n"), "Größe 5 \xe2\x82\xac \\\\n");
}

TEST(SimOptions, FilesTakeANameOrTheDashAndPerGameOptionsStayOutOfSweeps) {
  const auto options = Parse({"--seed", "1", "--steps", "1", "--plot", "a.svg", "--csv", "-"});
  ASSERT_TRUE(options);
  EXPECT_EQ(options->mPlotPath, "a.svg");
  EXPECT_EQ(options->mCsvPath, "-");
  EXPECT_EQ(options->mSummaryPath, "");
  const auto sweep = Parse({"--seeds", "4294967290..4294967295", "--steps", "1", "--jobs", "3",
                            "--until-game-over", "--quiet"});
  ASSERT_TRUE(sweep);
  EXPECT_TRUE(sweep->mSweep && sweep->mUntilGameOver && sweep->mQuiet);
  EXPECT_EQ(sweep->mSeedFirst, 4294967290u);
  EXPECT_EQ(sweep->mSeedLast, 4294967295u);
  EXPECT_EQ(sweep->mJobs, 3);
  EXPECT_EQ(sweep->mSummaryPath, "-") << "a sweep's summary goes to standard output by default";
  // Every new option's bad value or misplaced use: one line naming it.
  const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
      {{"--seeds", "5..4", "--steps", "1"}, "--seeds"},
      {{"--seeds", "1..", "--steps", "1"}, "--seeds"},
      {{"--seeds", "1-5", "--steps", "1"}, "--seeds"},
      {{"--seeds", "0..4294967296", "--steps", "1"}, "--seeds"},
      {{"--seed", "1", "--seeds", "1..2", "--steps", "1"}, "--seeds"},
      {{"--seeds", "1..2", "--steps", "1", "--jobs", "0"}, "--jobs"},
      {{"--seeds", "1..2", "--steps", "1", "--jobs", "1025"}, "--jobs"},
      {{"--seed", "1", "--steps", "1", "--jobs", "2"}, "--jobs"},
      {{"--seeds", "1..2", "--steps", "1", "--trace", "5"}, "--trace"},
      {{"--seeds", "1..2", "--steps", "1", "--csv", "c"}, "--csv"},
      {{"--seeds", "1..2", "--steps", "1", "--no-state"}, "--no-state"},
      {{"--seed", "1", "--steps", "1", "--summary", ""}, "--summary"},
      {{"--seed", "1", "--steps", "1", "--quiet", "--quiet"}, "--quiet"},
      {{"--seed", "1", "--steps", "1", "--until-game-over", "1"}, "'1'"},
  };
  for (const auto& [arguments, named] : refused) {
    std::string error;
    EXPECT_FALSE(Parse(arguments, &error)) << named;
    EXPECT_NE(error.find(named), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos);
  }
  EXPECT_TRUE(Parse({"--version", "--seed", "x"})->mVersion);
}

TEST(SimOptions, APopulationIsRefusedOnlyWhenItsRunCannotFitIntoTheMemoryAvailable) {
  constexpr uint64_t kSixteenGiB = uint64_t{16} << 30;
  // About 1e8 persons need more than 16 GiB; a million fits easily.
  const std::string refusal = CheckPopulationFits(100000000, 1000, kSixteenGiB, 2 * kSixteenGiB);
  EXPECT_NE(refusal.find("--persons 100000000"), std::string::npos) << refusal;
  EXPECT_NE(refusal.find("available now (of 34.4 GB physical memory)"), std::string::npos)
      << refusal;
  EXPECT_EQ(refusal.find('\n'), std::string::npos);
  EXPECT_EQ(CheckPopulationFits(1000000, 1000, kSixteenGiB, kSixteenGiB), "");
  // The boundary: exactly enough fits, one byte less does not, and the two figures differ.
  const uint64_t needed = PopulationMemoryBytes(3000000, 1000);
  EXPECT_EQ(CheckPopulationFits(3000000, 1000, needed, 0), "");
  const std::string close = CheckPopulationFits(3000000, 1000, needed - 1, 0);
  const auto figure = [&](const char* ParaBefore) {
    const auto at = close.find(ParaBefore) + std::string(ParaBefore).size();
    return close.substr(at, close.find(' ', close.find(' ', at) + 1) - at);
  };
  EXPECT_NE(figure("need about "), figure("more than the ")) << close;
  // The next, 1.2 times larger population is built beside the old one, but only by a run
  // long enough for a level to end.
  EXPECT_GE(PopulationMemoryBytes(1000000, kEarliestLevelEnd), uint64_t{2200000} * sizeof(TPerson));
  EXPECT_LT(PopulationMemoryBytes(1000000, kEarliestLevelEnd - 1),
            uint64_t{2000000} * sizeof(TPerson));
  EXPECT_GE(PopulationMemoryBytes(std::numeric_limits<int32_t>::max(), 1000), uint64_t{1} << 38);
  // Unknown memory: nothing to check against.
  EXPECT_EQ(CheckPopulationFits(std::numeric_limits<int32_t>::max(), 1000, 0, 0), "");
}
