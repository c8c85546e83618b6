// The next-action choice, the arrival events of a cell and the falling of balloons and pads.
#include "game/play/cutscenes.h"
#include "game/play/play_internal.h"
#include "game/scenes.h"
#include "game/shell/frame.h"

using namespace play;

namespace {


// The side cell d is free for the player (and for a held object above him).
bool SideFree(const Game& g, int d) {
  if (!In(kWalkable, Probe(g, d, 0))) return false;
  if (!g.HoldingObject) return true;
  return In(kEmptyOrLadder, Probe(g, d, -1)) && In(kHeldTarget, Probe(g, d, 0));
}

}  // namespace

void ChooseNextAction(Game& g) {
  SnapAndCollect(g);
  g.PlayerBusy = 0;
  if (g.PlayerAnimFrame % 4 != 0) {
    g.PlayerAnimFrame = static_cast<uint8_t>((g.PlayerAnimFrame / 4 + 1) * 4);
    if (g.PlayerAnimFrame >= 8) g.PlayerAnimFrame = 0;
  }
  const uint8_t own = Probe(g, 0, 0), above = Probe(g, 0, -1), below = Probe(g, 0, 1);
  const bool ownLadder = own == ccLadder;
  if (ownLadder) {
    if (In(kWalkable, above))
      g.ActionCode = paLadderUp;
    else if (In(kHeldTarget, below))
      g.ActionCode = paLadderHang;
  }
  if (g.ActionCode == paFall) {
    if (In(kLandingFloor, below)) {
      g.ActionCode = paLand;
      g.ActionFrames = 6;
      g.PlayerBusy = 1;
      return;
    }
    if (below == ccConveyorRight || below == ccConveyorLeft) {
      const int d = below == ccConveyorRight ? 1 : -1;
      if (SideFree(g, d)) {
        g.ActionCode = d > 0 ? paCarriedRight : paCarriedLeft;
        g.ActionFrames = 8;
        g.PlayerBusy = 1;
      } else {
        g.ActionCode = paLand;
        g.ActionFrames = 6;
      }
      return;
    }
  }
  if (In(kNoSupport, below) && !ownLadder) {
    g.ActionCode = paFall;
    g.ActionFrames = 6;
  } else if (below == ccLadder) {
    if (g.ActionCode == paLadderUp) {
      g.ActionCode = paLadderUpDown;
    } else {
      if (g.PlayerFacing == 2 && !ownLadder) g.PlayerFacing = g.PrevFacing;
      g.ActionCode = paLadderDown;
    }
  } else if (below == ccJumpPad && !g.PadLaunchCut && !ownLadder) {
    FindPadBelow(g);
    g.ActionCode = paPadBounce;
    g.ActionFrames = 20;
  } else if (below == ccIce && !ownLadder) {
    switch (g.ActionCode) {
      case paWalkRight:
      case paWalkLeft: {
        const int d = g.ActionCode == paWalkRight ? 1 : -1;
        g.ActionFrames = 8;
        if (SideFree(g, d)) {
          g.ActionCode = d > 0 ? paCarriedRight : paCarriedLeft;
        } else {
          g.ActionCode = paIdle;
          g.ActionFrames = 0;
        }
        break;
      }
      case paCarriedRight:
      case paCarriedLeft:
        if (SideFree(g, g.ActionCode == paCarriedRight ? 1 : -1))
          g.ActionFrames = 8;
        else
          g.ActionCode = paIdle;
        break;
      default: break;
    }
  } else if (below == ccCloud && !ownLadder) {
    StandOnClouds(g);
    g.ActionCode = paIdle;
    g.ActionFrames = 8;
  } else if ((below == ccConveyorRight || below == ccConveyorLeft) && !ownLadder) {
    const int d = below == ccConveyorRight ? 1 : -1;
    g.ActionCode = d > 0 ? paCarriedRight : paCarriedLeft;
    if (SideFree(g, d))
      g.ActionFrames = 8;
    else
      g.ActionCode = paIdle;
  } else if (g.ActionCode != paLadderUp && g.ActionCode != paLadderDown && g.ActionCode != paLadderHang) {
    g.ActionCode = paIdle;
  }
  g.PlayerFlash = below == ccNoJump ? 1 : 0;
}

