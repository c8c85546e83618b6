// The title menu: NORMAL GAME, EDIT GAME, END and the hidden ending replay.
#include <cmath>

#include "game/menus/ending.h"
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

struct TitleItem {
  const char* text;
  int x, y;
};
constexpr TitleItem kTitleItems[3] = {{"NORMAL GAME", 368, 280}, {"EDIT GAME", 388, 340}, {"END", 446, 398}};

void CopyLowerPicture(Game& g) { CopyBlt(g.Art.ImgTitle, 0, 480, 640, 480, g.BackBuffer, 0, 0); }

void DrawTitleCursor(Game& g) {
  const int fc = g.FrameCounter;
  const float a = static_cast<float>(35 * std::sin(fc / 10.0));
  const int m = fc % 32;
  const float y0 = static_cast<float>(290 + 60 * g.TitleCursor);
  if (fc % 64 < 32) {
    const int rg = RoundEven(m / 2.0f + 230);
    DrawEllipse(g, Rgb(rg, rg, m + 160), bsSolid, pmMerge, 468 - a, y0 + a, 468 + m - a, y0 + m + a);
  } else {
    const int rg = RoundEven(246 - m / 2.0f);
    DrawEllipse(g, Rgb(rg, rg, 192 - m), bsSolid, pmMerge, 468 - a, y0 + a, 500 - m - a, y0 + 32 - m + a);
  }
}

void DrawTitleFrame(Game& g) {
  if (g.FadeInPending == 1) {
    CopyLowerPicture(g);
  } else {
    CopyBlt(g.Art.ImgTitle, 307, 55, 32, 32, g.BackBuffer, 307, 55);
    CopyBlt(g.Art.ImgTitle, 360, 730, 280, 230, g.BackBuffer, 360, 250);
  }
  if (BlinkLit(g) && g.TitleCursor >= 0 && g.TitleCursor <= 2) {
    const TitleItem& it = kTitleItems[g.TitleCursor];
    DrawText(g, 30, kLit, it.text, it.x, it.y);
  }
  if (g.HighestStage >= 49) {
    const int sx = (g.TitleSpriteFrame / 4) * 32;
    MaskedBlt(g.Art.ImgChar11, sx, 64, 96, 32, 32, g.BackBuffer, 307, 55);
    if (g.TitleCursor == tiEnding)
      TintedBlt(g, g.Art.ImgChar11, sx, 64, 96, 32, 32, g.BackBuffer, 307, 55,
                Grey(255 - 30 * (g.FrameCounter % 4)));
  }
  if (g.TitleCursor < 3) DrawTitleCursor(g);
  DrawOverlay(g);
  if (g.FadeInPending == 1) FadeInStep(g);
  PresentBackBuffer(g);
}

void RunHiddenEnding(Game& g) {
  WipeOut(g, true);
  ResetPlayAndCursors(g);
  DrawRect(g, kBlack, bsSolid, pmCopy, 0, 0, 640, 480);
  WaitMs(g, 278);
  Music(g, "never.ogg");
  MusicArm(g);
  g.FrameCounter = 0;
  g.SceneId = scEnding;
  RunEnding(g);
}

// Z on the selected item; false when the title loop is to return.
bool ChooseTitleItem(Game& g) {
  switch (g.TitleCursor) {
    case tiNormalGame:
      g.SceneId = scStageSelect;
      WipeOut(g, false);
      ResetPlayAndCursors(g);
      LoadStage(g);
      return false;
    case tiEditGame:
      g.SceneId = scEditSelect;
      WipeOut(g, false);
      ResetPlayAndCursors(g);
      g.UserStageCleared = 0;
      LoadStage(g);
      return false;
    case tiEnd: QuitSequence(g); return true;
    case tiEnding: RunHiddenEnding(g); return true;
    default: return true;
  }
}

// The keys of one title frame; false when the title loop is to return.
bool TitleKeys(Game& g) {
  if (LatchedKey(g, kVkUp)) {
    PlayWave(g, wpChoise1);
    if (--g.TitleCursor < 0) g.TitleCursor = 2;
    g.FrameCounter = 0;
  }
  if (LatchedKey(g, kVkDown)) {
    PlayWave(g, wpChoise1);
    if (++g.TitleCursor > 2) g.TitleCursor = 0;
    g.FrameCounter = 0;
  }
  if (g.KeyLatch == 0 && g.HighestStage >= 49 && KeyPressed(g, kVkE) && KeyPressed(g, kVkShift)) {
    g.KeyLatch = 1;
    PlayWave(g, wpChoise2);
    g.TitleCursor = g.TitleCursor == tiEnding ? tiNormalGame : tiEnding;
  }
  if (LatchedKey(g, kVkZ)) {
    PlayWave(g, wpOk1);
    if (g.MusicStartDelay > 10) g.MusicStartDelay = 10;
    return ChooseTitleItem(g);
  }
  return true;
}

}  // namespace

void RunTitleMenu(Game& g) {
  g.BlinkCounter = 0;
  g.TitleSpriteFrame = 0;
  FlushKeys(g);
  g.KeyLatch = 1;
  CopyLowerPicture(g);
  while (g.QuitRequested == 0) {
    BeginFrame(g);
    if (g.Paused == 0) {
      if (++g.FrameCounter > 64) g.FrameCounter = 0;
      if (++g.BlinkCounter > 22) g.BlinkCounter = 0;
      if (++g.TitleSpriteFrame > 15) g.TitleSpriteFrame = 0;
      DrawTitleFrame(g);
      if (!TitleKeys(g)) return;
      ReleaseKeyLatch(g);
    }
    EndFrame(g);
  }
}
