// One-line summaries of the game state, for the headless runner and the tests' logs.
#include "game/state_line.h"

#include "game/game.h"

std::string StateLine(const Game& g) {
  std::string s = "scene=" + std::to_string(g.SceneId) + " stage=" + std::to_string(g.StageIndex);
  s += " paused=" + std::to_string(g.Paused) + " latch=" + std::to_string(g.KeyLatch);
  s += " overlay=" + std::to_string(g.OverlayVisible) + " sound=" + std::to_string(g.SoundEnabled);
  s += " fullscreen=" + std::to_string(g.FullScreen);
  return s;
}
