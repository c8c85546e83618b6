// What the menu screens share: sounds, music requests, cursors and small drawing helpers.
#include "game/menus/menu_common.h"

#include "game/play/play_sounds.h"
#include "game/scenes.h"
#include "game/shell/draw.h"
#include "game/shell/frame.h"
#include "game/shell/music_control.h"
#include "game/shell/transitions.h"
#include "platform/api/keys.h"
#include "platform/api/raster.h"

namespace menus {

void Music(Game& g, const std::string& file) {
  g.MusicLog.push_back("play " + file);
  PlayMusic(g, file);
}

void MusicStop(Game& g) {
  g.MusicLog.push_back("stop");
  StopMusic(g);
}

void MusicArm(Game& g) {
  g.MusicLog.push_back("arm");
  ArmMusicStart(g);
}

void ResetPlayAndCursors(Game& g) {
  ResetPlayState(g);
  g.TitleCursor = 0;
  g.PauseCursor = 0;
  g.BarCursor = 0;
}

bool LatchedKey(Game& g, int vk) {
  if (g.KeyLatch != 0 || !KeyPressed(g, vk)) return false;
  g.KeyLatch = 1;
  return true;
}

void MoveBarCursor(Game& g) {
  if (LatchedKey(g, plat::kVkLeft)) {
    PlayWave(g, wpChoise1);
    if (--g.BarCursor < 0) g.BarCursor = 3;
  }
  if (LatchedKey(g, plat::kVkRight)) {
    PlayWave(g, wpChoise1);
    if (++g.BarCursor > 3) g.BarCursor = 0;
  }
}

void BackToTitle(Game& g) {
  g.SceneId = scTitleMenu;
  g.FrameCounter = 0;
  g.TitleCursor = 0;
  WipeOut(g, false);
  WaitMs(g, 200);
}

bool BlinkLit(const Game& g) { return g.BlinkCounter % 22 <= 10; }

void DrawMenuCursor(Game& g, int x, int y) {
  MaskedBltX(g.Art.ImgChar7, 32 * g.CursorFrame, 96, 0, 32, 32, g.BackBuffer, x, y);
}

void BlackBoardLayer(Game& g, int x2, int y2) {
  plat::gfx::Rectangle(g.BoardLayer, 0, 0, x2, y2, kBlack, plat::gfx::Fill::Solid, plat::gfx::PenMode::Copy);
}

std::string TwoDigits(int v) {
  std::string s = std::to_string(v);
  return s.size() < 2 ? "0" + s : s;
}

}  // namespace menus
