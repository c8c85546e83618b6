// The progress step that ends a stage clear: the next built-in stage, the ending, or back to
// the EDIT GAME screen after a user stage.
#pragma once

struct Game;

void RunProgressStep(Game& g);
