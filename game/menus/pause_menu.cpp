// The pause menu over the frozen play field: EXIT, RESTART, SELECT, TITLE, END.
#include "game/menus/menu_common.h"
#include "game/menus/stage_select.h"
#include "game/play/play.h"
#include "game/scenes.h"
#include "game/shell/draw.h"
#include "game/shell/program.h"
#include "game/shell/frame.h"
#include "game/shell/transitions.h"
#include "platform/api/keys.h"
#include "platform/api/raster.h"

using namespace menus;
using namespace plat;

namespace {

constexpr const char* kPauseItems[5] = {"EXIT", "RESTART", "SELECT", "TITLE", "END"};

void Resume(Game& g) {
  g.SceneId = scPlay;
  g.PauseCursor = 0;
  CopyBlt(g.BoardLayer, 0, 0, 646, 505, g.BackBuffer, 0, 0);
}

void Restart(Game& g) {
  WipeOut(g, false);
  ResetPlayAndCursors(g);
  if (g.StageIndex == kUserStageIndex)
    UserStageToGrid(g);
  else
    LoadStage(g);
  SetupPlayBoard(g);
  PlayAreaMusic(g);
  MusicArm(g);
  g.SceneId = scStageStart;
}

// What SELECT clears of the play state; the select screen builds its preview when it starts.
void ClearPlayForSelect(Game& g) {
  g.PauseCursor = 0;
  g.FrameCounter = 0;
  g.BarCursor = 0;
  g.KeysHeld = 0;
  g.HoldingObject = 0;
  g.PadLaunchCut = 0;
  EmptyObjectLists(g);
  g.BallsTaken = 0;
  g.BallsInStage = 0;
  ClearItemStates(g);
  g.JumpPadList.Pose.fill(0);
  g.ObjAnimFrame = g.ItemAnimFrame = g.GoalAnimFrame = g.BarrierBlinkTick = 0;
}

void TitleMusicAndBlackBoard(Game& g) {
  WipeOut(g, true);
  Music(g, "rhythmicpark.ogg");
  MusicArm(g);
  BlackBoardLayer(g, 646, 446);
}

void Select(Game& g) {
  const bool user = g.StageIndex == kUserStageIndex;
  g.SceneId = user ? scEditSelect : scStageSelect;
  ClearPlayForSelect(g);
  TitleMusicAndBlackBoard(g);
  if (user)
    UserStageToGrid(g);
  else
    LoadStage(g);
}

void Title(Game& g) {
  g.SceneId = scTitleMenu;
  if (g.StageIndex == kUserStageIndex) g.StageIndex = 0;
  TitleMusicAndBlackBoard(g);
  ResetPlayAndCursors(g);
}

}  // namespace

void DrawPauseMenu(Game& g) {
  if (++g.BlinkCounter > 22) g.BlinkCounter = 0;
  CopyBlt(g.BoardLayer, 565, 455, 80, 30, g.BackBuffer, 565, 455);
  for (int k = 0; k < 4; ++k)
    gfx::BitBlt(g.BackBuffer, 565 + 32 * k, 454, 32, 32, g.Art.ImgAnten, 64, 0, gfx::Rop::And);
  DrawRect(g, kBlack, bsSolid, pmCopy, 220, 140, 440, 340);
  DrawMenuCursor(g, 225, 145 + 40 * g.PauseCursor);
  for (int i = 0; i < 5; ++i)
    DrawText(g, 30, i == g.PauseCursor && BlinkLit(g) ? kLit : kDim, kPauseItems[i], 260, 140 + 40 * i);
  ++g.FrameCounter;
  if (g.FrameCounter % 7 == 6 && ++g.CursorFrame > 2) g.CursorFrame = 0;
  if (g.FrameCounter >= 42) g.FrameCounter = 0;
  DrawOverlay(g);
  if (g.FadeInPending == 1) FadeInStep(g);
  PresentBackBuffer(g);
}

void PauseMenuInput(Game& g) {
  if (LatchedKey(g, kVkUp)) {
    PlayWave(g, wpChoise1);
    if (--g.PauseCursor < 0) g.PauseCursor = 4;
  }
  if (LatchedKey(g, kVkDown)) {
    PlayWave(g, wpChoise1);
    if (++g.PauseCursor > 4) g.PauseCursor = 0;
  }
  if (LatchedKey(g, kVkZ)) {
    switch (g.PauseCursor) {
      case piExit:
        PlayWaveNoStop(g, wpWindow);
        Resume(g);
        break;
      case piRestart:
        PlayWave(g, wpOk1);
        Restart(g);
        break;
      case piSelect:
        PlayWave(g, wpOk1);
        Select(g);
        break;
      case piTitle:
        PlayWave(g, wpOk1);
        Title(g);
        break;
      case piEnd:
        PlayWave(g, wpOk1);
        QuitSequence(g);
        break;
      default: break;
    }
  }
  if (LatchedKey(g, kVkX) || LatchedKey(g, kVkEscape)) {
    PlayWaveNoStop(g, wpWindow);
    Resume(g);
  }
}
