// The outer scene loop: it dispatches each frame to the current scene, above the frame
// services the scenes share.
#include "game/shell/main_loop.h"

#include "game/game.h"
#include "game/scenes.h"
#include "game/shell/frame.h"

void RunSceneFrame(Game& g) {
  switch (g.SceneId) {
    case scTitleMenu: RunTitleMenu(g); break;
    case scEditSelect: RunEditGameSelect(g); break;
    case scPlay:
      DrawPlayField(g);
      TickAnimation(g);
      UpdateFallingObjects(g);
      HandlePlayInput(g);
      StepPlayerAction(g);
      if (g.ActionCode == 0 && g.ActionFrames == 0) ChooseNextAction(g);
      break;
    case scPause:
      DrawPauseMenu(g);
      PauseMenuInput(g);
      break;
    case scStageSelect: RunStageSelect(g); break;
    case scStageStart:
      if (g.FadeInPending == 1) {
        DrawPlayField(g);
        TickAnimation(g);
      } else {
        RunStageIntro(g);
      }
      break;
    case scOpening: RunOpening(g); break;
    default: break;  // 6 lives inside the stage select; 9 is run by whoever selects it
  }
}

void MainLoop(Game& g) {
  while (g.QuitRequested == 0) {
    BeginFrame(g);
    if (g.Paused == 0) RunSceneFrame(g);
    FullFrameTail(g);
  }
}
