// The wave players play uses, by their number in the form's table, and the call that starts one.
#pragma once
#include "game/game.h"

#if __has_include("game/shell/sound_setup.h")
#include "game/shell/sound_setup.h"
#define PLUMET_HAVE_SOUND_SETUP 1
#endif

enum TPlaySound : int {
  wpBoal = 2,
  wpCroud = 5,
  wpDoor = 6,
  wpGoal = 7,
  wpGround = 8,
  wpHave = 9,
  wpJump = 10,
  wpJumpdai = 11,
  wpKey = 12,
  wpMahou = 13,
  wpRouya = 15,
  wpWindow = 16,
  wpIce = 19,
};

// Starts wave player `player`; noStop leaves a sound of that player still playing alone.
// Every request is also counted in SoundRequests, which the tests read.
inline void PlayWave(Game& g, int player, bool noStop) {
  if (player >= 1 && player <= 20) g.SoundRequests[player]++;
#ifdef PLUMET_HAVE_SOUND_SETUP
  PlaySound(g, player, noStop);
#else
  (void)noStop;
#endif
}
