// The program's folder and files, the error box, the fatal start-up exit and the quit sequence,
// shared by start-up and the scenes.
#pragma once
#include <string>

struct Game;

// Stops the music, hides the window, leaves full screen, frees the sounds and ends the game.
void QuitSequence(Game& g);
void ShowError(Game& g, const std::string& message);
// Shows `message` in an error box, ends the game before MainLoop starts.
void FatalStartupExit(Game& g, const std::string& message, bool decoderFailure);
// Working folder := the program's folder.
void EnterProgramFolder(Game& g);
std::string ProgramFile(Game& g, const std::string& name);
