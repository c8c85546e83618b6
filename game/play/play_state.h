// Per-play state beside the grid: object lists, the player and the animation counters.
#pragma once
#include <cstdint>

struct PlayState {
  uint8_t AltMode = 0;
  uint8_t ActionCode = 0;
  uint8_t ActionFrames = 0;
};
