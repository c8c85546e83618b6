// The play-field renderer: restore rectangles, the object layers with their effect states,
// the player sprite, the head-up display; and the animation tick.
#include <string>

#include "game/play/play_internal.h"
#include "game/scenes.h"
#include "game/shell/draw.h"
#include "game/shell/main_loop.h"
#include "game/shell/transitions.h"

using namespace play;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;

void Restore(Game& g, int x, int y, int w, int h) { CopyBlt(g.BoardLayer, x, y, w, h, g.BackBuffer, x, y); }

// r(v) of the restore table: the sprite's pixel position one cell up and left.
int R(float v) { return Rnd(32.0L * (static_cast<long double>(v) - 1)); }

uint32_t GreyClamped(int v) { return Grey(static_cast<uint32_t>(v < 0 ? 0 : v > 255 ? 255 : v)); }

// A cell whose pick-up or vanishing effect has ended becomes empty, unless an object fell into it.
void ClearEffectCell(Game& g, int x, int y) {
  const uint8_t c = CellAt(g, x, y);
  if (c != ccBalloon && c != ccJumpPad) SetCell(g, x, y, ccEmpty);
}

void RestoreMoving(Game& g) {
  if (g.FadeInPending == 1) {
    CopyBlt(g.BoardLayer, 0, 0, 640, 480, g.BackBuffer, 0, 0);
    return;
  }
  for (int i = 1; i <= g.KeyList.Count; i++)
    if (g.KeyList.State[i] >= 1 && g.KeyList.State[i] <= 20)
      Restore(g, 32 * g.KeyList.X[i] - 10, 32 * g.KeyList.Y[i] - 10, 52, 52);
  for (int i = 1; i <= g.BallList.Count; i++)
    if (g.BallList.State[i] >= 1 && g.BallList.State[i] <= 20)
      Restore(g, 32 * g.BallList.X[i] - 12, 32 * g.BallList.Y[i] - 12, 56, 56);
  for (int i = 1; i <= g.DoorList.Count; i++) {
    const uint8_t s = g.DoorList.State[i];
    if (s == 1 || s == 2) Restore(g, 32 * g.DoorList.X[i] - 51, 32 * g.DoorList.Y[i] - 51, 134, 134);
    if (s == 2) g.DoorList.State[i] = 3;
  }
  Restore(g, 32 * g.GoalX, 32 * g.GoalY, 32, 32);
  for (int i = 1; i <= g.BalloonList.Count; i++)
    Restore(g, R(g.BalloonList.X[i]) + 20, R(g.BalloonList.Y[i]) + 20, 56, 56);
  for (int i = 1; i <= g.JumpPadList.Count; i++)
    Restore(g, R(g.JumpPadList.X[i]) + 20, R(g.JumpPadList.Y[i]) + 10, 56, 66);
  for (int i = 1; i <= g.JailList.Count; i++) {
    const uint8_t s = g.JailList.State[i];
    if (s >= 2 && s <= 21) Restore(g, 32 * g.JailList.X[i] - 28, 32 * g.JailList.Y[i], 88, 42);
    if (s >= 23 && s <= 42) Restore(g, 32 * g.JailList.X[i] - 7, 32 * g.JailList.Y[i], 46, 56);
  }
  Restore(g, R(g.PlayerX) + 20, R(g.PlayerY) + 20, 56, 76);
  Restore(g, 565, 435, 80, 50);
  Restore(g, 530, 0, 110, 34);
}

