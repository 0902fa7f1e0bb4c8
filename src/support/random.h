// The game's pseudo-random generator, whose exact sequence decides the deal of every stage.
#pragma once

#include <cstdint>

extern uint32_t randomState;

void SeedRandom(uint32_t seed);
int32_t NextRandom();
