// The all-balls scene: four dots spiral into the player, then rings spread from him; then the
// barrier-vanish scene runs.
#include <cmath>

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

constexpr long double kPi = 3.1415926535L;

void DrawDots(Game& g, int f, long double cx, long double cy) {
  if (f == 1) PlayWave(g, wpBoal);
  const long double rho = 4.0L * (30 - f);
  for (int k = 1; k <= 4; k++) {
    const long double a = f * k * kPi / 28;
    const long double x = cx + rho * std::cos(a), y = cy + rho * std::sin(a);
    DrawEllipse(g, Grey(3 * f + 130), bsSolid, pmMerge, static_cast<float>(x - 3), static_cast<float>(y - 3),
                static_cast<float>(x + 3), static_cast<float>(y + 3));
  }
}

void Ring(Game& g, uint32_t grey, long double cx, long double cy, int r) {
  DrawEllipse(g, Grey(grey), bsClear, pmMerge, static_cast<float>(cx - r), static_cast<float>(cy - r),
              static_cast<float>(cx + r), static_cast<float>(cy + r));
}

void DrawRings(Game& g, int f, long double cx, long double cy) {
  if (f == 7 || f == 40) PlayWave(g, wpOk1);
  for (int extra = 0; extra <= 1; extra++) {
    if (f > 7) Ring(g, 220 - 3 * (f - 7), cx, cy, 2 * (f - 7) + extra);
    if (f > 11) Ring(g, 205 - 3 * (f - 11), cx, cy, 2 * (f - 11) + extra);
  }
  if (f > 40)
    for (int extra = 0; extra <= 2; extra++) Ring(g, 155 - 4 * (f - 40), cx, cy, 5 * (f - 40) + extra);
}

// One loop of the scene: `frames` frames over a restored square of `side` pixels round the player.
void BallsLoop(Game& g, int frames, int side, int cells, void (*effect)(Game&, int, long double, long double)) {
  g.BallsSceneFrame = 0;
  while (g.QuitRequested == 0) {
    BeginFrame(g);
    if (g.Paused == 0) {
      const int f = ++g.BallsSceneFrame;
      const long double cx = 32.0L * g.PlayerX + 16, cy = 32.0L * g.PlayerY + 16;
      scene::RestoreField(g, false, Rnd(32.0L * (static_cast<long double>(g.PlayerX) - cells)),
                          Rnd(32.0L * (static_cast<long double>(g.PlayerY) - cells)), side, side);
      scene::LowerLayers(g);
      DrawPlayer(g);
      scene::Jails(g);
      effect(g, f, cx, cy);
      scene::Hud(g);
      DrawOverlay(g);
      PresentBackBuffer(g);
      TickAnimation(g);
      scene::ReleaseLatchAndFlush(g);
    }
    ServeFrame(g);
    if (g.BallsSceneFrame >= frames) break;  // the last frame is not paced
    PaceFrame(g);
  }
}

}  // namespace

void PlayBallsCompleteScene(Game& g) {
  g.Cutscenes.BallsCompleteScenes++;
  scene::StillPose(g);
  BallsLoop(g, 31, 256, 3, DrawDots);
  BallsLoop(g, 78, 352, 5, DrawRings);
  PlayBarrierVanishScene(g);
}
