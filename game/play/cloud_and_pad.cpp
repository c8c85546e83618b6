// The cloud and pad lookups the moves share: the clouds under or over the player, the pad under him.
#include "game/play/play_internal.h"

namespace play {

void StandOnClouds(Game& g) {
  ForCloudsAt(g, 1, [](uint8_t& state) { state = 1; });
}

void HitClouds(Game& g) {
  ForCloudsAt(g, -1, [&g](uint8_t& state) {
    PlayWave(g, wpCroud);
    state = 2;
  });
}

void FindPadBelow(Game& g) {
  for (int i = 1; i <= g.JumpPadList.Count; i++) {
    if (g.JumpPadList.X[i] == g.PlayerX &&
        static_cast<long double>(Rnd(g.JumpPadList.Y[i])) == static_cast<long double>(g.PlayerY) + 1) {
      g.PadIndex = static_cast<uint8_t>(i);
      return;
    }
  }
}

}  // namespace play
