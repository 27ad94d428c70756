// The grid spreading pass against the straightforward one: single passes over hand-made and
// hostile populations, and whole game runs in two worlds side by side that must stay
// identical, field by field, after every cycle. Also checks that a pass does not allocate.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "runtime/random.h"
#include "simulation/Unit_TDisease.h"
#include "simulation/Unit_TField.h"
#include "simulation/Unit_TGame.h"
#include "simulation/Unit_THumanity.h"
#include "simulation/Unit_TPerson.h"
#include "simulation/Unit_TProgram.h"
#include "tests/simulation/allocation_counter.h"
#include "tests/simulation/reference_spreading.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

using TPopulation = std::vector<TPerson>;

// The first field in which two persons differ, or an empty text.
std::string Difference(const TPerson& a, const TPerson& b) {
  // Doubles are compared by their bits, so a NaN or a signed zero cannot hide a difference.
  auto same = [](double x, double y) {
    return std::bit_cast<uint64_t>(x) == std::bit_cast<uint64_t>(y);
  };
#define VANTREL_COMPARE_INT(field)                                                                 \
  if (a.field != b.field)                                                                          \
    return #field;
#define VANTREL_COMPARE_DOUBLE(field)                                                              \
  if (!same(a.field, b.field))                                                                     \
    return #field;
  VANTREL_COMPARE_INT(mCycle)
  VANTREL_COMPARE_INT(mResetCycle)
  VANTREL_COMPARE_DOUBLE(mPositionX)
  VANTREL_COMPARE_DOUBLE(mPositionY)
  VANTREL_COMPARE_DOUBLE(mAngle)
  VANTREL_COMPARE_DOUBLE(mAngleChangeSpeed)
  VANTREL_COMPARE_INT(mStartChangeAngleAfterCycle)
  VANTREL_COMPARE_INT(mStopChangeAngleAfterCycle)
  VANTREL_COMPARE_INT(mInfectionCycle)
  VANTREL_COMPARE_INT(mDeadAfterInfectionCycle)
  VANTREL_COMPARE_INT(mDead)
  VANTREL_COMPARE_INT(mDeadCycle)
  VANTREL_COMPARE_INT(mBuriedAfterDeadCycle)
  VANTREL_COMPARE_INT(mBuried)
  VANTREL_COMPARE_DOUBLE(mDirectionX)
  VANTREL_COMPARE_DOUBLE(mDirectionY)
  VANTREL_COMPARE_DOUBLE(mSpeed)
  VANTREL_COMPARE_INT(mInfected)
  VANTREL_COMPARE_INT(mQuarantined)
  VANTREL_COMPARE_INT(mRole)
  VANTREL_COMPARE_INT(mSize)
#undef VANTREL_COMPARE_INT
#undef VANTREL_COMPARE_DOUBLE
  return "";
}

void UsePopulation(const TPopulation& ParaPopulation) {
  Persons.assign(ParaPopulation.begin(), ParaPopulation.end());
}

TPopulation CurrentPopulation() {
  return TPopulation(Persons.begin(), Persons.end());
}

// Runs one pass both ways over copies of the population and returns the grid's result,
// after checking that it equals the straightforward one person by person.
TPopulation ExpectPassMatchesReference(const TPopulation& ParaPopulation) {
  TDisease disease;
  disease.mPatientZeroExists = true;
  UsePopulation(ParaPopulation);
  ReferenceSpreadingPass(disease);
  const TPopulation expected = CurrentPopulation();
  UsePopulation(ParaPopulation);
  disease.Infect();
  const TPopulation actual = CurrentPopulation();
  Persons.clear();
  EXPECT_EQ(expected.size(), actual.size());
  for (std::size_t i = 0; i < expected.size() && i < actual.size(); ++i) {
    const std::string field = Difference(expected[i], actual[i]);
    EXPECT_EQ(field, "") << "person " << i;
    if (!field.empty()) {
      break;
    }
  }
  return actual;
}

