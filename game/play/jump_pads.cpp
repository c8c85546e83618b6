// Jump pads: the bounce, the launch decision, the straight-up flight with its nested frame
// loop, and the sideways launch and arc.
#include "game/play/play_internal.h"
#include "game/scenes.h"
#include "game/shell/frame.h"
#include "game/shell/music_control.h"

using namespace play;

namespace {

constexpr uint32_t kLift = Codes({ccBalloon, ccJumpPad});

void SetPose(Game& g, uint8_t pose) {
  if (g.PadIndex >= 1 && g.PadIndex < TLiftList::kSlots) g.JumpPadList.Pose[g.PadIndex] = pose;
}
void HeldToHead(Game& g) {
  if (!g.HoldingObject) return;
  if (TLiftList* l = HeldList(g)) l->Y[g.HeldIndex] = static_cast<float>(static_cast<long double>(g.PlayerY) - 1);
}

void Cut(Game& g) {
  g.PadLaunchCut = 1;
  g.ActionCode = paIdle;
  ChooseNextAction(g);
}
void StraightJump(Game& g) {
  SetPose(g, 0);
  g.ActionFrames = 8;
  g.ActionCode = paJumpRise;
  g.PlayerBusy = 1;
}
void Flight(Game& g) {
  g.PlayerAnimFrame = 0;
  g.ActionCode = paPadFlight;
  g.ActionFrames = g.HoldingObject ? 7 : 12;
}

bool EmptyOrKind(uint8_t cell, uint8_t kindCode) { return cell == ccEmpty || cell == kindCode; }

// Before a pad launches straight up: a falling object above that the flight would meet.
bool FallingObjectAbove(Game& g) {
  const bool holding = g.HoldingObject;
  const long double py = g.PlayerY;
  for (int kind = 1; kind <= 2; kind++) {
    const TLiftList& l = LiftList(g, kind);
    const uint8_t k = LiftCode(kind);
    for (int i = 1; i <= l.Count; i++) {
      if (Rnd(l.X[i]) != Rnd(g.PlayerX) || l.State[i] == lsRest || !(py > l.Y[i])) continue;
      const long double dist = py - l.Y[i];
      const uint8_t c1 = Probe(g, 0, -1), c2 = Probe(g, 0, -2), c3 = Probe(g, 0, -3), c4 = Probe(g, 0, -4);
      bool straight;
      if (!holding)
        straight = dist < 4 && (c1 == ccLadder || c1 == ccKey || c1 == ccBall) && EmptyOrKind(c2, k) &&
                   EmptyOrKind(c3, k);
      else
        straight = dist < 5 && ((c1 == ccLadder && EmptyOrKind(c2, k) && EmptyOrKind(c3, k) && EmptyOrKind(c4, k)) ||
                                (c2 == ccLadder && EmptyOrKind(c3, k) && EmptyOrKind(c4, k)));
      if (straight) return true;
    }
  }
  return false;
}

// Holding under a ceiling three rows up, launched sideways by the chosen direction.
// Returns true when the step ends at once.
bool SidewaysAtDecision(Game& g) {
  if (g.PadDirection == 0 || g.PadDirection == 3) {
    StraightJump(g);
    return true;
  }
  const int d = g.PadDirection == 1 ? 1 : -1;
  const bool open = In(kNoSupport, Probe(g, d, 0)) && In(kNoSupport, Probe(g, d, -1)) && In(kEmptyOrLadder, Probe(g, d, -2));
  if (!open && (!In(kHeldTarget, Probe(g, d, -1)) || !In(kEmptyOrLadder, Probe(g, d, -2)))) {
    StraightJump(g);
    return true;
  }
  const long double col = static_cast<long double>(g.PlayerX) + d;
  const int row = Rnd(static_cast<long double>(g.PlayerY) - 3);
  for (const TLiftList* l : {&g.BalloonList, &g.JumpPadList})
    for (int i = 1; i <= l->Count; i++)
      if (static_cast<long double>(l->X[i]) == col && Rnd(l->Y[i]) == row &&
          CellAt(g, Rnd(l->X[i]), Rnd(l->Y[i]) + 1) == ccEmpty) {
        StraightJump(g);
        return true;
      }
  Move(g.PlayerY, -0.175L);
  g.ActionFrames = 4;
  g.PlayerBusy = 1;
  bool hop = !open;
  if (open && Probe(g, d, -2) == ccEmpty && In(kLift, Probe(g, d, -3))) hop = true;
  if (hop)
    g.ActionCode = d > 0 ? paHopRight : paHopLeft;
  else
    g.ActionCode = d > 0 ? paPadLaunchRight : paPadLaunchLeft;
  return false;
}

// Returns true when the step ends at once.
bool LaunchDecision(Game& g) {
  g.PlayerY = static_cast<float>(Rnd(g.PlayerY));
  const bool holding = g.HoldingObject;
  const uint8_t own = Probe(g, 0, 0);
  if (Probe(g, 0, -1) == ccCloud && own != ccJailOpen) {
    HitClouds(g);
    g.ActionCode = paJumpRise;
    g.ActionFrames = 8;
    return true;
  }
  const float py = g.PlayerY;
  if (py > 1) {
    const int r2 = Rnd(static_cast<long double>(py) - 2), r1 = Rnd(static_cast<long double>(py) - 1);
    for (const TLiftList* l : {&g.BalloonList, &g.JumpPadList})
      for (int i = 1; i <= l->Count; i++) {
        if (l->X[i] != g.PlayerX) continue;
        const int r = Rnd(static_cast<long double>(l->Y[i]) + 1);
        if ((r == r2 && Probe(g, 0, -2) == ccEmpty && Probe(g, 0, -1) == ccEmpty) ||
            (r == r1 && Probe(g, 0, -1) == ccEmpty)) {
          Cut(g);
          return true;
        }
      }
  }
  // Row 1 (and row 0, reachable only on a stage without a border) always cuts.
  if (py <= 1) {
    Cut(g);
    return true;
  }
  if (py == 2) {
    if (!holding && own != ccJailOpen && !In(kPadCeiling, Probe(g, 0, -1))) {
      Flight(g);
      return false;
    }
    Cut(g);
    return true;
  }
  if (!holding && (own == ccJailOpen || In(kCeiling, Probe(g, 0, -1)))) {
    Cut(g);
    return true;
  }
  if (holding && !In(kEmptyOrLadder, Probe(g, 0, -2))) {
    Cut(g);
    return true;
  }
  if (!holding || In(kEmptyOrLadder, Probe(g, 0, -3))) {
    if (FallingObjectAbove(g)) {
      StraightJump(g);
      return true;
    }
    Flight(g);
    return false;
  }
  return SidewaysAtDecision(g);
}

bool StepBounce(Game& g) {
  switch (g.ActionFrames) {
    case 20:
      PlayWave(g, wpJumpdai);
      SetPose(g, 1);
      g.PlayerAnimFrame = 1;
      Move(g.PlayerY, 0.2L);
      break;
    case 18: g.PlayerAnimFrame = 2; break;
    case 14:
      SetPose(g, 2);
      Move(g.PlayerY, 0.2L);
      break;
    case 8: g.PlayerAnimFrame = 1; break;
    case 6:
      g.PadDirection = 0;
      Move(g.PlayerY, -0.2L);
      SetPose(g, 1);
      break;
    case 5: g.PlayerAnimFrame = 3; break;
    case 3:
      Move(g.PlayerY, -0.2L);
      SetPose(g, 0);
      break;
    case 0:
      if (LaunchDecision(g)) return true;
      break;
    default: break;
  }
  if (g.ActionFrames > 0) g.ActionFrames--;
  return false;
}

void DirectionChoice(Game& g) {
  if (g.PadDirection != 1 && g.PadDirection != 2) {
    g.ActionFrames = 8;
    g.ActionCode = paJumpRise;
    return;
  }
  const int d = g.PadDirection == 1 ? 1 : -1;
  const bool usable = g.HoldingObject ? In(kHeldTarget, Probe(g, d, -1)) && In(kEmptyOrLadder, Probe(g, d, -2))
                                      : In(kWalkable, Probe(g, d, -1));
  if (!usable) {
    g.ActionFrames = 8;
    g.ActionCode = paJumpRise;
  } else if (!In(kHeldTarget, Probe(g, d, 0))) {
    g.ActionFrames = 4;
    g.ActionCode = d > 0 ? paHopRight : paHopLeft;
    g.PlayerBusy = 1;
  } else if (g.PlayerFacing == (d > 0 ? 0 : 1)) {
    g.ActionFrames = 4;
    g.ActionCode = d > 0 ? paPadLaunchRight : paPadLaunchLeft;
    g.PlayerBusy = 1;
  } else {
    g.ActionFrames = 8;
    g.ActionCode = paJumpRise;
  }
}

bool ObjectCloseAbove(const Game& g) {
  if (!g.HoldingObject && Probe(g, 0, -1) == ccGoal) return true;
  if (!In(kEmptyOrLadder, Probe(g, 0, -1))) return false;
  const int k0 = g.HoldingObject ? 3 : 2;
  for (int k = k0; k <= k0 + 3; k++) {
    bool between = true;
    for (int j = 2; j <= k - 1; j++)
      if (Probe(g, 0, -j) != ccEmpty) between = false;
    if (between && In(kLift, Probe(g, 0, -k))) return true;
  }
  return false;
}

void NestedFlightFrame(Game& g) {
  Move(g.PlayerY, -0.175L);
  HeldToHead(g);
  PaceFrame(g);
  BeginFrame(g);
  DrawPlayField(g);
  TickAnimation(g);
  ReleaseKeyLatch(g);
  FlushKeys(g);
  ServeFrame(g);
  UpdateFallingObjects(g);
  FallingMotion(g);
}

bool StepFlight(Game& g) {
  const bool holding = g.HoldingObject;
  const int a = g.ActionFrames;
  const int f = a - 1;
  Move(g.PlayerY, a > 6 ? -0.2L : -0.175L);
  g.ActionFrames = static_cast<uint8_t>(f);
  if (((f % 12 == 10 && !holding) || (f % 7 == 5 && holding)) && !ObjectCloseAbove(g)) SetPose(g, 3);
  if ((f == 5 && !holding) || (f == 0 && holding)) SetPose(g, 0);
  if (f % 6 == 0) SnapAndCollect(g);
  if (f % 6 != 0 && f % 12 != 10) {
    const uint8_t c1 = Probe(g, 0, -1), c2 = Probe(g, 0, -2), c3 = Probe(g, 0, -3), c4 = Probe(g, 0, -4);
    const bool overhead = (!holding && In(kLift, c2) && c1 == ccEmpty) ||
                          (In(kLift, c3) && c2 == ccEmpty && c1 == ccEmpty) ||
                          (holding && In(kLift, c4) && c3 == ccEmpty && c2 == ccEmpty && c1 == ccEmpty);
    if (overhead) {
      HeldToHead(g);
      const int pr = Rnd(g.PlayerY), pc = Rnd(g.PlayerX);
      for (const TLiftList* l : {&g.BalloonList, &g.JumpPadList})
        for (int i = 1; i <= l->Count; i++) {
          if (Rnd(l->X[i]) != pc) continue;
          const long double y = l->Y[i];
          const bool near = holding ? (Rnd(y + 3.5L) == pr || Rnd(y + 4.5L) == pr)
                                    : (Rnd(y + 2.5L) == pr || Rnd(y + 3.5L) == pr);
          if (near) {
            g.PadDirection = 3;
            g.ActionFrames = static_cast<uint8_t>(f % 6 + 2);
            g.ActionCode = paJumpRise;
            return true;
          }
        }
      // The rest of this six-frame stretch runs at once, paced and drawn frame by frame.
      for (int n = f % 6; n > 0 && !g.QuitRequested; n--) NestedFlightFrame(g);
      Move(g.PlayerY, 0.175L);
      g.PlayerY = static_cast<float>(Rnd(g.PlayerY));
      HeldToHead(g);
      SetPose(g, 0);
      g.PadDirection = 3;
      g.ActionFrames = 8;
      g.ActionCode = paJumpRise;
      if (!holding) HitClouds(g);
      return true;
    }
  }
  if (f % 12 == 0 || f % 12 == 6 || f % 12 == 10) {
    for (const TLiftList* l : {&g.BalloonList, &g.JumpPadList})
      for (int i = 1; i <= l->Count; i++) {
        if (l->X[i] != g.PlayerX) continue;
        const long double r = Rnd(static_cast<long double>(l->Y[i]) + 1);
        const long double py = g.PlayerY;
        if ((py - 2 == r && Probe(g, 0, -2) == ccEmpty && !holding) ||
            (py - 3 == r && Probe(g, 0, -3) == ccEmpty && Probe(g, 0, -2) == ccEmpty && holding)) {
          SetPose(g, 0);
          g.ActionFrames = 8;
          g.ActionCode = paJumpRise;
          g.PlayerBusy = 1;
          if (!holding) HitClouds(g);
          return true;
        }
      }
    const uint8_t c1 = Probe(g, 0, -1), c2 = Probe(g, 0, -2), own = Probe(g, 0, 0);
    if (c1 == ccCloud && !holding) {
      HitClouds(g);
      SetPose(g, 0);
      g.ActionCode = paJumpRise;
      g.ActionFrames = 8;
      return true;
    }
    if (c1 == ccGoal) {
      g.ActionFrames = 8;
      g.ActionCode = paJumpRise;
      return true;
    }
    if (c1 == ccJailOpen || In(kPadCeiling, c2)) {
      g.PlayerY = static_cast<float>(Rnd(g.PlayerY));
      SetPose(g, 0);
      if ((In(kLift, c1) && own != ccJailOpen && own != ccBarrier) ||
          (In(kLift, c2) && c1 == ccEmpty && own != ccJailOpen))
        g.PadDirection = 3;
      DirectionChoice(g);
    }
  }
  if (g.ActionFrames == 0) DirectionChoice(g);
  return false;
}

void StepArc(Game& g, int d) {
  Move(g.PlayerY, g.ActionFrames >= 4 ? -0.075L : 0.075L);
  Move(g.PlayerX, d * 0.125L);
  g.ActionFrames--;
  if (g.ActionFrames == 0) {
    CollectPassedCell(g, d, false);
    ResolveLanding(g, Landing::D, d);
  }
}

}  // namespace

namespace play {

bool StepPadAction(Game& g) {
  switch (g.ActionCode) {
    case paPadBounce: return StepBounce(g);
    case paPadFlight: return StepFlight(g);
    case paPadLaunchRight: return RiseThenArcOver(g, 1, paPadArcRight, paPadArcLeft);
    case paPadLaunchLeft: return RiseThenArcOver(g, -1, paPadArcRight, paPadArcLeft);
    case paPadArcRight: StepArc(g, 1); return false;
    case paPadArcLeft: StepArc(g, -1); return false;
    default: return false;
  }
}

}  // namespace play
