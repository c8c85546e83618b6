// Helpers the play rules share: bounds-safe cell probes, cell sets, single-precision motion.
#pragma once
#include <cmath>
#include <cstdint>
#include <initializer_list>

#include "game/game.h"
#include "game/play/play.h"
#include "game/play/play_sounds.h"

namespace play {

// floor(w) for 0 <= w < 2^31 without switching the FPU's rounding mode (which a cast of a long
// double does, and which stalls): the nearest double, cut to a whole number, is floor(w) or one
// more, when rounding carried w up to the next whole number.
inline int32_t FloorNonNegative(long double w) {
  const int32_t t = static_cast<int32_t>(static_cast<double>(w));
  return static_cast<long double>(t) > w ? t - 1 : t;
}
// Half away from zero, evaluated on the exact (extended) sum of a position and an offset.
inline int32_t Rnd(long double v) { return v < 0 ? -FloorNonNegative(-v + 0.5L) : FloorNonNegative(v + 0.5L); }
inline int32_t Trunc(long double v) { return v < 0 ? -FloorNonNegative(-v) : FloorNonNegative(v); }

// Cells outside the 20x15 grid read as blocks and are never written: a user stage without a
// border must not reach outside the grid.
inline uint8_t CellAt(const Game& g, int x, int y) {
  if (x < 0 || y < 0 || x >= kGridCols || y >= kGridRows) return ccBlock;
  return g.StageGrid[GridIndex(x, y)];
}
inline void SetCell(Game& g, int x, int y, uint8_t code) {
  if (x < 0 || y < 0 || x >= kGridCols || y >= kGridRows) return;
  g.StageGrid[GridIndex(x, y)] = code;
}
// The cell at offset (dx, dy) from the player, the offset added before rounding.
inline uint8_t Probe(const Game& g, int dx, int dy) {
  return CellAt(g, Rnd(static_cast<long double>(g.PlayerX) + dx), Rnd(static_cast<long double>(g.PlayerY) + dy));
}
inline void SetProbe(Game& g, int dx, int dy, uint8_t code) {
  SetCell(g, Rnd(static_cast<long double>(g.PlayerX) + dx), Rnd(static_cast<long double>(g.PlayerY) + dy), code);
}

// A balloon or pad falling in the column `d` ahead of the player, at the player's row or the
// one above: a sideways move into it turns into a straight rise.
inline bool FallingObjectAhead(const Game& g, int d) {
  const long double col = static_cast<long double>(g.PlayerX) + d;
  const int r1 = Rnd(static_cast<long double>(g.PlayerY) - 1), r2 = Rnd(g.PlayerY);
  for (const TLiftList* l : {&g.BalloonList, &g.JumpPadList})
    for (int i = 1; i <= l->Count; i++) {
      if (l->State[i] != lsFalling || static_cast<long double>(l->X[i]) != col) continue;
      const int r = Rnd(l->Y[i]);
      if (r == r1 || r == r2) return true;
    }
  return false;
}

// Cell sets as bit masks over the codes (30 fits too).
constexpr uint32_t Codes(std::initializer_list<int> codes) {
  uint32_t m = 0;
  for (int c : codes) m |= 1u << c;
  return m;
}
constexpr bool In(uint32_t set, uint8_t code) { return code < 32 && ((set >> code) & 1u) != 0; }

// The cell sets the rules name, each once.
// The player walks, stands and climbs in these: nothing solid and no closed jail.
constexpr uint32_t kWalkable = Codes({ccEmpty, ccLadder, ccKey, ccBall, ccJailOpen, ccGoal});
// A held or carried object may move into these: the walkable cells but an open jail.
constexpr uint32_t kHeldTarget = Codes({ccEmpty, ccLadder, ccKey, ccBall, ccGoal});
constexpr uint32_t kEmptyOrLadder = Codes({ccEmpty, ccLadder});
// Nothing to stand on or hold to.
constexpr uint32_t kNoSupport = Codes({ccEmpty, ccKey, ccBall, ccGoal});
// Leaving a ladder upward: a barrier counts as open here too.
constexpr uint32_t kLadderExitUp = kWalkable | Codes({ccBarrier});
// What a pad launch meets overhead: the solid cells, a closed jail and the conveyors.
constexpr uint32_t kPadCeiling = Codes({ccBlock, ccDoor, ccBalloon, ccJumpPad, ccIce, ccNoJump, ccJailClosed,
                                        ccConveyorRight, ccConveyorLeft, ccBarrier});
// What a jump meets overhead: the same and a cloud.
constexpr uint32_t kCeiling = kPadCeiling | Codes({ccCloud});
// What the player stands on; a landing counts ice too.
constexpr uint32_t kFirmFloor = Codes({ccBlock, ccLadder, ccDoor, ccBalloon, ccNoJump, ccJailClosed, ccJailOpen,
                                       ccCloud, ccBarrier});
constexpr uint32_t kLandingFloor = kFirmFloor | Codes({ccIce});

// Motion constants are extended values added to single positions; the sum is stored as single.
inline void Move(float& v, long double step) { v = static_cast<float>(static_cast<long double>(v) + step); }

// The rising part of a hop or a pad launch, one frame: up 0.175 cells. When it ends, a falling
// object ahead turns it into a straight rise (true: the step ends at once); otherwise the arc
// over the cell ahead, `arcRight` or `arcLeft` by d, takes its 8 frames.
inline bool RiseThenArcOver(Game& g, int d, uint8_t arcRight, uint8_t arcLeft) {
  Move(g.PlayerY, -0.175L);
  g.ActionFrames--;
  if (g.ActionFrames != 0) return false;
  if (FallingObjectAhead(g, d)) {
    g.ActionCode = paJumpRise;
    g.ActionFrames = 4;
    return true;
  }
  g.ActionCode = d > 0 ? arcRight : arcLeft;
  g.ActionFrames = 8;
  return false;
}

inline TLiftList& LiftList(Game& g, int kind) { return kind == 2 ? g.JumpPadList : g.BalloonList; }
inline uint8_t LiftCode(int kind) { return kind == 2 ? ccJumpPad : ccBalloon; }
// The held object's entry, or null when the held kind or index is out of range.
inline TLiftList* HeldList(Game& g) {
  if (g.HeldKind != 1 && g.HeldKind != 2) return nullptr;
  TLiftList& l = LiftList(g, g.HeldKind);
  if (g.HeldIndex < 1 || g.HeldIndex >= TLiftList::kSlots) return nullptr;
  return &l;
}

// The walk frame: +1, past 7 back to 0.
inline void AdvanceAnim(Game& g) {
  g.PlayerAnimFrame = static_cast<uint8_t>(g.PlayerAnimFrame + 1);
  if (g.PlayerAnimFrame > 7) g.PlayerAnimFrame = 0;
}
// Calls f(state) for each cloud in the player's column, dy rows from him (positions compared
// exactly, as the rules compare them).
template <class F>
void ForCloudsAt(Game& g, int dy, F&& f) {
  const long double row = static_cast<long double>(g.PlayerY) + dy;
  for (int i = 1; i <= g.CloudList.Count; i++)
    if (g.CloudList.X[i] == g.PlayerX && g.CloudList.Y[i] == row) f(g.CloudList.State[i]);
}
// The clouds under the player are stood on (state 1): they vanish once he leaves them.
void StandOnClouds(Game& g);
// The clouds right above the player's head are hit: "croud.wav" and they vanish (state 2).
void HitClouds(Game& g);
// Sets PadIndex to the jump pad right under the player, if there is one.
void FindPadBelow(Game& g);

// Landing resolution variants.
enum class Landing { A, B, C, D };
void ResolveLanding(Game& g, Landing variant, int dir);
void CollectPassedCell(Game& g, int dir, bool hopOver);
bool TakeOff(Game& g);  // true when the step ends at once
// Branches of StepPlayerAction; each returns true when the step ends at once.
bool StepPadAction(Game& g);
bool StepJumpAction(Game& g);
bool StepLiftAction(Game& g);
// The falling motion of the step's first part (also run by the pad flight's nested loop).
void FallingMotion(Game& g);

}  // namespace play