TPerson PersonAt(double ParaX, double ParaY, int32_t ParaSize = 3, bool ParaInfected = false) {
  TPerson person;
  person.mPositionX = ParaX;
  person.mPositionY = ParaY;
  person.mSize = ParaSize;
  person.mInfected = ParaInfected;
  return person;
}

std::size_t InfectedCount(const TPopulation& ParaPopulation) {
  std::size_t count = 0;
  for (const TPerson& person : ParaPopulation) {
    count += person.mInfected ? 1 : 0;
  }
  return count;
}

// --- Single passes -------------------------------------------------------------------------

TEST(SpreadingGridPass, InfectionRunsAlongAChainTowardsHigherIndexesOnly) {
  // Persons 2, 5 and 7 stand in a row, each touching the next; the others are far away.
  TPopulation row;
  for (int i = 0; i < 9; ++i) {
    row.push_back(PersonAt(1000.0 + 100.0 * i, 500.0));
  }
  row[2] = PersonAt(0, 0);
  row[5] = PersonAt(6, 0);
  row[7] = PersonAt(12, 0);

  TPopulation fromLow = row;
  fromLow[2].mInfected = true;
  const TPopulation lowResult = ExpectPassMatchesReference(fromLow);
  EXPECT_TRUE(lowResult[5].mInfected);
  EXPECT_TRUE(lowResult[7].mInfected);
  EXPECT_EQ(InfectedCount(lowResult), 3u);

  TPopulation fromHigh = row;
  fromHigh[7].mInfected = true;
  const TPopulation highResult = ExpectPassMatchesReference(fromHigh);
  EXPECT_TRUE(highResult[5].mInfected);
  EXPECT_FALSE(highResult[2].mInfected) << "infected below the spreader: only next cycle";
  const TPopulation nextResult = ExpectPassMatchesReference(highResult);
  EXPECT_TRUE(nextResult[2].mInfected);
}

TEST(SpreadingGridPass, BuriedDoNotSpreadAndUnburiedDeadDo) {
  TPopulation population = {PersonAt(0, 0, 3, true), PersonAt(5, 0), PersonAt(100, 0, 3, true),
                            PersonAt(105, 0)};
  population[0].mDead = true;
  population[2].mDead = true;
  population[2].mBuried = true;
  const TPopulation result = ExpectPassMatchesReference(population);
  EXPECT_TRUE(result[1].mInfected);
  EXPECT_FALSE(result[3].mInfected);
}

TEST(SpreadingGridPass, ContactAtExactlyTheSumOfSizesIsFoundAcrossCellBorders) {
  // Isolated pairs whose centres are exactly the two sizes apart, along the axes and along
  // 3-4-5 diagonals, at random offsets so that they straddle cell borders in every way, and
  // twins a hair further apart that must stay healthy. The spreader is the largest person
  // in each population and its catcher is either as large or of size 0: the cell width has
  // to follow the largest size of anyone, spreaders included.
  std::mt19937 generator(7);
  for (const bool catchersAsLarge : {true, false}) {
    for (int32_t largest : {5, 40, 1000, 5 << 18}) {
      TPopulation population;
      const double spacing = 4.0 * (catchersAsLarge ? 2 * largest : largest) + 16.0;
      for (int pair = 0; pair < 200; ++pair) {
        const int32_t catcherSize = catchersAsLarge && pair % 2 == 0 ? largest : 0;
        const double reach = largest + catcherSize; // a multiple of 5
        const double directions[][2] = {{1, 0},     {0, 1},      {-1, 0},     {0, -1},
                                        {0.6, 0.8}, {-0.8, 0.6}, {0.8, -0.6}, {-0.6, -0.8}};
        const auto& direction = directions[pair % 8];
        // Offsets of up to a cell across, so the pair lands anywhere relative to the borders.
        auto jitter = [&] {
          return std::uniform_int_distribution<int>(0, 64)(generator) * largest / 32.0;
        };
        const double x = (pair % 10) * spacing + jitter();
        const double y = (pair / 10) * spacing + jitter();
        const double miss = (pair / 8) % 2 == 0 ? 0.0 : 1e-6 * largest;
        TPerson spreader = PersonAt(x, y, largest, true);
        TPerson catcher = PersonAt(x + direction[0] * (reach + miss),
                                   y + direction[1] * (reach + miss), catcherSize);
        if (pair % 3 == 0) {
          population.push_back(catcher);
          population.push_back(spreader);
        } else {
          population.push_back(spreader);
          population.push_back(catcher);
        }
      }
      // A heap of healthy persons out of everyone's reach keeps the grid from widening its
      // cells for a sparse population, which would hide a cell that is too narrow.
      const TPerson bystander = PersonAt(-4.0 * largest - 8.0, -4.0 * largest - 8.0, 0);
      population.insert(population.end(), 6000, bystander);
      SCOPED_TRACE(testing::Message()
                   << "largest size " << largest << (catchersAsLarge ? "" : " (spreaders only)"));
      const TPopulation result = ExpectPassMatchesReference(population);
      const std::size_t infected = InfectedCount(result);
      EXPECT_GT(infected, 200u + 50u) << "exact contacts must infect";
      EXPECT_LT(infected, 400u) << "a hair further must not";
    }
  }
}

