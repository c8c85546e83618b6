// The sound objects the main form owns: the wave players, the sound device component and the
// music mixer, track and streaming buffer.
#pragma once
#include <memory>

#include "sound/ddsd.h"
#include "sound/ogg_data.h"
#include "sound/ogg_player.h"
#include "sound/wave_player.h"

struct SoundObjects {
  SoundObjects() = default;
  SoundObjects(const SoundObjects&) = delete;
  SoundObjects& operator=(const SoundObjects&) = delete;
  // Whatever start-up made and tear-down did not free goes in the shutdown order: the stream
  // first (its notify thread ends), then the track and mixer, then the component.
  ~SoundObjects();

  // WavePlayers[n - 1] is WavePlayer<n>, n = 1..20, in the form's fixed order.
  std::unique_ptr<TWavePlayer> WavePlayers[20];
  std::unique_ptr<TDDSD> DDSD1;
  std::unique_ptr<TOggPlayer> OggPlayer;
  std::unique_ptr<TOggData> OggData;
  std::unique_ptr<TDDSDWaveData> WaveData;

  TWavePlayer* WavePlayer(int n) { return n >= 1 && n <= 20 ? WavePlayers[n - 1].get() : nullptr; }
};
