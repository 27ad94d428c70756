// The world registry: the procedures through which the application shell creates and frees
// the five world objects, sizes the field, starts and advances the world, and applies the
// player's clicks. It keeps no state of its own. Drawing the world lives with the scene.
#pragma once

#include <cstdint>

// Field, Humanity, Disease, Game, Universe, in this order.
void ProgramCreate();
// Frees the world in reverse order of creation and leaves every world global null, so a late
// paint or click finds no world instead of freed objects.
void ProgramDestroy();
// Both dimensions first, then one re-scatter over the new size.
void ProgramSetFieldSize(int32_t ParaWidth, int32_t ParaHeight);
void ProgramStartup();
// One paced cycle.
void ProgramSingleLoop();
// One cycle without pacing, for drivers that run cycles back to back.
void ProgramSimulationCycle();
// Draws the world: the field, every person, then the game-over overlay. Needs a current
// rendering context whose projection maps one unit to one pixel.
void ProgramDraw();
void ProgramQuarantine(int32_t ParaX, int32_t ParaY);
void ProgramInfect(int32_t ParaX, int32_t ParaY);
