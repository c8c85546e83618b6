// The stage-select screen: the bar (STAGE / PLAY / TITLE / END) and the stage-number picker.
#include "game/menus/stage_select.h"

#include "game/menus/menu_common.h"
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

struct BarItem {
  const char* text;
  int x;
};
constexpr BarItem kBarItems[4] = {{"STAGE", 50}, {"PLAY", 210}, {"TITLE", 350}, {"END", 520}};

bool AllCleared(const Game& g) { return g.ClearedCount == 55; }

// The picker strip's rows in ImgChar18 for this frame's blink state: the plain strip, the
// all-clear strip, and the one the whole strip is drawn from.
int PlainStripRow(const Game& g) { return g.BlinkCounter % 22 > 10 ? 0 : 144; }
int AllClearStripRow(const Game& g) { return g.BlinkCounter % 22 > 10 ? 192 : 240; }
int PickerStripRow(const Game& g) { return AllCleared(g) ? AllClearStripRow(g) : PlainStripRow(g); }

void DrawStageHeader(Game& g) { DrawText(g, 13, kWhite, "STAGE " + std::to_string(g.StageIndex + 1), 270, 14); }

void DrawHighest(Game& g) { DrawText(g, 30, kDim, TwoDigits(g.HighestStage + 1), 241, 435); }

void DrawCounts(Game& g) {
  DrawText(g, 10, kDim, TwoDigits(g.HighestStage + 1), 557, 433);
  DrawText(g, 12, kDim, TwoDigits(g.HighestStage + 1 - g.ClearedCount), 535, 462);
}

// The whole picker strip with what stands on it, drawn when the picker opens or the stage changes.
void DrawFullPicker(Game& g) {
  CopyBlt(g.Art.ImgChar18, 0, PickerStripRow(g), 640, 48, g.BackBuffer, 0, 430);
  DrawHighest(g);
  DrawAreaName(g);
  if (!AllCleared(g)) DrawCounts(g);
  DrawStageHeader(g);
}

void DrawBase(Game& g) {
  ShowBoardLayer(g);
  CopyBlt(g.Art.ImgChar18, 0, PickerStripRow(g), 640, 48, g.BackBuffer, 0, 430);
  DrawHighest(g);
  DrawAreaName(g);
  DrawStageHeader(g);
}

void StartStage(Game& g, bool alternate) {
  if (alternate)
    g.AltMode = g.StageIndex < 50 ? 1 : 0;
  else
    g.AltMode = g.StageIndex >= 50 ? 1 : 0;
  WipeOut(g, true);
  EnterBuiltinStage(g, alternate);  // M+Shift keeps the song going into PlayAreaMusic
}

// The picker changed the stage: load it and redraw the base.
void RedrawAfterStep(Game& g) {
  LoadStage(g);
  g.BalloonList.Count = 0;
  g.JumpPadList.Count = 0;
  BuildPreview(g);
  ShowBoardLayer(g);
  DrawFullPicker(g);
}

}  // namespace

void EnterBuiltinStage(Game& g, bool keepSong) {
  ResetPlayAndCursors(g);
  LoadStage(g);
  SetupPlayBoard(g);
  if (!keepSong) MusicStop(g);
  PlayAreaMusic(g);
  MusicArm(g);
  g.FrameCounter = 0;
  g.SceneId = scStageStart;
}

void StageSelectBar(Game& g) {
  const BarItem& item = kBarItems[g.BarCursor & 3];
  if (g.BlinkCounter % 22 < 11) DrawText(g, 30, kLit, item.text, item.x, 435);
  DrawMenuCursor(g, item.x - 33, 440);
  DrawStageHeader(g);
  DrawOverlay(g);
  if (g.FadeInPending == 1) FadeInStep(g);
  PresentBackBuffer(g);

  MoveBarCursor(g);
  if (g.KeyLatch == 0 && KeyPressed(g, kVkZ)) {
    g.KeyLatch = 1;
    switch (g.BarCursor) {
      case siStage:
        PlayWave(g, wpChoise2);
        g.BarCursor = 1;
        DrawFullPicker(g);
        g.SceneId = scStageNumber;
        break;
      case siPlay:
        PlayWave(g, wpOk1);
        StartStage(g, false);
        return;
      case siTitle:
        PlayWave(g, wpOk1);
        BackToTitle(g);
        return;
      case siEnd:
        PlayWave(g, wpOk1);
        QuitSequence(g);
        break;
      default: break;
    }
  }
  if (LatchedKey(g, kVkH)) {
    PlayWave(g, wpKey);
    ShowStageHint(g);
  }
  bool alternateStarted = false;
  if (g.KeyLatch == 0 && g.BarCursor == siPlay && KeyPressed(g, kVkM) && KeyPressed(g, kVkShift)) {
    PlayWave(g, wpOk1);
    StartStage(g, true);
    alternateStarted = true;
  }
  if (!alternateStarted && g.KeyLatch == 0 && (KeyPressed(g, kVkEscape) || KeyPressed(g, kVkX))) {
    g.KeyLatch = 1;
    PlayWave(g, wpOk1);
    BackToTitle(g);
  }
}

