// The game's entry and main form: single-instance guard, start-up, the fatal start-up exit,
// the quit sequence and the form's handlers.
#pragma once
#include <string>

struct Game;

// Runs the whole program on the host: guard, start-up, the game, tear-down. Returns the exit
// status of the process.
int ProgramMain(Game& g);
// The form's creation: the whole start-up and then the game; returns when the game has ended.
void FormCreate(Game& g);
void FormDestroy(Game& g);
void FormPaint(Game& g);
bool OnCloseQuery(Game& g);
void QuitSequence(Game& g);
// Shows `message` in an error box, ends the game before MainLoop starts.
void FatalStartupExit(Game& g, const std::string& message, bool decoderFailure);
void ShowError(Game& g, const std::string& message);
// Working folder := the program's folder.
void EnterProgramFolder(Game& g);
std::string ProgramFile(Game& g, const std::string& name);
