// Stand-ins for the cut-scenes and the stage intro: no frames are drawn; each leaves the play
// state as its scene would at its end, and counts its call in Cutscenes. Replace with the
// real scenes (and delete this file) when they are written.
#include "game/play/cutscenes.h"
#include "game/play/play_internal.h"
#include "game/scenes.h"

using namespace play;

void PlayDoorScene(Game& g) {
  g.Cutscenes.DoorScenes++;
  for (int i = 1; i <= g.DoorList.Count; i++)
    if (CellAt(g, g.DoorList.X[i], g.DoorList.Y[i]) == ccDoorOpening) g.DoorList.State[i] = 2;
}

void PlayBarrierVanishScene(Game& g) {
  for (int i = 1; i <= g.JailList.Count; i++) {
    uint8_t& s = g.JailList.State[i];
    if (s <= 1)
      s = 43;
    else if (s <= 22)
      s = 23;
    SetCell(g, g.JailList.X[i], g.JailList.Y[i], ccJailOpen);
  }
  for (int i = 1; i <= g.BarrierList.Count; i++) {
    const uint8_t c = CellAt(g, g.BarrierList.X[i], g.BarrierList.Y[i]);
    if (c != ccBalloon && c != ccJumpPad) SetCell(g, g.BarrierList.X[i], g.BarrierList.Y[i], ccEmpty);
  }
  g.BarrierGone = 1;
  g.BallsTaken = 0;
  g.BallsInStage = 0;
}

void PlayBallsCompleteScene(Game& g) {
  g.Cutscenes.BallsCompleteScenes++;
  PlayBarrierVanishScene(g);
}

void PlayStageClearScene(Game& g) { g.Cutscenes.StageClearScenes++; }
void PlayStageClearSceneAlt(Game& g) { g.Cutscenes.StageClearAltScenes++; }

void RunStageIntro(Game& g) {
  g.Cutscenes.StageIntros++;
  SetCell(g, Rnd(g.PlayerX), Rnd(g.PlayerY), ccEmpty);
  g.SceneId = scPlay;
  g.KeyLatch = 0;
}
