// The play field's layers with their effect states, callable one at a time: play composes them
// in the field's order, the stage intro and the cut-scenes put their effects between them.
#include "game/play/scene_field.h"

#include <string>

#include "game/play/play_internal.h"
#include "game/shell/draw.h"
#include "game/shell/frame.h"
#include "platform/api/keys.h"

using namespace play;

namespace scene {

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;

void Restore(Game& g, int x, int y, int w, int h) { CopyBlt(g.BoardLayer, x, y, w, h, g.BackBuffer, x, y); }

int R(float v) { return Rnd(32.0L * (static_cast<long double>(v) - 1)); }

uint32_t GreyClamped(int v) { return Grey(static_cast<uint32_t>(v < 0 ? 0 : v > 255 ? 255 : v)); }

void ClearEffectCell(Game& g, int x, int y) {
  const uint8_t c = CellAt(g, x, y);
  if (c != ccBalloon && c != ccJumpPad) SetCell(g, x, y, ccEmpty);
}

}  // namespace

int PlayerRestoreX(const Game& g) { return R(g.PlayerX) + 20; }
int PlayerRestoreY(const Game& g) { return R(g.PlayerY) + 20; }

void RestoreField(Game& g, bool fullWhileFading, int playerX, int playerY, int playerW, int playerH) {
  if (g.FieldPicturesOff) {
    if (fullWhileFading && g.FadeInPending == 1) return;
    for (int i = 1; i <= g.DoorList.Count; i++)
      if (g.DoorList.State[i] == 2) g.DoorList.State[i] = 3;
    return;
  }
  if (fullWhileFading && g.FadeInPending == 1) {
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
  if (playerW > 0) Restore(g, playerX, playerY, playerW, playerH);
  Restore(g, 565, 435, 80, 50);
  Restore(g, 530, 0, 110, 34);
}

void Doors(Game& g) {
  if (g.FieldPicturesOff) return;
  for (int i = 1; i <= g.DoorList.Count; i++)
    if (g.DoorList.State[i] == 0)
      MaskedBlt(g.Art.ImgMap1, 64, 0, 32, 32, 32, g.BackBuffer, 32 * g.DoorList.X[i], 32 * g.DoorList.Y[i]);
}

void Keys(Game& g) {
  const int bg = g.StageStyle[ssBackground];
  for (int i = 1; i <= g.KeyList.Count; i++) {
    const int X = g.KeyList.X[i], Y = g.KeyList.Y[i];
    uint8_t& s = g.KeyList.State[i];
    if (g.FieldPicturesOff) {
      if (s >= 1 && s <= 20 && ++s > 19) ClearEffectCell(g, X, Y);
    } else if (s == 0) {
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

void Balls(Game& g) {
  const int bg = g.StageStyle[ssBackground];
  for (int i = 1; i <= g.BallList.Count; i++) {
    const int X = g.BallList.X[i], Y = g.BallList.Y[i];
    uint8_t& s = g.BallList.State[i];
    if (g.FieldPicturesOff) {
      if (s >= 1 && s <= 20 && ++s > 19) ClearEffectCell(g, X, Y);
    } else if (s == 0) {
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

void Clouds(Game& g) {
  const int row = 32 * g.StageStyle[ssBackground];
  for (int i = 1; i <= g.CloudList.Count; i++) {
    const int X = g.CloudList.X[i], Y = g.CloudList.Y[i];
    uint8_t& s = g.CloudList.State[i];
    if (g.FieldPicturesOff) {
      if (s >= 2 && s <= 10 && ++s > 9) ClearEffectCell(g, X, Y);
    } else if (s == 0) {
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

void Conveyors(Game& g) {
  if (g.FieldPicturesOff) return;
  for (int i = 1; i <= g.ConveyorRightList.Count; i++)
    MaskedBltX(g.Art.ImgChar6, 32 * g.ObjAnimFrame, 256, 0, 32, 32, g.BackBuffer, 32 * g.ConveyorRightList.X[i],
               32 * g.ConveyorRightList.Y[i]);
  for (int i = 1; i <= g.ConveyorLeftList.Count; i++)
    MaskedBltX(g.Art.ImgChar6, 128 + 32 * g.ObjAnimFrame, 256, 0, 32, 32, g.BackBuffer, 32 * g.ConveyorLeftList.X[i],
               32 * g.ConveyorLeftList.Y[i]);
}

void Barriers(Game& g) {
  if (g.FieldPicturesOff) return;
  if (g.BarrierGone != 0) return;
  const int t = g.BarrierBlinkTick;
  const int c = t < 80 ? 0 : t < 84 ? 32 : t < 88 ? 64 : 96;
  const int row = 96 * g.StageStyle[ssBarrier] + 32 * g.StageStyle[ssBackground];
  for (int i = 1; i <= g.BarrierList.Count; i++)
    CopyBlt(g.Art.ImgChar10, c, row, 32, 32, g.BackBuffer, 32 * g.BarrierList.X[i], 32 * g.BarrierList.Y[i]);
}

void Goal(Game& g) {
  if (g.FieldPicturesOff) return;
  MaskedBlt(g.Art.ImgChar5, 32 * g.GoalAnimFrame, 0, 32, 32, 32, g.BackBuffer, 32 * g.GoalX, 32 * g.GoalY);
}

void Balloons(Game& g) {
  if (g.FieldPicturesOff) return;
  const uint32_t heldTint = Grey(255 - 25 * (g.FrameCounter % 4));
  for (int i = 1; i <= g.BalloonList.Count; i++) {
    const int x = Rnd(32.0L * g.BalloonList.X[i]), y = Rnd(32.0L * g.BalloonList.Y[i]);
    const int sy = 32 * g.StageStyle[ssBalloon];
    MaskedBltX(g.Art.ImgChar1, 32 * g.ObjAnimFrame, 128, sy, 32, 32, g.BackBuffer, x, y);
    if (g.HoldingObject == 1 && g.HeldKind == 1 && g.HeldIndex == i)
      TintedBltX(g, g.Art.ImgChar1, 32 * g.ObjAnimFrame, 128, sy, 32, 32, g.BackBuffer, x, y, heldTint);
  }
}

void JumpPads(Game& g) {
  if (g.FieldPicturesOff) return;
  const uint32_t heldTint = Grey(255 - 25 * (g.FrameCounter % 4));
  for (int i = 1; i <= g.JumpPadList.Count; i++) {
    const int x = Rnd(32.0L * g.JumpPadList.X[i]), y = Rnd(32.0L * g.JumpPadList.Y[i]) - 8;
    const int sx = 32 * g.JumpPadList.Pose[i];
    MaskedBlt(g.Art.ImgChar2, sx, 0, 40, 32, 40, g.BackBuffer, x, y);
    if (g.HoldingObject == 1 && g.HeldKind == 2 && g.HeldIndex == i)
      TintedBlt(g, g.Art.ImgChar2, sx, 0, 40, 32, 40, g.BackBuffer, x, y, heldTint);
  }
}

void Jails(Game& g, int sceneFlicker, int* openings) {
  const bool scene = sceneFlicker >= 0;
  const uint32_t tint = Grey(255 - 35 * ((scene ? sceneFlicker : g.FrameCounter) % 4));
  for (int i = 1; i <= g.JailList.Count; i++) {
    const int x0 = 32 * g.JailList.X[i], y0 = 32 * g.JailList.Y[i];
    uint8_t& s = g.JailList.State[i];
    if (g.FieldPicturesOff) {
      if (s == 23 && openings) ++*openings;
      if ((s >= 2 && s <= 21) || (s >= 23 && s <= 42)) s++;
      continue;
    }
    const auto sprite = [&](int sx, bool tinted) {
      MaskedBlt(g.Art.ImgMap1, sx, 0, 32, 32, 32, g.BackBuffer, x0, y0);
      if (tinted) TintedBlt(g, g.Art.ImgMap1, sx, 0, 32, 32, 32, g.BackBuffer, x0, y0, tint);
    };
    if (s <= 1) {
      sprite(128, scene);
    } else if (s <= 21) {
      const uint32_t v = GreyClamped(210 - 10 * s);
      const int d = (s - 1) / 2;
      sprite(96, false);
      DrawEllipse(g, v, bsClear, pmMerge, x0 + 15 - 2 * s, y0 + 32 - d, x0 + 17 + 2 * s, y0 + 32 + d);
      DrawEllipse(g, v, bsClear, pmMerge, x0 + 14 - 2 * s, y0 + 32 - d, x0 + 18 + 2 * s, y0 + 32 + d);
      s++;
    } else if (s == 22) {
      sprite(96, scene);
    } else if (s <= 42) {
      if (s == 23 && openings) ++*openings;
      const uint32_t v = GreyClamped(420 - 10 * s);
      sprite(128, true);
      DrawEllipse(g, v, bsClear, pmMerge, x0 + 36 - s, y0 + 52 - s, x0 - 4 + s, y0 + 12 + s);
      DrawEllipse(g, v, bsClear, pmMerge, x0 + 35 - s, y0 + 51 - s, x0 - 3 + s, y0 + 13 + s);
      s++;
    } else if (s == 43) {
      sprite(128, true);
    }
  }
}

void Hud(Game& g) {
  if (g.FieldPicturesOff) return;
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

void LowerLayers(Game& g) {
  Doors(g);
  Keys(g);
  Balls(g);
  Clouds(g);
  Conveyors(g);
  Barriers(g);
  Goal(g);
  Balloons(g);
  JumpPads(g);
}

void StillPose(Game& g) {
  if (g.PlayerFacing < 2 && g.PlayerAnimFrame % 4 != 0)
    g.PlayerAnimFrame = static_cast<uint8_t>((g.PlayerAnimFrame / 4 + 1) * 4 % 8);
}

void ReleaseLatchAndFlush(Game& g) {
  if (g.KeyLatch == 1 && !KeyPressed(g, plat::kVkZ) && !KeyPressed(g, plat::kVkX) &&
      !KeyPressed(g, plat::kVkEscape))
    g.KeyLatch = 0;
  FlushKeys(g);
}

}  // namespace scene
