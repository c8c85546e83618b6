// The scene entry points MainLoop dispatches to, and the play-state reset start-up calls.
#pragma once

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
