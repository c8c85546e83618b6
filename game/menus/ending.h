// The ending: the ring, the staff roll, the closing messages, the title and the sprite show.
#pragma once

struct Game;

// Runs the whole ending in its own frame loop (the caller has asked for "never.ogg" and set
// the ending scene); returns with the title menu selected and its music asked for.
void RunEnding(Game& g);
// The credit cards, closing messages, title and "Fin.." for the current frame counter.
void DrawStaffRoll(Game& g);
// Draws and moves the ending's figures for the current frame counter.
void AnimateEndingActors(Game& g);
