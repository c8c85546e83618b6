// Fuzz target: a wave file as the sound player's voice reads it (SDL's reading, the rate and
// size limits, the conversion to 44100 Hz stereo as it plays) and through the software output.
// Seeds: the effects in dist/plumetwave and one small wave per encoding.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/null/null_audio.h"
#include "platform/wave/wave_voice.h"

namespace {
// Output read per input: the whole of a short sound, the start of a long one.
constexpr uint64_t kReadFrames = 16384;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::unique_ptr<plat::WaveVoice> voice = plat::WaveVoice::Open(data, size);
  if (voice) {
    // The voice gives the length it promised, in pieces of any size, and holds no more than
    // the decoded file (at most four times its bytes, for ADPCM) and a converter's worth.
    const uint64_t promised = voice->Frames(), want = std::min(promised, kReadFrames);
    std::vector<int16_t> out(2 * 4096);
    const int pieces[] = {1, 7, 512, 4096, 333};
    uint64_t got = 0;
    for (int i = 0; got < want; ++i) {
      const int ask = pieces[i % 5];
      const int n = voice->Read(out.data(), ask);
      if (n < 0 || n > ask) __builtin_trap();
      got += uint64_t(n);
      if (n < ask) break;
      if (voice->HeldBytes() > 4 * size + (4u << 20)) __builtin_trap();
    }
    if (got < want || voice->FramesLeft() != promised - got) __builtin_trap();
  }
  // The output plays what the voice opens, and nothing else.
  plat::NullAudioDevice device;
  if (device.PlayWave(data, size, false, false) != (voice != nullptr)) __builtin_trap();
  device.Advance(1024);
  device.StopWave();
  return 0;
}
