// The table of sound-effect recipes: file name, generator and the length bounds it must meet.
#pragma once
#include <vector>

#include "tools/sfxgen/sfx_kit.h"

namespace sfx {

struct Recipe {
  const char* file;
  Mono (*make)();
  double minSeconds, maxSeconds;
};

const std::vector<Recipe>& Recipes();

}  // namespace sfx