void DrawKeys(Game& g) {
  const int bg = g.StageStyle[ssBackground];
  for (int i = 1; i <= g.KeyList.Count; i++) {
    const int X = g.KeyList.X[i], Y = g.KeyList.Y[i];
    uint8_t& s = g.KeyList.State[i];
    if (s == 0) {
      CopyBlt(g.Art.ImgChar3, 32 * g.ItemAnimFrame, 96 * g.StageStyle[ssKey] + 32 * bg, 32, 32, g.BackBuffer, 32 * X,
              32 * Y);
    } else if (s <= 20) {
      const uint32_t v = GreyClamped(200 - 10 * s);
      DrawEllipse(g, v, bsClear, pmMerge, 32 * X + 11 - s, 32 * Y + 11 - s, 32 * X + 21 + s, 32 * Y + 21 + s);
      DrawEllipse(g, v, bsSolid, pmMerge, 32 * X + 16 - s, 32 * Y + 16 - s, 32 * X + 16 + s, 32 * Y + 16 + s);
      s++;
      if (s > 19) ClearEffectCell(g, X, Y);
    }
  }
}

void DrawBalls(Game& g) {
  const int bg = g.StageStyle[ssBackground];
  for (int i = 1; i <= g.BallList.Count; i++) {
    const int X = g.BallList.X[i], Y = g.BallList.Y[i];
    uint8_t& s = g.BallList.State[i];
    if (s == 0) {
      CopyBlt(g.Art.ImgChar3, 32 * g.ItemAnimFrame, 192 + 32 * bg, 32, 32, g.BackBuffer, 32 * X, 32 * Y);
    } else if (s <= 20) {
      const uint32_t v = GreyClamped(200 - 10 * s);
      const int x0 = 32 * X, y0 = 32 * Y;
      const int corners[4][2] = {{x0 + 8 - s, y0 + 8 - s}, {x0 + 19 + s, y0 + 8 - s}, {x0 + 8 - s, y0 + 19 + s},
                                 {x0 + 19 + s, y0 + 19 + s}};
      for (const auto& c : corners) DrawEllipse(g, v, bsSolid, pmMerge, c[0], c[1], c[0] + 5, c[1] + 5);
      s++;
      if (s > 19) ClearEffectCell(g, X, Y);
    }
  }
}

void DrawClouds(Game& g) {
  const int row = 32 * g.StageStyle[ssBackground];
  for (int i = 1; i <= g.CloudList.Count; i++) {
    const int X = g.CloudList.X[i], Y = g.CloudList.Y[i];
    uint8_t& s = g.CloudList.State[i];
    if (s == 0) {
      CopyBlt(g.Art.ImgChar4, 128 * (g.ItemAnimFrame % 2), row, 32, 32, g.BackBuffer, 32 * X, 32 * Y);
    } else if (s == 1) {
      CopyBlt(g.Art.ImgChar4, g.ItemAnimFrame % 2 ? 160 : 128, row, 32, 32, g.BackBuffer, 32 * X, 32 * Y);
    } else if (s <= 10) {
      CopyBlt(g.Art.ImgChar4, 32 + 32 * ((s - 1) / 3), row, 32, 32, g.BackBuffer, 32 * X, 32 * Y);
      s++;
      if (s > 9) {
        ClearEffectCell(g, X, Y);
        Restore(g, 32 * X, 32 * Y, 32, 32);
      }
    }
  }
}

