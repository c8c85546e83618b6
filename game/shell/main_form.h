// The game's entry and main form: single-instance guard, start-up and the form's handlers.
#pragma once

struct Game;

// Runs the whole program on the host: guard, start-up, the game, tear-down. Returns the exit
// status of the process.
int ProgramMain(Game& g);
// The form's creation: the whole start-up and then the game; returns when the game has ended.
void FormCreate(Game& g);
void FormDestroy(Game& g);
void FormPaint(Game& g);
bool OnCloseQuery(Game& g);
