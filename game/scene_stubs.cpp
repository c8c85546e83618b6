// Stand-ins for scenes not built yet: each does nothing, so MainLoop runs only its tail.
#include "game/game.h"
#include "game/scenes.h"

void RunOpening(Game&) {}
void RunTitleMenu(Game&) {}
void RunStageSelect(Game&) {}
void RunEditGameSelect(Game&) {}
void DrawPauseMenu(Game&) {}
void PauseMenuInput(Game&) {}
void ResetPlayState(Game&) {}
void DrawPlayField(Game&) {}
void TickAnimation(Game&) {}
void UpdateFallingObjects(Game&) {}
void HandlePlayInput(Game&) {}
void StepPlayerAction(Game&) {}
void ChooseNextAction(Game&) {}
void RunStageIntro(Game&) {}
