// The form's wave players by their number in its table, and the calls that start one.
#pragma once
#include "game/game.h"
#include "game/shell/sound_setup.h"

enum TWavePlayerNumber : int {
  wpOpening = 1,
  wpBoal = 2,
  wpChoise1 = 3,
  wpChoise2 = 4,
  wpCroud = 5,
  wpDoor = 6,
  wpGoal = 7,
  wpGround = 8,
  wpHave = 9,
  wpJump = 10,
  wpJumpdai = 11,
  wpKey = 12,
  wpMahou = 13,
  wpOk1 = 14,
  wpRouya = 15,
  wpWindow = 16,
  wpBarrior = 17,
  wpHanabi = 18,
  wpIce = 19,
  wpHanabi2 = 20,
};

// Every request is also counted in SoundRequests, which the tests read.
inline void CountWaveRequest(Game& g, int player) {
  if (player >= 1 && player <= 20) g.SoundRequests[player]++;
}

// The player's Play: cuts a sound of that player still playing.
inline void PlayWave(Game& g, int player) {
  CountWaveRequest(g, player);
  PlaySound(g, player, false);
}

// The player's PlayNoStop: leaves a sound of that player still playing alone.
inline void PlayWaveNoStop(Game& g, int player) {
  CountWaveRequest(g, player);
  PlaySound(g, player, true);
}