void DrawJails(Game& g) {
  for (int i = 1; i <= g.JailList.Count; i++) {
    const int X = g.JailList.X[i], Y = g.JailList.Y[i];
    const int x0 = 32 * X, y0 = 32 * Y;
    uint8_t& s = g.JailList.State[i];
    const auto open = [&] { MaskedBlt(g.Art.ImgMap1, 128, 0, 32, 32, 32, g.BackBuffer, x0, y0); };
    const auto closed = [&] { MaskedBlt(g.Art.ImgMap1, 96, 0, 32, 32, 32, g.BackBuffer, x0, y0); };
    const auto flicker = [&] {
      TintedBlt(g, g.Art.ImgMap1, 128, 0, 32, 32, 32, g.BackBuffer, x0, y0, Grey(255 - 35 * (g.FrameCounter % 4)));
    };
    if (s <= 1) {
      open();
    } else if (s <= 21) {
      const uint32_t v = GreyClamped(210 - 10 * s);
      const int d = (s - 1) / 2;
      closed();
      DrawEllipse(g, v, bsClear, pmMerge, x0 + 15 - 2 * s, y0 + 32 - d, x0 + 17 + 2 * s, y0 + 32 + d);
      DrawEllipse(g, v, bsClear, pmMerge, x0 + 14 - 2 * s, y0 + 32 - d, x0 + 18 + 2 * s, y0 + 32 + d);
      s++;
    } else if (s == 22) {
      closed();
    } else if (s <= 42) {
      const uint32_t v = GreyClamped(420 - 10 * s);
      open();
      flicker();
      DrawEllipse(g, v, bsClear, pmMerge, x0 + 36 - s, y0 + 52 - s, x0 - 4 + s, y0 + 12 + s);
      DrawEllipse(g, v, bsClear, pmMerge, x0 + 35 - s, y0 + 51 - s, x0 - 3 + s, y0 + 13 + s);
      s++;
    } else if (s == 43) {
      open();
      flicker();
    }
  }
}

void DrawHud(Game& g) {
  if (g.StageStyle[ssKey] == 0)
    MaskedBlt(g.Art.ImgChar15, 32 * g.ItemAnimFrame, 0, 32, 32, 32, g.BackBuffer, 552, 0);
  else
    MaskedBlt(g.Art.ImgChar15, 32 * g.ItemAnimFrame, 64, 96, 32, 32, g.BackBuffer, 560, 0);
  DrawText(g, 18, kWhite, "×", 586, 4);
  DrawText(g, 17, kWhite, " " + std::to_string(g.KeysHeld), 600, 4);
  if (g.StageIndex == kUserStageIndex)
    DrawText(g, 18, kWhite, "STAGE E", 280, 3);
  else
    DrawText(g, 18, kWhite, "STAGE " + std::to_string(g.StageIndex + 1), 280, 3);
}

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
    const bool descending = ac == 23 || ac == 25 || ac == 27 || ac == 29 || ac == 31 || ac == 34 || ac == 36;
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
  const plat::Bitmap& sheet = g.AltMode == 1 ? g.Art.ImgChar14 : g.Art.ImgChar;
  int sx, sy;
  PlayerCell(g, sx, sy);
  const int dx = Rnd(32.0L * g.PlayerX), dy = Rnd(32.0L * g.PlayerY);
  MaskedBlt(sheet, sx, sy, sy + 32, 32, 32, g.BackBuffer, dx, dy);

  const int F = g.PlayerFacing, K = g.ActionFrames;
  const float cx = 32.0f * g.PlayerX + 32 - 32 * F, cy = 32.0f * g.PlayerY + 20;
  if (g.ActionCode == paLiftRefused || g.ActionCode == paLiftGrab) {
    const bool refused = g.ActionCode == paLiftRefused;
    const float r = static_cast<float>(refused ? 10 - K : 8 - K);
    const uint32_t c = K > 8 ? kWhite : GreyClamped(refused ? 25 * K - 10 : 25 * K + 40);
    DrawEllipse(g, c, bsClear, pmMerge, cx - r, cy - r, cx + r, cy + r);
    if (K == 11) PlayWave(g, wpMahou, true);
  } else if (g.ActionCode == paPutDownEnd) {
    const int d = F == 1 ? -1 : 1;
    const uint8_t under = CellAt(g, Rnd(g.PlayerX) + d, Rnd(g.PlayerY) + 1);
    if (under != ccEmpty && under != ccBalloon && under != ccJumpPad) {
      const float gg = static_cast<float>(12 - K);
      const float px = 32.0f * g.PlayerX, py = 32.0f * g.PlayerY;
      DrawEllipse(g, GreyClamped(18 * K + 4), bsClear, pmMerge, px + 39 - gg - 66 * F, py + 33 - gg / 2,
                  px + 60 + gg - 66 * F, py + 33 + gg / 2);
      if (K == 11) PlayWave(g, wpGround, true);
    }
  }
  if (g.PlayerFlash == 1)
    TintedBlt(g, sheet, sx, sy, sy + 32, 32, 32, g.BackBuffer, dx, dy, Grey(255 - 50 * (g.FrameCounter % 4)));
}

