// World registry procedures; see Unit_TProgram.h. Nothing here checks that the world exists:
// the shell calls ProgramCreate first and nothing after ProgramDestroy.
#include "simulation/Unit_TProgram.h"

#include "simulation/Unit_TDisease.h"
#include "simulation/Unit_TField.h"
#include "simulation/Unit_TGame.h"
#include "simulation/Unit_THumanity.h"
#include "simulation/Unit_TUniverseThreadLess.h"

void ProgramCreate() {
  Field = new TField;
  Humanity = new THumanity;
  Disease = new TDisease;
  Game = new TGame;
  Universe = new TUniverse;
}

void ProgramDestroy() {
  delete Universe;
  Universe = nullptr;
  delete Game;
  Game = nullptr;
  delete Disease;
  Disease = nullptr;
  delete Humanity;
  Humanity = nullptr;
  delete Field;
  Field = nullptr;
}

void ProgramSetFieldSize(int32_t ParaWidth, int32_t ParaHeight) {
  Field->SetWidth(ParaWidth);
  Field->SetHeight(ParaHeight);
  Humanity->ReDistribute();
}

void ProgramStartup() {
  Universe->Startup();
}

void ProgramSingleLoop() {
  Universe->SingleLoop();
}

void ProgramSimulationCycle() {
  Universe->SimulationCycle();
}

void ProgramDraw() {
  Field->Draw();
  Humanity->Draw();
  Game->Draw();
}

void ProgramQuarantine(int32_t ParaX, int32_t ParaY) {
  Humanity->Quarantine(ParaX, ParaY);
}

void ProgramInfect(int32_t ParaX, int32_t ParaY) {
  Humanity->Infect(ParaX, ParaY);
}
