// State of the stage intro and the cut-scenes (door, all-balls, barrier-vanish, stage clear);
// it lives for the whole run, and a few values carry over from one scene to the next.
#pragma once
#include <array>
#include <cstdint>

struct CutsceneState {
  // Stage intro.
  int32_t IntroPhase = 0;
  int32_t IntroFrame = 0;

  // Door scene.
  uint8_t DoorTargetX = 0, DoorTargetY = 0, DoorTargetIndex = 0;
  int32_t DoorFrame = 0;

  // All-balls and barrier-vanish scenes share one frame counter.
  int32_t BallsSceneFrame = 0;

  // Stage clear.
  int32_t ClearFrame = 0;
  uint8_t ClearSpriteFrame = 0;
  float ClearStepX = 0, ClearStepY = 0;
  uint8_t ClearCellX = 0, ClearCellY = 0;
  uint8_t SparkleFrame = 0;  // never reset: a whole first phase toggles it 30 times
  float FlyerX = 0, FlyerY = 0;
  std::array<float, 5> FireworkX{}, FireworkY{};  // kept from one clear to the next
};
