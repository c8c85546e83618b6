// State of the menus, the stage select and the ending.
#pragma once
#include <cstdint>

struct MenuState {
  int32_t BlinkCounter = 0;
};