TEST(SpreadingGridPass, RandomCrowdsOfAnySizeMatchTheStraightforwardPass) {
  std::mt19937 generator(2024);
  for (int round = 0; round < 40; ++round) {
    const int count = std::uniform_int_distribution<int>(1, 300)(generator);
    const double span = std::pow(10.0, std::uniform_int_distribution<int>(0, 5)(generator));
    const int32_t maxSize = std::uniform_int_distribution<int>(0, 60)(generator);
    TPopulation population;
    for (int i = 0; i < count; ++i) {
      // Whole and half coordinates make exact contacts frequent.
      const double x = std::round(std::uniform_real_distribution<double>(-span, span)(generator));
      const double y = std::round(std::uniform_real_distribution<double>(-span, span)(generator));
      TPerson person =
          PersonAt(x * 0.5, y * 0.5, std::uniform_int_distribution<int32_t>(-2, maxSize)(generator),
                   std::uniform_int_distribution<int>(0, 9)(generator) == 0);
      person.mDead = person.mInfected && std::uniform_int_distribution<int>(0, 3)(generator) == 0;
      person.mBuried = person.mDead && std::uniform_int_distribution<int>(0, 1)(generator) == 0;
      population.push_back(person);
    }
    SCOPED_TRACE(testing::Message() << "round " << round);
    ExpectPassMatchesReference(population);
  }
}

TEST(SpreadingGridPass, EveryoneOnOneSpotIsInfectedByTheFirstSpreader) {
  for (double spot : {0.0, -1.0}) {
    TPopulation population(3000, PersonAt(spot, spot));
    population[1234].mInfected = true;
    const TPopulation result = ExpectPassMatchesReference(population);
    EXPECT_EQ(InfectedCount(result), result.size());
  }
}

TEST(SpreadingGridPass, PositionsOffTheFieldOrNotFiniteAreHandled) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double huge = std::numeric_limits<double>::max();
  // Outliers far away stretch the box; the crowd between them must still be found.
  TPopulation population = {
      PersonAt(nan, 0, 3, true),        PersonAt(0, nan),     PersonAt(inf, 5),
      PersonAt(-inf, -inf, 3, true),    PersonAt(1e12, 1e12), PersonAt(-1e12, 3),
      PersonAt(1e12 + 6, 1e12, 3, true)};
  for (int i = 0; i < 200; ++i) {
    population.push_back(PersonAt(i * 5.0, (i % 7) * 5.0, 3, i % 50 == 0));
  }
  ExpectPassMatchesReference(population);

  // Catchers so far apart that the box itself overflows.
  TPopulation extreme = population;
  extreme.push_back(PersonAt(huge, -huge));
  extreme.push_back(PersonAt(-huge, huge));
  extreme.push_back(PersonAt(huge, huge, 3, true));
  ExpectPassMatchesReference(extreme);
}

