// Play input: the arrows, Shift, Z, X and Escape turned into the player's moves once a frame.
#include "game/play/cutscenes.h"
#include "game/play/play_internal.h"
#include "game/scenes.h"
#include "game/shell/draw.h"
#include "game/shell/frame.h"
#include "platform/api/keys.h"
#include "platform/api/raster.h"

using namespace play;

namespace {


bool AcIn(const Game& g, std::initializer_list<int> codes) {
  for (int c : codes)
    if (g.ActionCode == c) return true;
  return false;
}

// One arrow (d = -1 left, +1 right). Returns false when the step ends input for the frame.
bool SideArrow(Game& g, int d) {
  const uint8_t facing = d < 0 ? 1 : 0;
  if (AcIn(g, {paJumpWindup1, paJumpWindup2, paJumpWindup3})) {
    if (g.PlayerFacing == facing) g.JumpDirection = d < 0 ? 2 : 1;
    g.PrevFacing = g.PlayerFacing;
    return true;
  }
  if (AcIn(g, {paPadBounce, paPadFlight})) {
    // Only the still-open choice reacts; a made or locked choice ignores the arrows.
    if (g.PadDirection == 0) {
      if (g.PlayerFacing == facing) {
        g.PadDirection = d < 0 ? 2 : 1;
      } else {
        g.PlayerFacing = facing;
        g.PadDirection = 3;
      }
      g.PrevFacing = g.PlayerFacing;
    }
    return true;
  }
  if (KeyPressed(g, plat::kVkShift)) {
    if (g.PlayerBusy) return true;
    if (Probe(g, 0, 1) != ccIce || Probe(g, 0, 0) == ccLadder) {
      g.PlayerFacing = facing;
      g.PadDirection = 3;
      g.PrevFacing = g.PlayerFacing;
      return true;
    }
  }
  if (!g.PlayerBusy) {
    g.PlayerFacing = facing;
    g.PadDirection = 3;
  }
  if (g.HoldingObject && (!In(kEmptyOrLadder, Probe(g, d, -1)) || Probe(g, d, 0) == ccJailOpen)) {
    g.PrevFacing = g.PlayerFacing;
    return false;
  }
  if (AcIn(g, {paIdle, paCarriedRight, paCarriedLeft, paLadderUp, paLadderDown, paLadderUpDown, paLadderHang})) {
    const uint8_t against = d < 0 ? ccConveyorRight : ccConveyorLeft;
    const uint8_t front = Probe(g, d, 0);
    if (In(kWalkable, front)) {
      g.PlayerBusy = 1;
      if (!AcIn(g, {paCarriedRight, paCarriedLeft})) {
        if (Probe(g, 0, 1) == against) {
          g.ActionCode = paWalkAgainstConveyor;
          g.ActionFrames = 16;
        } else {
          g.ActionCode = d < 0 ? paWalkLeft : paWalkRight;
          g.ActionFrames = 8;
        }
        g.PadLaunchCut = 0;
      }
    }
    if (front == ccDoor && Probe(g, 0, 1) != against && g.KeysHeld > 0 &&
        (g.ActionFrames == 0 || g.ActionFrames == 8)) {
      g.KeysHeld--;
      SetProbe(g, d, 0, ccDoorOpening);
      PlayDoorScene(g);
      SetProbe(g, d, 0, ccEmpty);
      ChooseNextAction(g);
    }
    g.PrevFacing = g.PlayerFacing;
  }
  return true;
}

void StartClimbFacing(Game& g) {
  if (g.PlayerFacing < 2) g.PrevFacing = g.PlayerFacing;
  g.PlayerFacing = 2;
  g.PadDirection = 3;
}

// Conveyor below the ladder the player stands in (d = -1 left conveyor, +1 right).
void LadderToConveyor(Game& g, int d) {
  g.ActionCode = d < 0 ? paCarriedLeft : paCarriedRight;
  g.PadDirection = 3;
  if (In(kWalkable, Probe(g, d, 0)) &&
      (!g.HoldingObject || (In(kEmptyOrLadder, Probe(g, d, -1)) && In(kHeldTarget, Probe(g, d, 0))))) {
    g.ActionFrames = 8;
    g.PlayerFacing = d < 0 ? 1 : 0;
    g.PlayerBusy = 1;
  } else {
    ChooseNextAction(g);
  }
}

void DownArrow(Game& g) {
  const uint8_t own = Probe(g, 0, 0), below = Probe(g, 0, 1);
  if (!g.HoldingObject && AcIn(g, {paLadderDown, paLadderUpDown})) {
    g.ActionCode = paClimbDown;
    g.ActionFrames = 8;
    g.PlayerBusy = 1;
    StartClimbFacing(g);
    return;
  }
  if (g.ActionCode == paLadderHang || (g.ActionCode == paLadderUp && In(kHeldTarget, below))) {
    if (!g.HoldingObject) {
      g.ActionCode = paFall;
      g.ActionFrames = 6;
      g.PlayerFacing = g.PrevFacing;
      g.PadDirection = 3;
    }
    return;
  }
  if (!AcIn(g, {paIdle, paLadderUp}) || own != ccLadder) return;
  if (below == ccCloud) {
    // Down on a ladder breaks a cloud under it that is still whole (not yet vanishing).
    ForCloudsAt(g, 1, [&g](uint8_t& state) {
      if (state > 1) return;
      PlayWave(g, wpCroud);
      state = 2;
    });
    g.ActionCode = paLadderUp;
    g.ActionFrames = 8;
    g.PadDirection = 3;
  } else if (below == ccConveyorLeft) {
    LadderToConveyor(g, -1);
  } else if (below == ccConveyorRight) {
    LadderToConveyor(g, 1);
  } else if (below == ccJumpPad) {
    if (g.PlayerFacing == 2) g.PlayerFacing = g.PrevFacing;
    FindPadBelow(g);
    g.ActionCode = paPadBounce;
    g.ActionFrames = 20;
    g.PadDirection = 3;
  }
}

void EnterPause(Game& g) {
  PlayWaveNoStop(g, wpWindow);
  g.KeyLatch = 1;
  g.SceneId = scPause;
  for (int x = 0; x < kGridCols; x++)
    for (int y = 0; y < kGridRows; y++)
      plat::gfx::BitBlt(g.BackBuffer, 32 * x, 32 * y, 32, 32, g.Art.ImgAnten, 64, 0, plat::gfx::Rop::And);
  DrawRect(g, 0xFFFFFF, bsSolid, pmCopy, 218, 138, 442, 342);
}

}  // namespace

