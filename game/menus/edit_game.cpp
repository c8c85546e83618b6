// The EDIT GAME screen: load a user stage file and play it (LOAD / PLAY / TITLE / END).
#include "game/menus/menu_common.h"
#include "game/menus/stage_select.h"
#include "game/play/play.h"
#include "game/scenes.h"
#include "game/shell/draw.h"
#include "game/shell/program.h"
#include "game/shell/frame.h"
#include "game/shell/music_control.h"
#include "game/shell/transitions.h"
#include "platform/api/keys.h"

using namespace menus;
using namespace plat;

namespace {

struct EditItem {
  const char* text;
  int x, cursorX;
};
constexpr EditItem kEditItems[4] = {{"LOAD", 70, 37}, {"PLAY", 210, 177}, {"TITLE", 350, 317}, {"END", 520, 487}};

// The preview's four corners, where the cleared markers stand.
constexpr int kCorners[4][2] = {{5, 5}, {5, 390}, {602, 5}, {602, 390}};

void ZeroObjectCounts(Game& g) {
  g.BalloonList.Count = 0;
  g.JumpPadList.Count = 0;
  g.BallsTaken = 0;
  g.BallsInStage = 0;
}

void LoadUserStage(Game& g) {
  OpenUserStage(g);
  UserStageToGrid(g);
  EnterProgramFolder(g);
  ZeroObjectCounts(g);
  BuildPreview(g);
  ShowBoardLayer(g);
  PlayWave(g, wpChoise2);
}

void PlayUserStage(Game& g, uint8_t altMode) {
  WipeOut(g, true);
  EnterUserStage(g, altMode);
}

// The title menu takes over with the first built-in stage, not the user stage.
void LeaveForTitle(Game& g) {
  g.StageIndex = 0;
  BackToTitle(g);
}

void DrawEditFrame(Game& g) {
  if (g.FadeInPending == 1) ShowBoardLayer(g);
  CopyBlt(g.Art.ImgChar18, 0, 96, 640, 48, g.BackBuffer, 0, 430);
  const EditItem& item = kEditItems[g.BarCursor & 3];
  if (g.BlinkCounter % 22 < 11) DrawText(g, 30, kLit, item.text, item.x, 435);
  DrawMenuCursor(g, item.cursorX, 440);
  if (++g.MarkerFrame > 15) g.MarkerFrame = 1;
  for (const auto& c : kCorners) DrawRect(g, kBlack, bsSolid, pmCopy, c[0], c[1], c[0] + 32, c[1] + 32);
  if (g.UserStageCleared == 1)
    for (const auto& c : kCorners)
      MaskedBlt(g.Art.ImgChar11, (g.MarkerFrame / 4) * 32, 0, 32, 32, 32, g.BackBuffer, c[0], c[1]);
  DrawText(g, 13, kWhite, "STAGE E", 270, 14);
  DrawOverlay(g);
  if (g.FadeInPending == 1) FadeInStep(g);
  PresentBackBuffer(g);
}

// The keys of one frame; false when the screen is left.
bool EditKeys(Game& g) {
  MoveBarCursor(g);
  if (g.KeyLatch == 0 && KeyPressed(g, kVkZ)) {
    g.KeyLatch = 1;
    switch (g.BarCursor) {
      case eiLoad:
        PlayWave(g, wpChoise2);
        LoadUserStage(g);
        break;
      case eiPlay:
        PlayWave(g, wpOk1);
        PlayUserStage(g, 0);
        return false;
      case eiTitle:
        PlayWave(g, wpOk1);
        LeaveForTitle(g);
        return false;
      case eiEnd:
        PlayWave(g, wpOk1);
        QuitSequence(g);
        break;
      default: break;
    }
  }
  if (g.KeyLatch == 0 && g.BarCursor == eiPlay && KeyPressed(g, kVkM) && KeyPressed(g, kVkShift)) {
    PlayWave(g, wpOk1);
    PlayUserStage(g, 1);
    return false;
  }
  if (g.KeyLatch == 0 && (KeyPressed(g, kVkEscape) || KeyPressed(g, kVkX))) {
    PlayWave(g, wpOk1);
    LeaveForTitle(g);
    return false;
  }
  return true;
}

}  // namespace

void EnterUserStage(Game& g, uint8_t altMode) {
  ZeroObjectCounts(g);
  g.KeysHeld = 0;
  g.StageIndex = kUserStageIndex;
  g.AltMode = altMode;
  SetupPlayBoard(g);
  PlayAreaMusic(g);
  MusicArm(g);
  g.FrameCounter = 0;
  g.SceneId = scStageStart;
}

void RunEditGameSelect(Game& g) {
  BuildPreview(g);
  while (g.QuitRequested == 0) {
    BeginFrame(g);
    if (g.Paused == 0) {
      ++g.FrameCounter;
      ++g.BlinkCounter;
      if (g.FrameCounter % 7 == 6 && ++g.CursorFrame > 2) g.CursorFrame = 0;
      if (g.FrameCounter > 63) g.FrameCounter = 0;
      if (g.BlinkCounter > 22) g.BlinkCounter = 0;
      DrawEditFrame(g);
      if (!EditKeys(g)) return;
    }
    ReleaseKeyLatch(g);
    EndFrame(g);
  }
}
