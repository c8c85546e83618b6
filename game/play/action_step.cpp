// The per-frame action step: falling motion, the ground actions, the landing resolution and
// the pick-up of a cell passed in an arc.
#include "game/play/cutscenes.h"
#include "game/play/play_internal.h"
#include "game/scenes.h"
#include "game/shell/frame.h"
#include "platform/api/keys.h"

using namespace play;

namespace play {

void FallingMotion(Game& g) {
  for (TLiftList* l : {&g.BalloonList, &g.JumpPadList})
    for (int i = 1; i <= l->Count; i++)
      if (l->FallTimer[i] > 0 && l->State[i] != lsRest) {
        l->FallTimer[i]--;
        Move(l->Y[i], 0.175L);
      }
}

namespace {


void CarryTest(Game& g, Landing variant, int d) {
  bool open = In(kWalkable, Probe(g, d, 0));
  if (variant == Landing::C && g.HoldingObject) open = open && In(kEmptyOrLadder, Probe(g, d, -1));
  if (open) {
    g.ActionFrames = 8;
  } else {
    g.ActionCode = paLand;
    g.ActionFrames = 6;
  }
}

}  // namespace

void ResolveLanding(Game& g, Landing variant, int dir) {
  if (variant == Landing::C && Probe(g, 0, 1) == ccJumpPad) {
    ChooseNextAction(g);
    return;
  }
  if (Probe(g, 0, 0) == ccLadder) {
    if (!g.HoldingObject) g.PlayerFacing = 2;
    ChooseNextAction(g);
    return;
  }
  const uint8_t below = Probe(g, 0, 1);
  if ((variant == Landing::A || variant == Landing::B) && below == ccJumpPad) {
    ChooseNextAction(g);
    return;
  }
  if (In(kFirmFloor, below) || (variant == Landing::A && below == ccIce)) {
    g.ActionCode = paLand;
    g.ActionFrames = 6;
    SnapAndCollect(g);
    return;
  }
  const int d = dir < 0 ? -1 : 1;
  const uint8_t withTravel = d > 0 ? ccConveyorRight : ccConveyorLeft;
  const uint8_t againstTravel = d > 0 ? ccConveyorLeft : ccConveyorRight;
  if (below == withTravel || below == ccIce) {
    g.ActionCode = d > 0 ? paCarriedRight : paCarriedLeft;
    SnapAndCollect(g);
    CarryTest(g, variant, d);
    return;
  }
  if (below == againstTravel) {
    g.ActionCode = d > 0 ? paCarriedLeft : paCarriedRight;
    SnapAndCollect(g);
    CarryTest(g, variant, -d);
    return;
  }
  g.ActionCode = paFall;
  g.ActionFrames = 6;
  SnapAndCollect(g);
}

void CollectPassedCell(Game& g, int dir, bool hopOver) {
  const int cx = Rnd(static_cast<long double>(g.PlayerX) - dir), cy = Rnd(g.PlayerY);
  for (int i = 1; i <= g.JailList.Count; i++)
    if (g.JailList.X[i] == cx && g.JailList.Y[i] == cy && g.JailList.State[i] <= 1) {
      PlayWave(g, wpRouya);
      g.JailList.State[i] = 2;
      SetCell(g, cx, cy, ccJailClosed);
    }
  for (int i = 1; i <= g.KeyList.Count; i++)
    if (g.KeyList.X[i] == cx && g.KeyList.Y[i] == cy && g.KeyList.State[i] == 0) {
      PlayWave(g, wpKey);
      g.KeyList.State[i] = 1;
      g.KeysHeld = g.KeysHeld >= 99 ? 99 : static_cast<uint8_t>(g.KeysHeld + 1);
    }
  for (int i = 1; i <= g.BallList.Count; i++)
    if (g.BallList.X[i] == cx && g.BallList.Y[i] == cy && g.BallList.State[i] == 0) {
      g.BallList.State[i] = 1;
      g.BallsTaken++;
      if (g.BallsTaken == g.BallsInStage && g.BallsInStage != 0) {
        PaceFrame(g);  // the rest of this frame before the cut-scene starts
        if (hopOver && g.AltMode == 1) g.ActionFrames = 2;
        DrawPlayField(g);
        PlayBallsCompleteScene(g);
      } else {
        PlayWave(g, wpBoal);
      }
    }
}

}  // namespace play

namespace {

void EndTest(Game& g) {
  if (g.ActionFrames == 0) ChooseNextAction(g);
}

void StepGround(Game& g) {
  const uint8_t ac = g.ActionCode;
  const bool odd = (g.ActionFrames & 1) != 0;
  switch (ac) {
    case paWalkRight:
    case paWalkLeft:
      Move(g.PlayerX, ac == paWalkRight ? 0.125L : -0.125L);
      if (odd && g.PlayerBusy) AdvanceAnim(g);
      g.ActionFrames--;
      EndTest(g);
      break;
    case paFall:
      Move(g.PlayerY, 0.175L);
      g.ActionFrames--;
      if (g.FrameCounter % 2 == 0) AdvanceAnim(g);
      EndTest(g);
      break;
    case paCarriedRight:
    case paCarriedLeft:
      Move(g.PlayerX, ac == paCarriedRight ? 0.125L : -0.125L);
      if ((odd && g.PlayerBusy) || g.PlayerAnimFrame % 4 != 0) AdvanceAnim(g);
      g.ActionFrames--;
      if ((KeyPressed(g, plat::kVkRight) || KeyPressed(g, plat::kVkLeft)) && Probe(g, 0, 1) == ccIce)
        PlayWaveNoStop(g, wpIce);
      EndTest(g);
      break;
    case paClimbUp:
    case paClimbDown:
      Move(g.PlayerY, ac == paClimbUp ? -0.125L : 0.125L);
      if (odd) AdvanceAnim(g);
      g.ActionFrames--;
      EndTest(g);
      break;
    case paWalkAgainstConveyor:
      if (g.PlayerBusy) AdvanceAnim(g);
      g.ActionFrames--;
      EndTest(g);
      break;
    case paLand:
    case paLandEnd:
      if (g.ActionFrames == 5) PlayWaveNoStop(g, wpGround);
      g.ActionFrames--;
      if (g.ActionFrames == 4) g.ActionCode = paLandEnd;
      if (g.ActionFrames == 0) {
        g.ActionCode = paIdle;
        ChooseNextAction(g);
      }
      break;
    default: break;
  }
}

}  // namespace

void StepPlayerAction(Game& g) {
  FallingMotion(g);
  const uint8_t ac = g.ActionCode;
  bool ended = false;
  if (ac == paPadBounce || (ac >= paPadFlight && ac <= paPadArcLeft))
    ended = StepPadAction(g);
  else if (ac >= paJumpWindup1 && ac <= paHopOverLeft)
    ended = StepJumpAction(g);
  else if (ac >= paLiftStart && ac <= paPutDownEnd)
    ended = StepLiftAction(g);
  else
    StepGround(g);
  if (ended) return;
  if (g.ActionCode == paJumpTakeoff) {
    if (TakeOff(g)) return;
  }
  if (g.HoldingObject && g.ActionCode < paLiftStart) {
    if (TLiftList* l = HeldList(g)) {
      l->X[g.HeldIndex] = g.PlayerX;
      l->Y[g.HeldIndex] = static_cast<float>(static_cast<long double>(g.PlayerY) - 1);
    }
  }
}