TEST(SpreadingGridPass, NoSpreaderOrNoCatcherChangesNothing) {
  TPopulation healthy(50, PersonAt(3, 3));
  EXPECT_EQ(InfectedCount(ExpectPassMatchesReference(healthy)), 0u);
  TPopulation infected(50, PersonAt(3, 3, 3, true));
  EXPECT_EQ(InfectedCount(ExpectPassMatchesReference(infected)), 50u);
  EXPECT_EQ(InfectedCount(ExpectPassMatchesReference({})), 0u);
}

TEST(SpreadingGridPass, BeforePatientZeroNoOneSpreads) {
  TDisease disease;
  UsePopulation({PersonAt(0, 0, 3, true), PersonAt(1, 1)});
  disease.Infect();
  EXPECT_FALSE(Persons[1].mInfected);
  Persons.clear();
}

TEST(SpreadingGridPass, DoesNotAllocateOnceThePopulationExists) {
  TDisease disease;
  disease.mPatientZeroExists = true;
  std::mt19937 generator(5);
  TPopulation population;
  for (int i = 0; i < 2000; ++i) {
    population.push_back(PersonAt(std::uniform_int_distribution<int>(0, 791)(generator),
                                  std::uniform_int_distribution<int>(0, 672)(generator), 3,
                                  i % 40 == 0));
  }
  UsePopulation(population);
  disease.Infect(); // the first pass sizes the buffers
  for (int pass = 0; pass < 20; ++pass) {
    for (std::size_t i = 0; i < Persons.size(); ++i) {
      // Fresh catchers and new places each time, so every pass rebuilds its grid.
      Persons[i].mInfected = i % (40 + pass) == 0;
      Persons[i].mPositionX = std::uniform_int_distribution<int>(0, 791)(generator);
    }
    gAllocations = 0;
    gCountAllocations = true;
    disease.Infect();
    gCountAllocations = false;
    EXPECT_EQ(gAllocations, 0u) << "pass " << pass;
  }
  Persons.clear();
}

// --- Whole games in two worlds ------------------------------------------------------------

// One set of world globals, parked while the other world runs.
struct TWorld {
  TField* field = nullptr;
  THumanity* humanity = nullptr;
  TDisease* disease = nullptr;
  TGame* game = nullptr;
  std::vector<TPerson> persons;
  int32_t personCount = 100;
  uint32_t randSeed = 0;

  void Enter() {
    Field = field;
    Humanity = humanity;
    Disease = disease;
    Game = game;
    Persons.swap(persons);
    PersonCount = personCount;
    RandSeed = randSeed;
  }
  void Leave() {
    field = Field;
    humanity = Humanity;
    disease = Disease;
    game = Game;
    Persons.swap(persons);
    personCount = PersonCount;
    randSeed = RandSeed;
    Field = nullptr;
    Humanity = nullptr;
    Disease = nullptr;
    Game = nullptr;
    PersonCount = 100;
  }
  void Create(uint32_t ParaSeed, int32_t ParaPersons, int32_t ParaWidth, int32_t ParaHeight) {
    randSeed = ParaSeed;
    personCount = ParaPersons;
    Enter();
    Field = new TField;
    Humanity = new THumanity;
    Disease = new TDisease;
    Game = new TGame;
    Disease->Initialize();
    Field->SetWidth(ParaWidth);
    Field->SetHeight(ParaHeight);
    Humanity->ReDistribute();
    Leave();
  }
  ~TWorld() {
    Enter();
    ProgramDestroy();
    PersonCount = 100;
  }
};

struct TScenario {
  const char* name;
  uint32_t seed;
  int32_t persons;
  int32_t width;
  int32_t height;
  int cycles;
};

// The player's doings and forced level changes, the same in both worlds.
void Events(int ParaCycle) {
  const auto count = static_cast<int>(Persons.size());
  auto pointAt = [&](int ParaIndex) {
    const TPerson& person = Persons[static_cast<std::size_t>(ParaIndex % count)];
    return std::pair<int32_t, int32_t>(static_cast<int32_t>(std::lround(person.mPositionX)),
                                       static_cast<int32_t>(std::lround(person.mPositionY)));
  };
  if (ParaCycle % 97 == 40) {
    const auto [x, y] = pointAt(ParaCycle * 7);
    Humanity->Infect(x, y);
  }
  if (ParaCycle % 131 == 60) {
    const auto [x, y] = pointAt(ParaCycle * 3);
    Humanity->Quarantine(x, y);
  }
  if (ParaCycle % 500 == 250) {
    Game->NextLevel();
  }
  if (ParaCycle == 420) {
    // A resize in mid-level scatters everyone again, the dead included.
    Field->SetWidth(Field->Width() / 2 + 1);
    Field->SetHeight(Field->Height() / 2 + 1);
    Humanity->ReDistribute();
  }
}

