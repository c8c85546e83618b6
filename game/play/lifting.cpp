// Lifting a balloon or jump pad onto the head and putting it down again.
#include "game/play/play_internal.h"
#include "game/scenes.h"

using namespace play;

namespace {

constexpr long double kPi = 3.1415926535L;
constexpr long double kHalfPi = 1.57079632675L;
constexpr float kArcDivisor = 172.0f;

// A falling object in the own column or the one in front (dir -1 left, 1 right) blocks the lift:
// the lifted object would land in its path.
bool FallingBlocksLift(Game& g, const TLiftList& l, int dir) {
  const long double px = g.PlayerX;
  const int y = Rnd(g.PlayerY);
  for (int i = 1; i <= l.Count; i++) {
    if (l.State[i] != lsFalling) continue;
    if (!(l.X[i] == px || static_cast<long double>(l.X[i]) == px + dir)) continue;
    const int r = Rnd(l.Y[i]);
    const long double rowsAbove = static_cast<long double>(g.PlayerY) - r;
    if (rowsAbove == 1) return true;
    if (rowsAbove == 2 || rowsAbove == 3 || rowsAbove == 4) {
      const int col = Rnd(l.X[i]);
      int from = r + 1;
      if (Trunc(l.Y[i]) == r && l.FallTimer[i] != 0) from = r + 2;
      bool allEmpty = true;
      for (int row = from; row <= y - 1; row++)
        if (CellAt(g, col, row) != ccEmpty) allEmpty = false;
      if (allEmpty) return true;  // also with no cell left to test
    }
  }
  return false;
}

void LiftTest(Game& g) {
  const int d = g.PlayerFacing == 1 ? -1 : 1;
  const uint8_t frontCell = Probe(g, d, 0);
  g.ActionCode = paLiftRefused;
  g.ActionFrames = 12;
  if (frontCell != ccBalloon && frontCell != ccJumpPad) return;
  if (!In(kEmptyOrLadder, Probe(g, 0, -1))) return;
  if (!In(kEmptyOrLadder, Probe(g, d, -1))) return;
  if (Probe(g, 0, 0) == ccJailOpen) return;
  if (FallingBlocksLift(g, g.BalloonList, d)) return;
  if (FallingBlocksLift(g, g.JumpPadList, d)) return;
  const long double col = static_cast<long double>(g.PlayerX) + d;
  for (int kind = 1; kind <= 2; kind++) {
    TLiftList& l = LiftList(g, kind);
    for (int i = 1; i <= l.Count; i++) {
      if (static_cast<long double>(l.X[i]) != col) continue;
      const bool resting = l.State[i] == lsRest && l.Y[i] == g.PlayerY;
      const bool fallingIn = l.State[i] == lsFalling &&
                             static_cast<long double>(Trunc(static_cast<long double>(l.Y[i]) + 1)) == g.PlayerY;
      if (resting || fallingIn) {
        l.State[i] = lsLifted;
        g.HeldKind = static_cast<uint8_t>(kind);
        g.HeldIndex = static_cast<uint8_t>(i);
        g.ActionCode = paLiftGrab;
        return;
      }
    }
  }
}

bool PutDownBlocked(Game& g, int d) {
  const long double col = static_cast<long double>(g.PlayerX) + d;
  const long double row = static_cast<long double>(g.PlayerY) - 1;
  for (const TLiftList* l : {&g.BalloonList, &g.JumpPadList})
    for (int i = 1; i <= l->Count; i++) {
      if (l->State[i] != lsFalling || static_cast<long double>(l->X[i]) != col) continue;
      if (Rnd(l->Y[i]) == row || Rnd(static_cast<long double>(l->Y[i]) + 1) == row) return true;
    }
  return false;
}

long double ArcStep(int k) { return 11.0L * k * kPi / kArcDivisor; }

}  // namespace

namespace play {

bool StepLiftAction(Game& g) {
  const int d = g.PlayerFacing == 1 ? -1 : 1;
  TLiftList* held = HeldList(g);
  switch (g.ActionCode) {
    case paLiftStart:
      if (--g.ActionFrames == 0) {
        g.ActionCode = paLiftCheck;
        g.ActionFrames = 6;
      }
      break;
    case paLiftCheck:
      if (--g.ActionFrames == 0) LiftTest(g);
      break;
    case paLiftRefused:
    case paPutDownEnd:
      if (--g.ActionFrames == 0) {
        g.ActionCode = paIdle;
        ChooseNextAction(g);
      }
      break;
    case paLiftGrab:
      if (--g.ActionFrames == 0) {
        g.HoldingObject = 1;
        if (held) {
          held->State[g.HeldIndex] = lsRest;
          held->FallTimer[g.HeldIndex] = 0;
        }
        g.ActionCode = paLiftRaise;
        g.ActionFrames = 8;
      }
      break;
    case paLiftRaise: {
      if (g.ActionFrames == 8) PlayWave(g, wpHave);
      g.ActionFrames--;
      const long double t = ArcStep(8 - g.ActionFrames);
      SetProbe(g, d, 0, ccEmpty);
      if (held) {
        held->X[g.HeldIndex] = static_cast<float>(static_cast<long double>(g.PlayerX) + d * std::cos(t));
        held->Y[g.HeldIndex] = static_cast<float>(static_cast<long double>(g.PlayerY) - std::sin(t));
      }
      if (g.ActionFrames == 0) {
        g.ActionCode = paIdle;
        ChooseNextAction(g);
      }
      break;
    }
    case paPutDownCheck:
      if (--g.ActionFrames == 0) {
        if (PutDownBlocked(g, d)) {
          g.ActionCode = paIdle;
          ChooseNextAction(g);
        } else {
          g.ActionCode = paPutDownLower;
          g.ActionFrames = 8;
        }
      }
      break;
    case paPutDownLower: {
      g.ActionFrames--;
      const long double p = kHalfPi - ArcStep(8 - g.ActionFrames);
      SetProbe(g, d, 0, g.HeldKind == 2 ? ccJumpPad : ccBalloon);
      if (held) {
        held->X[g.HeldIndex] = static_cast<float>(static_cast<long double>(g.PlayerX) + d * std::cos(p));
        held->Y[g.HeldIndex] = static_cast<float>(static_cast<long double>(g.PlayerY) - std::sin(p));
      }
      if (g.ActionFrames == 0) {
        // A pad sits on whole cells at once; a balloon is rounded by the next falling update.
        if (held && g.HeldKind == 2) {
          held->X[g.HeldIndex] = static_cast<float>(Rnd(held->X[g.HeldIndex]));
          held->Y[g.HeldIndex] = static_cast<float>(Rnd(held->Y[g.HeldIndex]));
        }
        g.HoldingObject = 0;
        g.ActionFrames = 12;
        g.ActionCode = paPutDownEnd;
      }
      break;
    }
    default: break;
  }
  return false;
}

}  // namespace play