void StageNumberPicker(Game& g) {
  DrawMenuCursor(g, 17, 440);
  DrawText(g, 30, kDim, TwoDigits(g.StageIndex + 1), 180, 435);
  const int m = g.FrameCounter % 32;
  const uint32_t frame = g.FrameCounter < 32 ? Rgb(2 * m + 40, 4 * m + 70, m + 150)
                                             : Rgb(101 - 3 * m, 194 - 4 * m, m + 181);
  if (g.BarCursor == 0)
    DrawRect(g, frame, bsClear, pmCopy, 179, 438, 200, 472);
  else
    DrawRect(g, frame, bsClear, pmCopy, 200, 438, 221, 472);
  if (g.StageIndex < g.StageCleared.size() && g.StageCleared[g.StageIndex] == 1) {
    if (g.StageIndex >= 50) {
      DrawRect(g, kBlack, bsSolid, pmCopy, 468, 439, 480, 441);
      MaskedBlt(g.Art.ImgChar11, 128, 0, 32, 32, 32, g.BackBuffer, 458, 439 + g.MarkerFrame / 8);
    } else {
      MaskedBlt(g.Art.ImgChar11, 32 * (g.MarkerFrame / 4), 0, 32, 32, 32, g.BackBuffer, 460, 440);
    }
  }
  DrawOverlay(g);
  if (g.FadeInPending == 1) FadeInStep(g);
  PresentBackBuffer(g);

  // Up and Down repeat by their own delay instead of the latch.
  if (g.PickerRepeatDelay == 0 && KeyPressed(g, kVkUp)) {
    PlayWave(g, wpChoise2);
    g.PickerRepeatDelay = 4;
    int s = g.StageIndex + (g.BarCursor == 0 ? 10 : 1);
    if (s > g.HighestStage) s = g.HighestStage;
    // Whatever the record says, the picker stays on the course (255 is the user stage).
    if (s > kLastBonusStage) s = kLastBonusStage;
    g.StageIndex = static_cast<uint8_t>(s);
    RedrawAfterStep(g);
  }
  if (g.PickerRepeatDelay == 0 && KeyPressed(g, kVkDown)) {
    PlayWave(g, wpChoise2);
    g.PickerRepeatDelay = 4;
    if (g.BarCursor == 0)
      g.StageIndex = g.StageIndex > 9 ? static_cast<uint8_t>(g.StageIndex - 10) : 0;
    else if (g.StageIndex > 0)
      g.StageIndex = static_cast<uint8_t>(g.StageIndex - 1);
    RedrawAfterStep(g);
  }
  if (LatchedKey(g, kVkLeft) || LatchedKey(g, kVkRight)) {
    PlayWave(g, wpChoise1);
    g.BarCursor = g.BarCursor == 0 ? 1 : 0;
  }
  if (LatchedKey(g, kVkH)) {
    PlayWave(g, wpKey);
    ShowStageHint(g);
  }
  if (g.KeyLatch == 0 && (KeyPressed(g, kVkZ) || KeyPressed(g, kVkEscape) || KeyPressed(g, kVkX))) {
    g.KeyLatch = 1;
    PlayWave(g, wpChoise2);
    g.SceneId = scStageSelect;
    g.BarCursor = 0;
  }
}

void RunStageSelect(Game& g) {
  BuildPreview(g);
  g.PickerRepeatDelay = 0;
  while (g.QuitRequested == 0) {
    BeginFrame(g);
    if (g.Paused == 0) {
      ++g.FrameCounter;
      ++g.BlinkCounter;
      if (g.FrameCounter % 7 == 6 && ++g.CursorFrame > 2) g.CursorFrame = 0;
      if (++g.MarkerFrame > 15) g.MarkerFrame = 1;
      if (g.FrameCounter > 63) g.FrameCounter = 0;
      if (g.BlinkCounter > 22) g.BlinkCounter = 0;

      if (g.FadeInPending == 1) DrawBase(g);
      if (g.SceneId == scStageSelect) {
        CopyBlt(g.Art.ImgChar18, 0, 48, 640, 48, g.BackBuffer, 0, 430);
        StageSelectBar(g);
        if (g.SceneId != scStageSelect && g.SceneId != scStageNumber) return;
      } else if (g.SceneId == scStageNumber) {
        CopyBlt(g.Art.ImgChar18, 0, PlainStripRow(g), 225, 48, g.BackBuffer, 0, 430);
        if (!AllCleared(g)) {
          CopyBlt(g.Art.ImgChar18, 565, 0, 80, 42, g.BackBuffer, 565, 430);
          DrawCounts(g);
        } else {
          CopyBlt(g.Art.ImgChar18, 505, AllClearStripRow(g), 135, 48, g.BackBuffer, 505, 430);
        }
        DrawRect(g, kBlack, bsSolid, pmCopy, 455, 440, 495, 475);
        StageNumberPicker(g);
      }
      if (g.PickerRepeatDelay > 0) {
        --g.PickerRepeatDelay;
        FlushKeys(g);
      }
    }
    ReleaseKeyLatch(g);
    EndFrame(g);
  }
}
