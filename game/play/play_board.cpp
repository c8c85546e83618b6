// Play-state reset and board setup: the object lists, the player's start and the static board.
#include "game/play/play_internal.h"
#include "game/scenes.h"
#include "game/shell/frame.h"
#include "platform/api/raster.h"

using namespace play;
namespace gfx = plat::gfx;

void ResetPlayState(Game& g) {
  g.TitleCursor = g.PauseCursor = g.BarCursor = 0;
  g.FrameCounter = 0;
  EmptyObjectLists(g);
  g.BallsTaken = g.BallsInStage = g.KeysHeld = 0;
  g.BarrierBlinkTick = g.ObjAnimFrame = g.ItemAnimFrame = g.GoalAnimFrame = 0;
  g.PadLaunchCut = 0;
  g.HoldingObject = 0;
  g.JumpPadList.Pose.fill(0);
  ClearItemStates(g);
  g.PadDirection = 3;
}

void EmptyObjectLists(Game& g) {
  for (TCellList* l : {&g.KeyList, &g.BarrierList, &g.DoorList, &g.BallList, &g.JailList,
                       &g.ConveyorRightList, &g.ConveyorLeftList, &g.CloudList})
    l->Count = 0;
  g.BalloonList.Count = 0;
  g.JumpPadList.Count = 0;
}

void ClearItemStates(Game& g) {
  for (TCellList* l : {&g.KeyList, &g.DoorList, &g.BallList, &g.JailList, &g.CloudList}) l->State.fill(0);
  g.BarrierGone = 0;
}

void SetupPlayBoard(Game& g) {
  for (TLiftList* l : {&g.BalloonList, &g.JumpPadList}) {
    l->State.fill(0);
    l->FallTimer.fill(0);
    l->X.fill(0);
    l->Y.fill(0);
    l->Pose.fill(0);
    l->Count = 0;
  }
  ClearItemStates(g);
  for (TCellList* l : {&g.KeyList, &g.BarrierList, &g.DoorList, &g.BallList, &g.JailList,
                       &g.ConveyorRightList, &g.ConveyorLeftList, &g.CloudList})
    l->Count = 0;
  g.GoalArrived = 0;

  const auto& art = g.Art;
  // First pass: the floor tiles and the background under everything else.
  for (int x = 0; x < kGridCols; x++)
    for (int y = 0; y < kGridRows; y++) {
      const uint8_t c = g.StageGrid[GridIndex(x, y)];
      int sx;
      if (c == ccBlock)
        sx = 96 + 32 * g.StageStyle[ssBlock];
      else if (c == ccIce)
        sx = 224 + 32 * g.StageStyle[ssIce];
      else if (c == ccNoJump)
        sx = 288 + 32 * g.StageStyle[ssNoJump];
      else
        sx = 32 * g.StageStyle[ssBackground];
      gfx::BitBlt(g.BoardLayer, 32 * x, 32 * y, 32, 32, art.ImgMap0, sx, 0, gfx::Rop::Copy);
    }
  // Second pass: ladders into the board, everything else into the lists.
  for (int x = 0; x < kGridCols; x++)
    for (int y = 0; y < kGridRows; y++) {
      const uint8_t c = g.StageGrid[GridIndex(x, y)];
      switch (c) {
        case ccLadder: {
          const int lx = 32 * g.StageStyle[ssLadder];
          gfx::BitBlt(g.BoardLayer, 32 * x, 32 * y, 32, 32, art.ImgMap1, lx, 32, gfx::Rop::And);
          gfx::BitBlt(g.BoardLayer, 32 * x, 32 * y, 32, 32, art.ImgMap1, lx, 0, gfx::Rop::Or);
          break;
        }
        case ccPlayerStart:
          g.PlayerX = static_cast<float>(x);
          g.PlayerY = static_cast<float>(y);
          break;
        case ccBalloon:
        case ccJumpPad: {
          TLiftList& l = c == ccBalloon ? g.BalloonList : g.JumpPadList;
          // The lists hold 21; a 22nd object of a kind is not placed at all.
          if (l.Count >= TLiftList::kSlots - 1) {
            g.StageGrid[GridIndex(x, y)] = ccEmpty;
            break;
          }
          l.Count++;
          l.X[l.Count] = static_cast<float>(x);
          l.Y[l.Count] = static_cast<float>(y);
          break;
        }
        case ccDoor: g.DoorList.Append(x, y, 0); break;
        case ccKey: g.KeyList.Append(x, y, 0); break;
        case ccCloud: g.CloudList.Append(x, y, 0); break;
        case ccConveyorRight: g.ConveyorRightList.Append(x, y, 0); break;
        case ccConveyorLeft: g.ConveyorLeftList.Append(x, y, 0); break;
        case ccBarrier: g.BarrierList.Append(x, y, 0); break;
        case ccBall:
          g.BallList.Append(x, y, 0);
          g.BallsInStage++;
          break;
        case ccJailClosed: g.JailList.Append(x, y, 22); break;
        case ccJailOpen: g.JailList.Append(x, y, 0); break;
        case ccGoal:
          g.GoalX = x;
          g.GoalY = y;
          break;
        default: break;
      }
    }
  g.ActionCode = g.ActionFrames = g.PlayerBusy = g.PlayerAnimFrame = 0;
  g.PlayerFacing = g.StartFacing;
  g.PrevFacing = g.PlayerFacing;
  ChooseNextAction(g);
}
