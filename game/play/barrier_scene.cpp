// The barrier-vanish scene: every barrier glows and fades away, and at frame 50 the barriers
// are removed, the jails opened for good and the ball counters cleared.
#include "game/play/cutscenes.h"
#include "game/play/play_internal.h"
#include "game/play/scene_field.h"
#include "game/scenes.h"
#include "game/shell/draw.h"
#include "game/shell/frame.h"
#include "game/shell/music_control.h"
#include "game/shell/transitions.h"

using namespace play;

namespace {

void OpenJailsForGood(Game& g) {
  for (int i = 1; i <= g.JailList.Count; i++) {
    uint8_t& s = g.JailList.State[i];
    if (s <= 1)
      s = 43;
    else if (s <= 22)
      s = 23;
    SetCell(g, g.JailList.X[i], g.JailList.Y[i], ccJailOpen);
  }
  g.BallsTaken = 0;
  g.BallsInStage = 0;
}

// In place of the barrier layer: the tile under a brightening glow, then the bare cell under a
// fading one, then nothing.
void DrawVanishingBarriers(Game& g, int f, bool& soundPlayed) {
  for (int i = 1; i <= g.BarrierList.Count; i++) {
    const int X = g.BarrierList.X[i], Y = g.BarrierList.Y[i];
    const int x = 32 * X, y = 32 * Y;
    if (f < 30) {
      if (f == 1 && !soundPlayed) {
        PlayWave(g, wpBarrior);
        soundPlayed = true;
      }
      const int t = g.BarrierBlinkTick;
      const int c = t < 80 ? 0 : t < 84 ? 32 : t < 88 ? 64 : 96;
      CopyBlt(g.Art.ImgChar10, c, 96 * g.StageStyle[ssBarrier] + 32 * g.StageStyle[ssBackground], 32, 32,
              g.BackBuffer, x, y);
      DrawRoundRect(g, Grey((6 * f) & 0xFF), bsSolid, pmMerge, x, y, x + 32, y + 32, 18, 18);
    } else {
      CopyBlt(g.BoardLayer, x, y, 32, 32, g.BackBuffer, x, y);
      DrawRoundRect(g, Grey((165 - 7 * (f - 30)) & 0xFF), bsSolid, pmMerge, x, y, x + 32, y + 32, 18, 18);
    }
    if (f >= 50) {
      g.BarrierGone = 1;
      const uint8_t code = CellAt(g, X, Y);
      if (code != ccBalloon && code != ccJumpPad) SetCell(g, X, Y, ccEmpty);
      CopyBlt(g.BoardLayer, x, y, 32, 32, g.BackBuffer, x, y);
    }
  }
}

}  // namespace

void PlayBarrierVanishScene(Game& g) {
  g.BallsSceneFrame = 0;
  bool soundPlayed = false;
  while (g.QuitRequested == 0) {
    BeginFrame(g);
    if (g.Paused == 0) {
      const int f = ++g.BallsSceneFrame;
      if (f == 50) OpenJailsForGood(g);
      scene::RestoreField(g, false, scene::PlayerRestoreX(g), scene::PlayerRestoreY(g), 56, 56);
      scene::Doors(g);
      scene::Keys(g);
      scene::Balls(g);
      scene::Clouds(g);
      scene::Conveyors(g);
      DrawVanishingBarriers(g, f, soundPlayed);
      scene::Goal(g);
      scene::Balloons(g);
      scene::JumpPads(g);
      DrawPlayer(g);
      int openings = 0;
      scene::Jails(g, f, &openings);
      for (int i = 0; i < openings; i++) PlayWave(g, wpRouya);  // one per jail, each cutting the last
      scene::Hud(g);
      DrawOverlay(g);
      PresentBackBuffer(g);
      TickAnimation(g);
      scene::ReleaseLatchAndFlush(g);
    }
    ServeFrame(g);
    if (g.BallsSceneFrame > 50) break;  // the last frame is not paced
    PaceFrame(g);
  }
  // The alternate mode ends a hop over at once when play resumes.
  if (g.AltMode == 1 && (g.ActionCode == paHopOverRight || g.ActionCode == paHopOverLeft)) g.ActionFrames = 0;
}