void DrawFieldObjects(Game& g, bool withPlayer) {
  for (int i = 1; i <= g.DoorList.Count; i++)
    if (g.DoorList.State[i] == 0)
      MaskedBlt(g.Art.ImgMap1, 64, 0, 32, 32, 32, g.BackBuffer, 32 * g.DoorList.X[i], 32 * g.DoorList.Y[i]);
  DrawKeys(g);
  DrawBalls(g);
  DrawClouds(g);
  for (int i = 1; i <= g.ConveyorRightList.Count; i++)
    MaskedBltX(g.Art.ImgChar6, 32 * g.ObjAnimFrame, 256, 0, 32, 32, g.BackBuffer, 32 * g.ConveyorRightList.X[i],
               32 * g.ConveyorRightList.Y[i]);
  for (int i = 1; i <= g.ConveyorLeftList.Count; i++)
    MaskedBltX(g.Art.ImgChar6, 128 + 32 * g.ObjAnimFrame, 256, 0, 32, 32, g.BackBuffer, 32 * g.ConveyorLeftList.X[i],
               32 * g.ConveyorLeftList.Y[i]);
  if (g.BarrierGone == 0) {
    const int t = g.BarrierBlinkTick;
    const int c = t < 80 ? 0 : t < 84 ? 32 : t < 88 ? 64 : 96;
    const int row = 96 * g.StageStyle[ssBarrier] + 32 * g.StageStyle[ssBackground];
    for (int i = 1; i <= g.BarrierList.Count; i++)
      CopyBlt(g.Art.ImgChar10, c, row, 32, 32, g.BackBuffer, 32 * g.BarrierList.X[i], 32 * g.BarrierList.Y[i]);
  }
  MaskedBlt(g.Art.ImgChar5, 32 * g.GoalAnimFrame, 0, 32, 32, 32, g.BackBuffer, 32 * g.GoalX, 32 * g.GoalY);
  const uint32_t heldTint = Grey(255 - 25 * (g.FrameCounter % 4));
  for (int i = 1; i <= g.BalloonList.Count; i++) {
    const int x = Rnd(32.0L * g.BalloonList.X[i]), y = Rnd(32.0L * g.BalloonList.Y[i]);
    const int sy = 32 * g.StageStyle[ssBalloon];
    MaskedBltX(g.Art.ImgChar1, 32 * g.ObjAnimFrame, 128, sy, 32, 32, g.BackBuffer, x, y);
    if (g.HoldingObject == 1 && g.HeldKind == 1 && g.HeldIndex == i)
      TintedBltX(g, g.Art.ImgChar1, 32 * g.ObjAnimFrame, 128, sy, 32, 32, g.BackBuffer, x, y, heldTint);
  }
  for (int i = 1; i <= g.JumpPadList.Count; i++) {
    const int x = Rnd(32.0L * g.JumpPadList.X[i]), y = Rnd(32.0L * g.JumpPadList.Y[i]) - 8;
    const int sx = 32 * g.JumpPadList.Pose[i];
    MaskedBlt(g.Art.ImgChar2, sx, 0, 40, 32, 40, g.BackBuffer, x, y);
    if (g.HoldingObject == 1 && g.HeldKind == 2 && g.HeldIndex == i)
      TintedBlt(g, g.Art.ImgChar2, sx, 0, 40, 32, 40, g.BackBuffer, x, y, heldTint);
  }
  if (withPlayer) DrawPlayer(g);
  DrawJails(g);
  DrawHud(g);
}

void DrawPlayField(Game& g) {
  RestoreMoving(g);
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
