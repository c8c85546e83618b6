// Jumps: the wind-up, the take-off decision and the flight phases of straight jumps, diagonal
// jumps and hops.
#include "game/play/play_internal.h"
#include "game/scenes.h"

using namespace play;

namespace {


void Launch(Game& g, uint8_t code, uint8_t frames) {
  PlayWaveNoStop(g, wpJump);
  g.PadLaunchCut = 0;
  g.ActionCode = code;
  g.ActionFrames = frames;
}

// An object of `l` falls so that its rounded lower edge meets one of the rows given.
bool FallingAt(const Game& g, const TLiftList& l, long double column, long double row1, long double row2) {
  for (int i = 1; i <= l.Count; i++) {
    if (l.State[i] != lsFalling || static_cast<long double>(l.X[i]) != column) continue;
    const long double r = Rnd(static_cast<long double>(l.Y[i]) + 1);
    if (r == row1 || r == row2) return true;
  }
  (void)g;
  return false;
}

void LadderStop(Game& g) {
  if (!g.HoldingObject) g.PlayerFacing = 2;
  ChooseNextAction(g);
}

void RiseMove(Game& g) { Move(g.PlayerY, g.ActionFrames > 4 ? -0.175L : -0.075L); }
void DescendMove(Game& g) { Move(g.PlayerY, g.ActionFrames > 4 ? 0.075L : 0.175L); }

}  // namespace

namespace play {

bool TakeOff(Game& g) {
  const long double px = g.PlayerX, py = g.PlayerY;
  const uint8_t own = Probe(g, 0, 0), above = Probe(g, 0, -1);
  if (above == ccCloud && own != ccJailOpen) {
    HitClouds(g);
    Launch(g, paJumpRise, 8);
    return true;
  }
  for (const TLiftList* l : {&g.BalloonList, &g.JumpPadList}) {
    if (FallingAt(g, *l, px, py - 1, py - 1) && above == ccEmpty) {
      g.ActionCode = paIdle;
      ChooseNextAction(g);
      return true;
    }
  }
  if (own == ccJailOpen || In(kCeiling, above)) {
    g.ActionCode = paIdle;
    g.ActionFrames = 0;
    ChooseNextAction(g);
    return false;
  }
  if (g.JumpDirection == 0) {
    Launch(g, paJumpRise, 8);
    return false;
  }
  const int d = g.JumpDirection == 1 ? 1 : -1;
  for (const TLiftList* l : {&g.BalloonList, &g.JumpPadList}) {
    if (FallingAt(g, *l, px + d, py - 1, py) && Probe(g, d, -1) == ccEmpty) {
      Launch(g, paJumpRise, 8);
      return true;
    }
  }
  if (In(kHeldTarget, Probe(g, d, 0))) {
    Launch(g, d > 0 ? paJumpRiseRight : paJumpRiseLeft, 8);
  } else if (above == ccGoal) {
    Launch(g, paJumpRise, 8);
    return true;
  } else {
    Launch(g, d > 0 ? paHopRight : paHopLeft, 4);
  }
  return false;
}

bool StepJumpAction(Game& g) {
  const uint8_t ac = g.ActionCode;
  switch (ac) {
    case paJumpWindup1:
    case paJumpWindup2:
    case paJumpWindup3:
      g.ActionFrames--;
      if (g.ActionFrames == 0) {
        g.ActionCode = static_cast<uint8_t>(ac + 1);
        g.ActionFrames = 6;
      }
      return false;
    case paJumpRise:
      RiseMove(g);
      g.ActionFrames--;
      if (g.ActionFrames == 0) {
        if (Probe(g, 0, 0) == ccLadder) {
          g.PlayerFacing = 2;  // also while holding: only a pad launch gets here with an object
          ChooseNextAction(g);
        } else if (Probe(g, 0, 1) == ccLadder) {
          g.ActionCode = paLand;
          g.ActionFrames = 6;
          SnapAndCollect(g);
        } else {
          g.ActionCode = paJumpDescend;
          g.ActionFrames = 8;
          SnapAndCollect(g);
        }
      }
      return false;
    case paJumpDescend:
      DescendMove(g);
      g.ActionFrames--;
      if (g.ActionFrames == 0) ResolveLanding(g, Landing::A, 0);
      return false;
    case paJumpRiseRight:
    case paJumpRiseLeft: {
      const int d = ac == paJumpRiseRight ? 1 : -1;
      RiseMove(g);
      Move(g.PlayerX, d * 0.125L);
      g.ActionFrames--;
      if (g.ActionFrames == 0) {
        if (Probe(g, 0, 0) == ccLadder) {
          LadderStop(g);
        } else if (In(kWalkable, Probe(g, d, 0)) && In(kHeldTarget, Probe(g, d, 1))) {
          g.ActionCode = d > 0 ? paJumpDescendRight : paJumpDescendLeft;
          g.ActionFrames = 8;
          SnapAndCollect(g);
        } else if (Probe(g, 0, 1) == ccLadder) {
          g.ActionCode = paLand;
          g.ActionFrames = 6;
          SnapAndCollect(g);
          CollectPassedCell(g, d, false);
        } else {
          g.ActionCode = paJumpDescend;
          g.ActionFrames = 8;
          SnapAndCollect(g);
        }
      }
      return false;
    }
    case paJumpDescendRight:
    case paJumpDescendLeft: {
      const int d = ac == paJumpDescendRight ? 1 : -1;
      DescendMove(g);
      Move(g.PlayerX, d * 0.125L);
      g.ActionFrames--;
      if (g.ActionFrames == 0) ResolveLanding(g, Landing::B, d);
      return false;
    }
    case paHopRight:
    case paHopLeft: return RiseThenArcOver(g, ac == paHopRight ? 1 : -1, paHopOverRight, paHopOverLeft);
    case paHopOverRight:
    case paHopOverLeft: {
      const int d = ac == paHopOverRight ? 1 : -1;
      Move(g.PlayerY, -0.038L);
      Move(g.PlayerX, d * 0.125L);
      g.ActionFrames--;
      if (g.ActionFrames == 0) {
        CollectPassedCell(g, d, true);
        ResolveLanding(g, Landing::C, d);
      }
      return false;
    }
    default: return false;  // 21 is decided after the dispatch
  }
}

}  // namespace play
