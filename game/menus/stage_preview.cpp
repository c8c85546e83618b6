// The 28-pixel stage preview in the board layer, the area name, the hint band and the area music.
#include <initializer_list>

#include "game/menus/menu_common.h"
#include "game/menus/stage_select.h"
#include "game/play/play.h"
#include "game/shell/draw.h"

using namespace menus;

namespace {

void ClearScratchLists(Game& g) {
  g.JumpPadList.Pose.fill(0);
  ClearItemStates(g);
  EmptyObjectLists(g);
}

void CollectLift(TLiftList& l, int x, int y) {
  if (l.Count + 1 >= TLiftList::kSlots) return;  // the lists hold 21; the preview shows no more
  ++l.Count;
  l.X[l.Count] = static_cast<float>(x);
  l.Y[l.Count] = static_cast<float>(y);
}

// Preview cell (x, y) of the board layer.
int PvX(int x) { return 32 + 28 * x; }
int PvY(int y) { return 28 * y; }

void Opaque(Game& g, const Bitmap& src, int sx, int sy, int x, int y) {
  StretchCopyBlt(src, sx, sy, 28, 28, g.BoardLayer, PvX(x), PvY(y), 32, 32);
}
void Masked(Game& g, const Bitmap& src, int sx, int sy, int maskY, int x, int y) {
  StretchMaskedBlt(src, sx, sy, maskY, 28, 28, g.BoardLayer, PvX(x), PvY(y), 32, 32);
}
void MaskedX(Game& g, const Bitmap& src, int sx, int maskX, int sy, int x, int y) {
  StretchMaskedBltX(src, sx, maskX, sy, 28, 28, g.BoardLayer, PvX(x), PvY(y), 32, 32);
}

}  // namespace

void ShowBoardLayer(Game& g) { CopyBlt(g.BoardLayer, 0, 0, 646, 466, g.BackBuffer, 6, 8); }

