// Test aid: small Ogg Vorbis files encoded in memory from synthesised PCM.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Encodes `frames` frames at `rate` Hz with `channels` channels; sample(frame, channel) gives
// each value in -1..1.
std::vector<uint8_t> EncodeOgg(int rate, int channels, int frames,
                               const std::function<float(int frame, int channel)>& sample,
                               float quality = 0.4f);
// A sine of `hz` at `amplitude` (0..1) on every channel.
std::vector<uint8_t> SineOgg(int rate, int channels, double seconds, double hz = 440.0,
                             double amplitude = 0.5);
// The 200-byte "ALPHAOGG" loop header: up to 16 {jump-to, trigger, repeat} entries.
struct LoopEntrySpec {
  float jumpTo, trigger;
  int32_t repeat;
};
std::vector<uint8_t> LoopHeader(const std::vector<LoopEntrySpec>& entries);
// Writes bytes to a file; false on failure.
bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
// The decoder library the build ships, and the copy lacking its last export.
std::string DecoderPath();
std::string NoCrosslapDecoderPath();