void SnapAndCollect(Game& g) {
  g.PlayerX = static_cast<float>(Rnd(g.PlayerX));
  g.PlayerY = static_cast<float>(Rnd(g.PlayerY));
  const int px = static_cast<int>(g.PlayerX), py = static_cast<int>(g.PlayerY);
  for (int i = 1; i <= g.CloudList.Count; i++) {
    const bool onIt = g.CloudList.X[i] == px && g.CloudList.Y[i] == py + 1;
    if (!onIt && g.CloudList.State[i] == 1) {
      PlayWave(g, wpCroud);
      g.CloudList.State[i] = 2;
      SetCell(g, g.CloudList.X[i], g.CloudList.Y[i], ccEmpty);
    }
  }
  for (int i = 1; i <= g.JailList.Count; i++) {
    const bool inside = g.JailList.X[i] == px && g.JailList.Y[i] == py;
    if (inside && g.JailList.State[i] == 0) {
      g.JailList.State[i] = 1;
    } else if (!inside && g.JailList.State[i] == 1) {
      PlayWave(g, wpRouya);
      g.JailList.State[i] = 2;
      SetCell(g, g.JailList.X[i], g.JailList.Y[i], ccJailClosed);
    }
  }
  for (int i = 1; i <= g.KeyList.Count; i++) {
    if (g.KeyList.X[i] == px && g.KeyList.Y[i] == py && g.KeyList.State[i] == 0) {
      PlayWave(g, wpKey);
      g.KeyList.State[i] = 1;
      g.KeysHeld = g.KeysHeld >= 99 ? 99 : static_cast<uint8_t>(g.KeysHeld + 1);
    }
  }
  for (int i = 1; i <= g.BallList.Count; i++) {
    if (g.BallList.X[i] == px && g.BallList.Y[i] == py && g.BallList.State[i] == 0) {
      g.BallList.State[i] = 1;
      g.BallsTaken++;
      if (g.BallsTaken == g.BallsInStage && g.BallsInStage != 0) {
        PaceFrame(g);  // the rest of this frame before the cut-scene starts
        DrawPlayField(g);
        PlayBallsCompleteScene(g);
      } else {
        PlayWave(g, wpBoal);
      }
    }
  }
  if (g.GoalX == static_cast<int>(g.PlayerX) && g.GoalY == static_cast<int>(g.PlayerY)) {
    g.GoalArrived = 1;
    PaceFrame(g);  // the rest of this frame before the cut-scene starts
    DrawPlayField(g);
    PlayWave(g, wpGoal);
    if (g.AltMode == 0)
      PlayStageClearScene(g);
    else
      PlayStageClearSceneAlt(g);
  }
}

namespace {

// The player, or the object he holds, is right under the object at (ox, oy).
bool HeldUpByPlayer(const Game& g, int ox, int oy) {
  const long double px = g.PlayerX, py = g.PlayerY;
  const int h = g.HoldingObject ? 1 : 0;
  const int ac = g.ActionCode;
  bool col, row;
  if (ac == 10 || ac == 16 || ac == 17 || (ac == 22 && g.ActionFrames > 3)) {
    col = Rnd(px) == ox;
    row = Trunc(py - h) == oy + 1;
  } else if (ac == 1 || ac == 5) {
    col = ox > px ? Trunc(px + 1.05L) == ox : Rnd(px) == ox;
    row = Rnd(py - h) == oy + 1;
  } else if (ac == 24 || ac == 28 || ac == 29 || ac == 33 || ac == 34) {
    col = ox > px ? Trunc(px + 1) == ox : Rnd(px) == ox;
    row = Trunc(py + 0.08L - h) == oy + 1;
  } else if (ac == 2 || ac == 6) {
    col = ox < px ? Trunc(px - 0.05L) == ox : Rnd(px) == ox;
    row = Rnd(py - h) == oy + 1;
  } else if (ac == 26 || ac == 30 || ac == 31 || ac == 35 || ac == 36) {
    col = ox <= px ? Trunc(px - 0.0001L) == ox : Rnd(px) == ox;
    row = Trunc(py + 0.08L - h) == oy + 1;
  } else {
    col = Rnd(px) == ox;
    row = Rnd(py - h) == oy + 1;
  }
  return col && row;
}

void UpdateLiftList(Game& g, int kind) {
  TLiftList& l = LiftList(g, kind);
  for (int i = 1; i <= l.Count; i++) {
    if (l.FallTimer[i] != 0) continue;
    l.X[i] = static_cast<float>(Rnd(l.X[i]));
    l.Y[i] = static_cast<float>(Rnd(l.Y[i]));
    if (l.State[i] == lsLifted) continue;
    const int ox = static_cast<int>(l.X[i]), oy = static_cast<int>(l.Y[i]);
    const bool held = g.HoldingObject && g.HeldKind == kind && g.HeldIndex == i;
    if (CellAt(g, ox, oy + 1) != ccEmpty || held) {
      if (l.State[i] == lsFalling) PlayWaveNoStop(g, wpGround);
      l.State[i] = lsRest;
      continue;
    }
    if (HeldUpByPlayer(g, ox, oy)) continue;
    l.State[i] = lsFalling;
    l.FallTimer[i] = 6;
    SetCell(g, ox, oy, ccEmpty);
    SetCell(g, ox, oy + 1, LiftCode(kind));
  }
}

}  // namespace

void UpdateFallingObjects(Game& g) {
  UpdateLiftList(g, 1);
  UpdateLiftList(g, 2);
}
