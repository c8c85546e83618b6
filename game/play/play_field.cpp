// The play-field renderer: the player sprite, one play frame composed from the field's layers
// (scene_field.cpp), and the animation tick.
#include "game/play/play_internal.h"
#include "game/play/scene_field.h"
#include "game/scenes.h"
#include "game/shell/draw.h"
#include "game/shell/frame.h"
#include "game/shell/transitions.h"

using namespace play;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;

uint32_t GreyClamped(int v) { return Grey(static_cast<uint32_t>(v < 0 ? 0 : v > 255 ? 255 : v)); }

// The player sheet cell for the current action.
void PlayerCell(const Game& g, int& sx, int& sy) {
  const int F = g.PlayerFacing, A = g.PlayerAnimFrame, K = g.ActionFrames;
  const bool alt = g.AltMode == 1;
  const int ac = g.ActionCode;
  const int half = (8 - K) / 2;
  sy = 320;
  switch (ac) {
    case paFall:
      sx = alt ? 64 * F + 32 * ((A % 8) / 4) : 64 * F + 32 * (A % 2);
      sy = 128;
      return;
    case paPadBounce:
      if (A == 0) {
        sx = 0;
        sy = 64 * F;
      } else if (A <= 2) {
        sx = 128 * F + 32 * (A - 1);
      } else if (A == 3) {
        sx = 128 * F + 96;
      } else {
        sx = 128 * F;
      }
      return;
    case paLand: sx = 64 * F + 128; sy = 128; return;
    case paLandEnd: sx = 64 * F + 160; sy = 128; return;
    case paJumpWindup1:
    case paJumpWindup3: sx = 128 * F; return;
    case paJumpWindup2: sx = 128 * F + 32; return;
    case paPadFlight: sx = 128 * F + 96; return;
    case paLiftStart:
    case paPutDownCheck: sx = 128 * F; sy = 256; return;
    case paLiftCheck:
    case paLiftRaise:
    case paPutDownLower: sx = 128 * F + 32; sy = 256; return;
    case paLiftRefused:
    case paLiftGrab:
    case paPutDownEnd: sx = K >= 4 ? 128 * F + 64 : 128 * F + 96; sy = 256; return;
    default: break;
  }
  if ((ac >= paJumpRise && ac <= paHopOverLeft) || (ac >= paPadLaunchRight && ac <= paPadArcLeft)) {
    if (!alt) {
      sx = 128 * F + 96;
      return;
    }
    sy = 384 + 64 * F;
    // The descending actions draw from the right half of the row.
    const bool descending = ac == paJumpDescend || ac == paJumpDescendRight || ac == paJumpDescendLeft ||
                            ac == paHopOverRight || ac == paHopOverLeft || ac == paPadArcRight ||
                            ac == paPadArcLeft;
    const bool padLaunch = ac >= paPadLaunchRight;
    if (padLaunch && K == 0)
      sx = 224;
    else
      sx = (descending ? 128 : 0) + 32 * half;
    return;
  }
  sx = 32 * A;
  sy = F == 0 ? 0 : F == 1 ? 64 : 192;
}

}  // namespace

void DrawPlayer(Game& g) {
  const int F = g.PlayerFacing, K = g.ActionFrames;
  if (g.FieldPicturesOff) {
    // The sounds of the lift's and the put-down's effects still start on their frame.
    if (K == 11 && (g.ActionCode == paLiftRefused || g.ActionCode == paLiftGrab)) PlayWaveNoStop(g, wpMahou);
    if (K == 11 && g.ActionCode == paPutDownEnd) {
      const uint8_t under = CellAt(g, Rnd(g.PlayerX) + (F == 1 ? -1 : 1), Rnd(g.PlayerY) + 1);
      if (under != ccEmpty && under != ccBalloon && under != ccJumpPad) PlayWaveNoStop(g, wpGround);
    }
    return;
  }
  const plat::Bitmap& sheet = g.AltMode == 1 ? g.Art.ImgChar14 : g.Art.ImgChar;
  int sx, sy;
  PlayerCell(g, sx, sy);
  const int dx = Rnd(32.0L * g.PlayerX), dy = Rnd(32.0L * g.PlayerY);
  MaskedBlt(sheet, sx, sy, sy + 32, 32, 32, g.BackBuffer, dx, dy);

  const float cx = 32.0f * g.PlayerX + 32 - 32 * F, cy = 32.0f * g.PlayerY + 20;
  if (g.ActionCode == paLiftRefused || g.ActionCode == paLiftGrab) {
    const bool refused = g.ActionCode == paLiftRefused;
    const float r = static_cast<float>(refused ? 10 - K : 8 - K);
    const uint32_t c = K > 8 ? kWhite : GreyClamped(refused ? 25 * K - 10 : 25 * K + 40);
    DrawEllipse(g, c, bsClear, pmMerge, cx - r, cy - r, cx + r, cy + r);
    if (K == 11) PlayWaveNoStop(g, wpMahou);
  } else if (g.ActionCode == paPutDownEnd) {
    const int d = F == 1 ? -1 : 1;
    const uint8_t under = CellAt(g, Rnd(g.PlayerX) + d, Rnd(g.PlayerY) + 1);
    if (under != ccEmpty && under != ccBalloon && under != ccJumpPad) {
      const float gg = static_cast<float>(12 - K);
      const float px = 32.0f * g.PlayerX, py = 32.0f * g.PlayerY;
      DrawEllipse(g, GreyClamped(18 * K + 4), bsClear, pmMerge, px + 39 - gg - 66 * F, py + 33 - gg / 2,
                  px + 60 + gg - 66 * F, py + 33 + gg / 2);
      if (K == 11) PlayWaveNoStop(g, wpGround);
    }
  }
  if (g.PlayerFlash == 1)
    TintedBlt(g, sheet, sx, sy, sy + 32, 32, 32, g.BackBuffer, dx, dy, Grey(255 - 50 * (g.FrameCounter % 4)));
}

// The layers are the cut-scenes' too; the order is the field's.
void DrawFieldObjects(Game& g, bool withPlayer) {
  scene::LowerLayers(g);
  if (withPlayer) DrawPlayer(g);
  scene::Jails(g);
  scene::Hud(g);
}

void DrawPlayField(Game& g) {
  if (g.FieldPicturesOff)
    scene::RestoreField(g, true, 0, 0, 0, 0);
  else
    scene::RestoreField(g, true, scene::PlayerRestoreX(g), scene::PlayerRestoreY(g), 56, 76);
  DrawFieldObjects(g, true);
  DrawOverlay(g);
  if (g.FadeInPending == 1) FadeInStep(g);
  PresentBackBuffer(g);
}

void TickAnimation(Game& g) {
  g.BarrierBlinkTick = static_cast<uint8_t>(g.BarrierBlinkTick + 1);
  if (g.BarrierBlinkTick > 91) g.BarrierBlinkTick = 0;
  g.FrameCounter++;
  if (g.FrameCounter % 6 == 5 && ++g.ObjAnimFrame > 3) g.ObjAnimFrame = 0;
  if (g.FrameCounter % 8 == 7 && ++g.ItemAnimFrame > 3) g.ItemAnimFrame = 0;
  if (g.FrameCounter % 6 == 5 && ++g.GoalAnimFrame > 7) g.GoalAnimFrame = 0;
  if (g.FrameCounter >= 48) g.FrameCounter = 0;
}