void HandlePlayInput(Game& g) {
  if (KeyPressed(g, plat::kVkLeft) && !KeyPressed(g, plat::kVkRight)) {
    if (!SideArrow(g, -1)) return;
  }
  if (KeyPressed(g, plat::kVkRight) && !KeyPressed(g, plat::kVkLeft)) {
    if (!SideArrow(g, 1)) return;
  }
  if ((g.JumpDirection == 1 && !In(kWalkable, Probe(g, 1, -1))) ||
      (g.JumpDirection == 2 && !In(kWalkable, Probe(g, -1, -1))))
    g.JumpDirection = 0;
  if (KeyPressed(g, plat::kVkUp) && !KeyPressed(g, plat::kVkDown) && !g.HoldingObject &&
      AcIn(g, {paLadderUp, paLadderUpDown})) {
    if (In(kLadderExitUp, Probe(g, 0, -1))) {
      g.ActionCode = paClimbUp;
      g.ActionFrames = 8;
      g.PlayerBusy = 1;
      StartClimbFacing(g);
    }
  }
  if (KeyPressed(g, plat::kVkDown) && !KeyPressed(g, plat::kVkUp)) DownArrow(g);

  const bool canJump = g.ActionCode == paIdle || (g.ActionCode == paLadderDown && Probe(g, 0, 0) != ccLadder) ||
                       (g.ActionCode == paLadderUp && !In(kNoSupport, Probe(g, 0, 1)));
  if (canJump && !g.PlayerFlash && !g.HoldingObject && g.PlayerFacing < 2 && !g.KeyLatch &&
      KeyPressed(g, plat::kVkZ)) {
    if (Probe(g, 0, 1) == ccCloud)
      StandOnClouds(g);
    g.KeyLatch = 1;
    g.PlayerBusy = 1;
    g.JumpDirection = 0;
    g.ActionCode = paJumpWindup1;
    g.ActionFrames = 6;
    g.PadDirection = 3;
  }

  if (AcIn(g, {paIdle, paLadderUp, paLadderDown, paLadderUpDown, paLadderHang}) && g.PlayerFacing < 2 &&
      !g.KeyLatch && KeyPressed(g, plat::kVkX)) {
    g.PadDirection = 3;
    const int d = g.PlayerFacing == 0 ? 1 : -1;
    if (!g.HoldingObject) {
      g.PlayerBusy = 1;
      g.KeyLatch = 1;
      g.ActionCode = paLiftStart;
      g.ActionFrames = 6;
    } else if (Probe(g, d, 0) == ccEmpty && In(kEmptyOrLadder, Probe(g, d, -1))) {
      g.PlayerBusy = 1;
      g.KeyLatch = 1;
      g.ActionCode = paPutDownCheck;
      g.ActionFrames = 6;
    }
  }

  if (!g.KeyLatch && KeyPressed(g, plat::kVkEscape)) EnterPause(g);
}
