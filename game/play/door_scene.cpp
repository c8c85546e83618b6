// The door scene: a door opened with a key flashes and fades back while two rings spread from
// it; at its end the door is gone from the grid.
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

void DrawDoors(Game& g, int f) {
  for (int i = 1; i <= g.DoorList.Count; i++) {
    const int x = 32 * g.DoorList.X[i], y = 32 * g.DoorList.Y[i];
    const uint8_t s = g.DoorList.State[i];
    if (s == 0 || s == 1) MaskedBlt(g.Art.ImgMap1, 64, 0, 32, 32, 32, g.BackBuffer, x, y);
    if (s == 1 && f < 32) TintedBlt(g, g.Art.ImgMap1, 64, 0, 32, 32, 32, g.BackBuffer, x, y, Grey(230 - 3 * f));
  }
  if (f == 1) PlayWave(g, wpDoor);
}

void DrawDoorFrame(Game& g, int f) {
  scene::RestoreField(g, true, scene::PlayerRestoreX(g), scene::PlayerRestoreY(g), 56, 56);
  DrawDoors(g, f);
  scene::Keys(g);
  scene::Balls(g);
  scene::Clouds(g);
  scene::Conveyors(g);
  scene::Barriers(g);
  scene::Goal(g);
  scene::Balloons(g);
  scene::JumpPads(g);
  DrawPlayer(g);
  scene::Jails(g);
  if (f <= 33) {
    const int cx = 32 * g.DoorTargetX + 16, cy = 32 * g.DoorTargetY + 16;
    for (int i = 0; i <= 1; i++)
      DrawEllipse(g, Grey(255 - 7 * f), bsClear, pmMerge, cx - 2 * f - i, cy - 2 * f - i, cx + 2 * f + i,
                  cy + 2 * f + i);
  }
  scene::Hud(g);
  DrawOverlay(g);
  if (g.FadeInPending == 1) FadeInStep(g);
  PresentBackBuffer(g);
}

}  // namespace

void PlayDoorScene(Game& g) {
  g.Cutscenes.DoorScenes++;
  scene::StillPose(g);
  g.DoorFrame = 0;
  const int d = g.PlayerFacing == 1 ? -1 : 1;
  g.DoorTargetX = static_cast<uint8_t>(Rnd(static_cast<long double>(g.PlayerX) + d));
  g.DoorTargetY = static_cast<uint8_t>(Rnd(g.PlayerY));
  for (int i = 1; i <= g.DoorList.Count; i++)
    if (g.DoorList.X[i] == static_cast<long double>(g.PlayerX) + d && g.DoorList.Y[i] == g.PlayerY) {
      g.DoorList.State[i] = 1;
      g.DoorTargetIndex = static_cast<uint8_t>(i);
    }

  while (g.QuitRequested == 0) {
    if (g.Paused == 0) {
      BeginFrame(g);  // while paused the last drawn frame's start stands, so no wait is made
      const int f = ++g.DoorFrame;
      DrawDoorFrame(g, f);
      TickAnimation(g);
      scene::ReleaseLatchAndFlush(g);
    }
    ServeFrame(g);
    if (g.DoorFrame > 33) {
      SetCell(g, g.DoorTargetX, g.DoorTargetY, ccEmpty);
      g.DoorList.State[g.DoorTargetIndex] = 2;
      break;
    }
    PaceFrame(g);
  }
}
