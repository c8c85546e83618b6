// The scene entry points MainLoop dispatches to, and the play-state reset start-up calls.
#pragma once
#include <cstdint>

struct Game;

// Menus (own frame loops until they change SceneId).
void RunOpening(Game& g);
void RunTitleMenu(Game& g);
void RunStageSelect(Game& g);
void RunEditGameSelect(Game& g);
void DrawPauseMenu(Game& g);
void PauseMenuInput(Game& g);

// Play.
void ResetPlayState(Game& g);
void DrawPlayField(Game& g);
void TickAnimation(Game& g);
void UpdateFallingObjects(Game& g);
void HandlePlayInput(Game& g);
void StepPlayerAction(Game& g);
void ChooseNextAction(Game& g);
void RunStageIntro(Game& g);

// A stage's start as the stage select's PLAY and the edit menu's PLAY make it after their wipe:
// the board set up, the area music armed, the stage start scene next. The game, the headless
// runner and the tests all start a stage here. keepSong: the song playing goes on (M+Shift).
void EnterBuiltinStage(Game& g, bool keepSong);
// The user stage already in the grid; altMode as the menu chose it.
void EnterUserStage(Game& g, uint8_t altMode);
// The stage intro's end: the player's start cell emptied, play from the next frame.
void EndStageIntro(Game& g);
