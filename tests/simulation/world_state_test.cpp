// The world's text: every double exactly as printf's %.17g writes it (the format other runs
// and the game's trace dumps are compared with), and whole state blocks equal to one written
// with printf, over odd values and over a real run with a level change and a lost game.
#include "simulation/world_state.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <limits>
#include <random>

#include "opengl/opengl_api_do_nothing_table.h"
#include "world_fixture.h"

namespace {

std::string Printf17g(double ParaValue) {
  char text[64];
  std::snprintf(text, sizeof text, "%.17g", ParaValue);
  return text;
}

std::string Ours(double ParaValue) {
  char text[32];
  return std::string(text, FormatDouble17g(text, ParaValue));
}

double FromBits(uint64_t ParaBits) {
  double value = 0;
  std::memcpy(&value, &ParaBits, sizeof value);
  return value;
}

// The state block as printf wrote it before it was streamed: the reference.
std::string PrintfState(int64_t ParaSteps) {
  std::string text;
  char line[512];
  std::snprintf(line, sizeof line,
                "state steps=%lld seed=%u person_count=%d persons=%zu disease_cycle=%d till=%d "
                "patient_zero=%d over=%d field=%dx%d\n",
                static_cast<long long>(ParaSteps), static_cast<unsigned>(RandSeed),
                static_cast<int>(PersonCount), Persons.size(), static_cast<int>(Disease->mCycle),
                static_cast<int>(Disease->mCycleTillPatientZero),
                Disease->mPatientZeroExists ? 1 : 0, Game->Over() ? 1 : 0,
                static_cast<int>(Field->Width()), static_cast<int>(Field->Height()));
  text += line;
  for (std::size_t i = 0; i < Persons.size(); ++i) {
    const TPerson& p = Persons[i];
    std::snprintf(line, sizeof line, "%zu %.17g %.17g %.17g %.17g %d %d %d %d %d %d %d %d\n", i,
                  p.mPositionX, p.mPositionY, p.mAngle, p.mSpeed, static_cast<int>(p.mSize),
                  p.mInfected ? 1 : 0, p.mQuarantined ? 1 : 0, p.mDead ? 1 : 0, p.mBuried ? 1 : 0,
                  static_cast<int>(p.mCycle), static_cast<int>(p.mInfectionCycle),
                  static_cast<int>(p.mDeadCycle));
    text += line;
  }
  return text;
}

} // namespace

TEST(WorldStateNumbers, EveryDoubleIsWrittenAsPrintfWritesIt) {
  std::vector<double> values = {0.0,
                                -0.0,
                                1.0,
                                -1.0,
                                0.1,
                                1.0 / 3.0,
                                123456789.0,
                                9007199254740993.0,
                                std::numeric_limits<double>::max(),
                                -std::numeric_limits<double>::max(),
                                std::numeric_limits<double>::min(),
                                std::numeric_limits<double>::denorm_min(),
                                -std::numeric_limits<double>::denorm_min(),
                                FromBits(0x000FFFFFFFFFFFFFull), // largest subnormal
                                1e-5,
                                1e-4,
                                9.99999999999999999e-5,
                                1e16,
                                1e17,
                                99999999999999999.0};
  // Integers, and around every power of ten (where %g switches notation and digits carry).
  for (int i = -2000; i <= 2000; ++i) {
    values.push_back(i);
  }
  for (int exponent = -320; exponent <= 308; ++exponent) {
    const double power = std::strtod(("1e" + std::to_string(exponent)).c_str(), nullptr);
    for (const double v : {power, std::nextafter(power, 0.0),
                           std::nextafter(power, std::numeric_limits<double>::infinity())}) {
      values.push_back(v);
      values.push_back(-v);
    }
  }
  // 1e16 .. 1e17, where a double is a whole number of 17 digits and %g turns to exponents.
  std::mt19937_64 random(20261209);
  for (int i = 0; i < 20000; ++i) {
    values.push_back(1e16 + static_cast<double>(random() % 90000000000000000ull));
  }
  // Any bit pattern: subnormals, every exponent, both signs (NaN and infinities are no state).
  for (int i = 0; i < 200000; ++i) {
    const double value = FromBits(random());
    if (std::isfinite(value)) {
      values.push_back(value);
    }
  }
  // The game's own values: whole-number positions plus steps, headings and speeds.
  for (int i = 0; i < 20000; ++i) {
    values.push_back(static_cast<double>(random() % 2000) +
                     std::ldexp(static_cast<double>(random() >> 11), -53) * 3.0);
  }
  int differing = 0;
  for (const double value : values) {
    if (Ours(value) != Printf17g(value) && ++differing <= 5) {
      ADD_FAILURE() << Ours(value) << " != " << Printf17g(value);
    }
  }
  EXPECT_EQ(differing, 0) << "of " << values.size();
}

TEST_F(WorldTest, TheStateBlockIsPrintfsByteForByteOverOddValuesAndAWholeRun) {
  InstallDoNothingOpenGLTable();
  CreateWorld(640, 480);
  UsePersons(6);
  const double odd[][4] = {{-0.0, 5e-324, 1e16 + 2, -1e-300},
                           {99999999999999999.0, 0.1, -0.0, 1e308},
                           {123.5, 0.00001, 2.5e-310, 7}};
  for (int i = 0; i < 3; ++i) {
    Persons[i].mPositionX = odd[i][0];
    Persons[i].mPositionY = odd[i][1];
    Persons[i].mAngle = odd[i][2];
    Persons[i].mSpeed = odd[i][3];
  }
  Persons[4].mCycle = std::numeric_limits<int32_t>::min();
  Persons[5].mDeadCycle = std::numeric_limits<int32_t>::max();
  Persons[3].mInfected = Persons[3].mDead = Persons[5].mQuarantined = Persons[5].mBuried = true;
  EXPECT_EQ(WorldStateText(-9223372036854775807LL - 1), PrintfState(-9223372036854775807LL - 1));
  ProgramDestroy();

  // Seed 12 changes level before step 2200; a right click on a crowded point loses the game.
  RandSeed = 12;
  ProgramCreate();
  ProgramStartup();
  for (int64_t step = 1; step <= 2400; ++step) {
    ProgramSimulationCycle();
    if (step == 1) {
      ProgramSetFieldSize(792, 673); // the game's first paint
    }
    ProgramDraw();
    if (step % 400 == 0) {
      ASSERT_EQ(WorldStateText(step), PrintfState(step)) << "step " << step;
    }
  }
  EXPECT_EQ(PersonCount, 120);
  ProgramDestroy();
  RandSeed = 5;
  PersonCount = 7;
  ProgramCreate();
  ProgramStartup();
  ProgramSetFieldSize(1, 1);
  ProgramInfect(0, 0);
  for (int64_t step = 1; step <= 1500; ++step) {
    ProgramSimulationCycle();
    ProgramDraw();
  }
  EXPECT_TRUE(Game->Over());
  EXPECT_EQ(WorldStateText(1500), PrintfState(1500));
}
