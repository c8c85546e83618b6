// One-line summaries of the game state, for the headless runner and the tests' logs.
#pragma once
#include <string>

struct Game;

// "scene=<SceneId> stage=<StageIndex> ..." with the play fields appended.
std::string StateLine(const Game& g);
