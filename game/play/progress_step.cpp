// The progress step after the stage-clear scene: records the clear and leads to the next
// built-in stage, to the ending after stage 49 or 54, or back to EDIT GAME after a user stage.
#include "game/play/progress_step.h"

#include "game/menus/ending.h"
#include "game/menus/progress_record.h"
#include "game/menus/stage_select.h"
#include "game/play/play_internal.h"
#include "game/scenes.h"
#include "game/shell/frame.h"
#include "game/shell/music_control.h"
#include "game/shell/transitions.h"


using namespace play;

namespace {

void SetSlotVolumeFull(Game& g) {
  if (g.OggPlayer) g.OggPlayer->SetSlotVolume(0, 1.0f);
}

void BackToEditGame(Game& g) {
  SaveUserStage(g);
  g.SceneId = scEditSelect;
  g.PauseCursor = 0;
  g.FrameCounter = 0;
  g.BarCursor = 0;
  g.KeysHeld = 0;
  g.PadLaunchCut = 0;
  g.HoldingObject = 0;
  for (TCellList* l : {&g.BallList, &g.JailList, &g.ConveyorRightList, &g.ConveyorLeftList, &g.CloudList}) l->Count = 0;
  g.BallsTaken = 0;
  g.BallsInStage = 0;
  ClearItemStates(g);
  for (int i = 0; i <= 20; i++) g.JumpPadList.Pose[i] = 0;
  g.ObjAnimFrame = g.ItemAnimFrame = g.GoalAnimFrame = g.BarrierBlinkTick = 0;
  BlackOut(g);
  PlayMusic(g, "rhythmicpark.ogg");
  if (g.AltMode == 0)
    SetSlotVolumeFull(g);
  else
    ArmMusicStart(g);
  UserStageToGrid(g);
}

void ToEnding(Game& g) {
  g.StageIndex++;
  BlackOut(g);
  RecordStageClear(g);
  ResetPlayState(g);
  WaitMs(g, g.AltMode == 0 ? 590 : 442);
  PlayMusic(g, "never.ogg");
  ArmMusicStart(g);
  g.FrameCounter = 0;
  g.SceneId = scEnding;
  RunEnding(g);
}

void ToNextStage(Game& g) {
  g.StageIndex++;
  BlackOut(g);
  RecordStageClear(g);
  ResetPlayState(g);
  LoadStage(g);
  SetupPlayBoard(g);
  PlayAreaMusic(g);
  ArmMusicStart(g);
  g.FrameCounter = 0;
  g.SceneId = scStageStart;
}

}  // namespace

void RunProgressStep(Game& g) {
  g.PlayerX = 12.0f;
  g.PlayerY = 12.0f;
  if (g.StageIndex == kUserStageIndex)
    BackToEditGame(g);
  else if (g.StageIndex == 49 || g.StageIndex == 54)
    ToEnding(g);
  else
    ToNextStage(g);
}
