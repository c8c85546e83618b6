// Fuzz target: a wave file as the sound player's voice reads it (RIFF chunks, the format, the
// expansion to 44100 Hz stereo). Seeds: the effects in dist/plumetwave.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/null/null_audio.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<int16_t> pcm;
  if (plat::DecodeWaveImage(data, size, pcm)) {
    // A decoded wave is whole stereo frames within the length limit (a wave shorter than one
    // output frame decodes to none).
    if (pcm.size() % 2 != 0 ||
        pcm.size() > size_t(plat::kMaxWaveSeconds) * plat::kOutputRate * 2)
      __builtin_trap();
  } else if (!pcm.empty()) {
    __builtin_trap();
  }
  return 0;
}