// Runs the scenario in two worlds, one with the straightforward pass and one with the game's
// own, and stops at the first cycle after which they differ.
void ExpectSameGame(const TScenario& ParaScenario) {
  TWorld reference;
  TWorld grid;
  reference.Create(ParaScenario.seed, ParaScenario.persons, ParaScenario.width,
                   ParaScenario.height);
  grid.Create(ParaScenario.seed, ParaScenario.persons, ParaScenario.width, ParaScenario.height);
  int64_t infections = 0;
  std::size_t largest = 0;
  for (int cycle = 1; cycle <= ParaScenario.cycles; ++cycle) {
    for (TWorld* world : {&reference, &grid}) {
      world->Enter();
      Humanity->Think();
      Humanity->Move();
      Disease->Think();
      if (world == &reference) {
        ReferenceSpreadingPass(*Disease);
      } else {
        Disease->Infect();
      }
      Game->Think();
      Events(cycle);
      world->Leave();
    }
    std::ostringstream where;
    where << ParaScenario.name << ", after cycle " << cycle;
    ASSERT_EQ(reference.randSeed, grid.randSeed) << where.str();
    ASSERT_EQ(reference.personCount, grid.personCount) << where.str();
    ASSERT_EQ(reference.disease->mCycle, grid.disease->mCycle) << where.str();
    ASSERT_EQ(reference.disease->mCycleTillPatientZero, grid.disease->mCycleTillPatientZero)
        << where.str();
    ASSERT_EQ(reference.disease->mPatientZeroExists, grid.disease->mPatientZeroExists)
        << where.str();
    ASSERT_EQ(reference.game->Over(), grid.game->Over()) << where.str();
    ASSERT_EQ(reference.persons.size(), grid.persons.size()) << where.str();
    for (std::size_t i = 0; i < reference.persons.size(); ++i) {
      ASSERT_EQ(Difference(reference.persons[i], grid.persons[i]), "")
          << where.str() << ", person " << i;
      infections += reference.persons[i].mInfected ? 1 : 0;
    }
    largest = std::max(largest, reference.persons.size());
  }
  // A run in which nobody ever fell ill, or the population never changed, would prove little.
  EXPECT_GT(infections, 0) << ParaScenario.name;
  EXPECT_GT(largest, static_cast<std::size_t>(ParaScenario.persons)) << ParaScenario.name;
}

class SpreadingGridGame : public ::testing::TestWithParam<TScenario> {};

TEST_P(SpreadingGridGame, StaysIdenticalToTheStraightforwardPassEveryCycle) {
  ExpectSameGame(GetParam());
}

// The sanitizer build runs the same games, shorter.
constexpr int Cycles(int ParaNative) {
  return kSanitized ? ParaNative / 3 : ParaNative;
}

INSTANTIATE_TEST_SUITE_P(
    Fields, SpreadingGridGame,
    ::testing::Values(TScenario{"window", 20261209, 100, 792, 673, Cycles(3000)},
                      TScenario{"window_other_seed", 77, 144, 792, 673, Cycles(3000)},
                      TScenario{"crowded_window", 4242, 1074, 792, 673, Cycles(900)},
                      TScenario{"empty_field", 1, 100, 0, 0, Cycles(3000)},
                      TScenario{"one_pixel", 99, 100, 1, 1, Cycles(3000)},
                      TScenario{"everyone_touches", 31337, 100, 30, 30, Cycles(3000)}),
    [](const ::testing::TestParamInfo<TScenario>& ParaInfo) {
      return std::string(ParaInfo.param.name);
    });

} // namespace
