// Per-play state beside the grid: object lists, the player, the action codes and the
// animation counters.
#pragma once
#include <array>
#include <cstdint>

// Cells of one kind as they were at set-up; entries 1..Count, slot 0 unused.
struct TCellList {
  static constexpr int kSlots = 235;
  uint8_t Count = 0;
  std::array<int32_t, kSlots> X{};
  std::array<int32_t, kSlots> Y{};
  std::array<uint8_t, kSlots> State{};

  // Adds a cell as the next entry; a whole grid of one kind fits, so the guard never acts in play.
  void Append(int x, int y, uint8_t state) {
    if (Count + 1 >= kSlots) return;
    ++Count;
    X[Count] = x;
    Y[Count] = y;
    State[Count] = state;
  }
};

// Balloons or jump pads, which move; entries 1..Count (at most 21), slot 0 unused.
struct TLiftList {
  static constexpr int kSlots = 22;
  uint8_t Count = 0;
  std::array<float, kSlots> X{};
  std::array<float, kSlots> Y{};
  std::array<uint8_t, kSlots> State{};
  std::array<uint8_t, kSlots> FallTimer{};
  std::array<uint8_t, kSlots> Pose{};  // jump pads only
};

// TItemState: 0 present, 1..20 pick-up effect, 21 gone.
// TDoorState: 0 closed, 1 opening, 2 opened (restored once), 3 done.
// TJailState: 0 open, 1 player inside, 2..21 closing, 22 closed, 23..42 opening, 43 open for good.
// TCloudState: 0 idle, 1 stood on, 2..10 vanishing.
// TLiftState: 0 at rest or held, 1 falling, 2 being lifted.
enum TLiftState : uint8_t { lsRest = 0, lsFalling = 1, lsLifted = 2 };

enum TPlayerAction : uint8_t {
  paIdle = 0,
  paWalkRight = 1,
  paWalkLeft = 2,
  paFall = 3,
  paCarriedRight = 5,
  paCarriedLeft = 6,
  paPadBounce = 7,
  paLadderUp = 8,
  paLadderDown = 9,
  paClimbUp = 10,
  paClimbDown = 11,
  paLadderUpDown = 12,
  paLadderHang = 14,
  paWalkAgainstConveyor = 15,
  paLand = 16,
  paLandEnd = 17,
  paJumpWindup1 = 18,
  paJumpWindup2 = 19,
  paJumpWindup3 = 20,
  paJumpTakeoff = 21,
  paJumpRise = 22,
  paJumpDescend = 23,
  paJumpRiseRight = 24,
  paJumpDescendRight = 25,
  paJumpRiseLeft = 26,
  paJumpDescendLeft = 27,
  paHopRight = 28,
  paHopOverRight = 29,
  paHopLeft = 30,
  paHopOverLeft = 31,
  paPadFlight = 32,
  paPadLaunchRight = 33,
  paPadArcRight = 34,
  paPadLaunchLeft = 35,
  paPadArcLeft = 36,
  paLiftStart = 37,
  paLiftCheck = 38,
  paLiftRefused = 39,
  paLiftGrab = 40,
  paLiftRaise = 41,
  paPutDownCheck = 42,
  paPutDownLower = 43,
  paPutDownEnd = 44,
};

// How many times each cut-scene has run (the tests read it).
struct CutsceneLog {
  int DoorScenes = 0;
  int BallsCompleteScenes = 0;
  int StageClearScenes = 0;
  int StageClearAltScenes = 0;
  int StageIntros = 0;
};

struct PlayState {
  TCellList KeyList, BarrierList, DoorList, BallList, JailList, ConveyorRightList,
      ConveyorLeftList, CloudList;
  TLiftList BalloonList, JumpPadList;

  // The player.
  float PlayerX = 0, PlayerY = 0;
  uint8_t PlayerFacing = 0, PrevFacing = 0;
  uint8_t PlayerAnimFrame = 0;
  uint8_t ActionCode = 0, ActionFrames = 0;
  uint8_t PlayerBusy = 0;
  uint8_t PlayerFlash = 0;
  uint8_t JumpDirection = 0;
  uint8_t PadDirection = 3;
  uint8_t PadIndex = 0;
  uint8_t PadLaunchCut = 0;
  uint8_t HoldingObject = 0, HeldKind = 0, HeldIndex = 0;
  uint8_t KeysHeld = 0, BallsTaken = 0, BallsInStage = 0;
  int32_t GoalX = 0, GoalY = 0;
  uint8_t BarrierGone = 0;
  uint8_t AltMode = 0;

  // Animation counters shared with the renderer.
  int32_t FrameCounter = 0;
  uint8_t BarrierBlinkTick = 0, ObjAnimFrame = 0, ItemAnimFrame = 0, GoalAnimFrame = 0;

  // Test and tool aids: set on the first goal arrival of a stage; requests per wave player.
  uint8_t GoalArrived = 0;
  std::array<int, 21> SoundRequests{};
  CutsceneLog Cutscenes;
};
