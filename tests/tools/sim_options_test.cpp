// The headless driver's command line: what it accepts, its defaults, and the one-line errors.
#include "tools/vantrel-sim/sim_options.h"

#include <gtest/gtest.h>

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
