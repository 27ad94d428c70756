// One simulation cycle during a full outbreak, with the game's grid spreading pass and with
// the straightforward one side by side, and the population's Think + Move alone as the floor
// under both. Two fields: the game's window (792 x 673, ever more crowded as n grows) and the
// window scaled by sqrt(n / 100), which keeps the first level's density at every n.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "runtime/random.h"
#include "simulation/Unit_TDisease.h"
#include "simulation/Unit_TField.h"
#include "simulation/Unit_TGame.h"
#include "simulation/Unit_THumanity.h"
#include "simulation/Unit_TPerson.h"
#include "simulation/Unit_TProgram.h"
#include "tests/simulation/reference_spreading.h"

namespace {

enum class TStep : uint8_t { s_cycle_grid, s_cycle_straightforward, s_think_move };

// The outbreak is restored this often, so every measured cycle sees about half of the
// population infected and spreading, and nobody has had time to die yet.
constexpr int64_t kCyclesPerOutbreak = 100;

struct TOutbreak {
  std::vector<TPerson> persons;
  int32_t cycle = 0;
  int32_t cycleTillPatientZero = 0;
  uint32_t randSeed = 0;
};

// A scattered population in which patient zero exists and every second person (a random
// half, since positions are random) is infected.
TOutbreak CreateOutbreak(int32_t ParaPersons, int32_t ParaWidth, int32_t ParaHeight) {
  RandSeed = 20261209;
  PersonCount = ParaPersons;
  Field = new TField;
  Field->SetWidth(ParaWidth);
  Field->SetHeight(ParaHeight);
  Humanity = new THumanity;
  Disease = new TDisease;
  Game = new TGame;
  Disease->Initialize();
  Humanity->ReDistribute();
  Disease->mCycle = Disease->mCycleTillPatientZero;
  Disease->InfectPatientZero();
  for (std::size_t i = 0; i < Persons.size(); i += 2) {
    Persons[i].Infect();
  }
  TOutbreak outbreak;
  for (const auto& person : Persons) {
    outbreak.persons.push_back(person);
  }
  outbreak.cycle = Disease->mCycle;
  outbreak.cycleTillPatientZero = Disease->mCycleTillPatientZero;
  outbreak.randSeed = RandSeed;
  return outbreak;
}

// Puts the outbreak back into the existing persons, without allocating.
void Restore(const TOutbreak& ParaOutbreak) {
  for (std::size_t i = 0; i < Persons.size(); ++i) {
    Persons[i] = ParaOutbreak.persons[i];
  }
  Disease->mCycle = ParaOutbreak.cycle;
  Disease->mCycleTillPatientZero = ParaOutbreak.cycleTillPatientZero;
  Disease->mPatientZeroExists = true;
  RandSeed = ParaOutbreak.randSeed;
}

void RunCycles(benchmark::State& ParaState, TStep ParaStep, int32_t ParaPersons, int32_t ParaWidth,
               int32_t ParaHeight) {
  const TOutbreak outbreak = CreateOutbreak(ParaPersons, ParaWidth, ParaHeight);
  int64_t cycles = 0;
  for (auto _ : ParaState) {
    if (cycles % kCyclesPerOutbreak == 0) {
      ParaState.PauseTiming();
      Restore(outbreak);
      ParaState.ResumeTiming();
    }
    Humanity->Think();
    Humanity->Move();
    if (ParaStep != TStep::s_think_move) {
      Disease->Think();
      if (ParaStep == TStep::s_cycle_grid) {
        Disease->Infect();
      } else {
        ReferenceSpreadingPass(*Disease);
      }
      Game->Think();
    }
    ++cycles;
  }
  ParaState.counters["infected"] = Humanity->Infected();
  ParaState.counters["cycles_per_s"] =
      benchmark::Counter(static_cast<double>(cycles), benchmark::Counter::kIsRate);
  ProgramDestroy();
}

void Register(TStep ParaStep, const char* ParaStepName, int32_t ParaPersons, bool ParaWindow) {
  const double scale = ParaWindow ? 1.0 : std::sqrt(ParaPersons / 100.0);
  const auto width = static_cast<int32_t>(std::nearbyint(792 * scale));
  const auto height = static_cast<int32_t>(std::nearbyint(673 * scale));
  const std::string name = std::string(ParaStepName) + "/" + (ParaWindow ? "window" : "scaled") +
                           "/" + std::to_string(ParaPersons);
  benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& state) {
    RunCycles(state, ParaStep, ParaPersons, width, height);
  })->Unit(benchmark::kMillisecond);
}

} // namespace

int main(int argc, char** argv) {
  for (const bool window : {false, true}) {
    for (const int32_t persons : {100, 1074, 5000, 20000, 100000}) {
      Register(TStep::s_think_move, "think_move", persons, window);
      Register(TStep::s_cycle_grid, "cycle_grid", persons, window);
      // About five billion Near tests per cycle at 100000: left out.
      if (persons <= 20000) {
        Register(TStep::s_cycle_straightforward, "cycle_straightforward", persons, window);
      }
    }
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    return 1;
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
