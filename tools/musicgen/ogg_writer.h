// Writes a rendered song as Ogg Vorbis (44100 Hz stereo) behind the 200-byte "ALPHAOGG" loop header.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tools/synth/synth.h"

namespace music {

struct LoopEntry {
  float jumpTo = 0, trigger = 0;
  int32_t repeat = 0;
};

// The 200-byte header: "ALPHAOGG" then 16 entries {jump-to, trigger, repeat}; unused entries zero.
std::vector<uint8_t> LoopHeader(const std::vector<LoopEntry>& entries);
// Vorbis-encodes the PCM (deterministic stream serial), quality -0.1..1.
std::vector<uint8_t> EncodeVorbis(const synth::Stereo& pcm, float quality, const std::string& title);

}  // namespace music