void BuildPreview(Game& g) {
  ClearScratchLists(g);
  BlackBoardLayer(g, 646, 446);
  const FormArt& art = g.Art;
  const int bg = g.StageStyle[ssBackground];

  for (int x = 0; x < kGridCols; ++x)
    for (int y = 0; y < kGridRows; ++y) {
      const uint8_t c = g.StageGrid[GridIndex(x, y)];
      int sx = 32 * bg;
      if (c == ccBlock)
        sx = 96 + 32 * g.StageStyle[ssBlock];
      else if (c == ccIce)
        sx = 224 + 32 * g.StageStyle[ssIce];
      else if (c == ccNoJump)
        sx = 288 + 32 * g.StageStyle[ssNoJump];
      Opaque(g, art.ImgMap0, sx, 0, x, y);
    }

  for (int x = 0; x < kGridCols; ++x)
    for (int y = 0; y < kGridRows; ++y) {
      switch (g.StageGrid[GridIndex(x, y)]) {
        case ccLadder: Masked(g, art.ImgMap1, 32 * g.StageStyle[ssLadder], 0, 32, x, y); break;
        case ccDoor: g.DoorList.Append(x, y, 0); break;
        case ccBalloon: CollectLift(g.BalloonList, x, y); break;
        case ccJumpPad: CollectLift(g.JumpPadList, x, y); break;
        case ccKey: g.KeyList.Append(x, y, 0); break;
        case ccBall: g.BallList.Append(x, y, 0); break;
        case ccJailClosed: g.JailList.Append(x, y, 22); break;
        case ccJailOpen: g.JailList.Append(x, y, 0); break;
        case ccCloud: g.CloudList.Append(x, y, 0); break;
        case ccConveyorRight: g.ConveyorRightList.Append(x, y, 0); break;
        case ccConveyorLeft: g.ConveyorLeftList.Append(x, y, 0); break;
        case ccBarrier: g.BarrierList.Append(x, y, 0); break;
        case ccPlayerStart:
          g.PlayerX = static_cast<float>(x);
          g.PlayerY = static_cast<float>(y);
          break;
        case ccGoal:
          g.GoalX = x;
          g.GoalY = y;
          break;
        default: break;
      }
    }

  auto lx = [](const TLiftList& l, int i) { return static_cast<int>(l.X[i]); };
  auto ly = [](const TLiftList& l, int i) { return static_cast<int>(l.Y[i]); };
  for (int i = 1; i <= g.BalloonList.Count; ++i)
    MaskedX(g, art.ImgChar1, 32 * g.ObjAnimFrame, 128, 32 * g.StageStyle[ssBalloon], lx(g.BalloonList, i),
            ly(g.BalloonList, i));
  for (int i = 1; i <= g.JumpPadList.Count; ++i)
    Masked(g, art.ImgChar2, 32 * g.JumpPadList.Pose[i], 8, 48, lx(g.JumpPadList, i), ly(g.JumpPadList, i));
  for (int i = 1; i <= g.KeyList.Count; ++i)
    Opaque(g, art.ImgChar3, 32, 96 * g.StageStyle[ssKey] + 32 * bg, g.KeyList.X[i], g.KeyList.Y[i]);
  for (int i = 1; i <= g.DoorList.Count; ++i) Masked(g, art.ImgMap1, 64, 0, 32, g.DoorList.X[i], g.DoorList.Y[i]);
  for (int i = 1; i <= g.BallList.Count; ++i)
    Opaque(g, art.ImgChar3, 0, 192 + 32 * bg, g.BallList.X[i], g.BallList.Y[i]);
  for (int i = 1; i <= g.JailList.Count; ++i)
    Masked(g, art.ImgMap1, g.JailList.State[i] == 22 ? 96 : 128, 0, 32, g.JailList.X[i], g.JailList.Y[i]);
  for (int i = 1; i <= g.CloudList.Count; ++i) Opaque(g, art.ImgChar4, 0, 32 * bg, g.CloudList.X[i], g.CloudList.Y[i]);
  for (int i = 1; i <= g.ConveyorRightList.Count; ++i)
    MaskedX(g, art.ImgChar6, 0, 256, 0, g.ConveyorRightList.X[i], g.ConveyorRightList.Y[i]);
  for (int i = 1; i <= g.ConveyorLeftList.Count; ++i)
    MaskedX(g, art.ImgChar6, 128, 256, 0, g.ConveyorLeftList.X[i], g.ConveyorLeftList.Y[i]);
  for (int i = 1; i <= g.BarrierList.Count; ++i)
    Opaque(g, art.ImgChar10, 0, 96 * g.StageStyle[ssBarrier] + 32 * bg, g.BarrierList.X[i], g.BarrierList.Y[i]);
  Masked(g, art.ImgChar5, 32 * g.GoalAnimFrame, 0, 32, g.GoalX, g.GoalY);
  // The player stands where the start cell is (or, without one, where the player last was).
  const bool firstSheet = g.StageIndex <= 49 || g.StageIndex == kUserStageIndex || g.SceneId == scEditSelect;
  const int row = 64 * g.StartFacing;
  Masked(g, firstSheet ? art.ImgChar : art.ImgChar14, 0, row, row + 32, RoundToInt(g.PlayerX),
         RoundToInt(g.PlayerY));
}

void DrawAreaName(Game& g) {
  if (const char* name = AreaName(g.StageIndex)) DrawText(g, 12, kDim, name, 321, 446);
}

void ShowStageHint(Game& g) {
  DrawRect(g, 0x4B4B4B, bsSolid, pmCopy, 0, 198, 640, 217);
  if (const TStageHint* h = StageHint(g.StageIndex)) DrawText(g, 12, kWhite, h->text, h->x, 200);
}

void PlayAreaMusic(Game& g) {
  if (g.StageIndex == kUserStageIndex) {
    // A user stage file may hold any theme byte; one outside the table plays no area music.
    if (const char* file = AreaMusic(g.StageTheme)) Music(g, file);
  } else {
    const int theme = BuiltinStageTheme(g.StageIndex);
    if (theme >= 0) {
      g.StageTheme = static_cast<uint8_t>(theme);
      Music(g, AreaMusic(theme));
    }
  }
  if (g.AltMode == 1) {
    MusicStop(g);
    Music(g, "mata02.ogg");
  }
}
