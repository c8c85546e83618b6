// The sound player's wave decoding: SDL reads the RIFF WAVE image (PCM of 8 to 32 bits, 32-bit
// float, EXTENSIBLE, mu-law, A-law, IMA and MS ADPCM) and converts its format and channels; the
// voice steps it to the output's 44100 Hz as it plays, so memory follows the file's size and not
// the sound's length.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace plat {

// A file above this is no sound (the wave player loads none larger).
constexpr size_t kMaxWaveBytes = size_t(1) << 28;
// The rates the voice plays: the range the sound buffers take.
constexpr int kMinWaveRate = 100;
constexpr int kMaxWaveRate = 200000;

class WaveVoice {
 public:
  // Null when the image is no wave SDL reads and converts, or is outside the limits above.
  static std::unique_ptr<WaveVoice> Open(const void* image, size_t size);
  ~WaveVoice();
  WaveVoice(const WaveVoice&) = delete;
  WaveVoice& operator=(const WaveVoice&) = delete;

  // Writes the next output frames (interleaved stereo) into `out` and returns how many; fewer
  // than asked only at the end of the sound.
  int Read(int16_t* out, int frames);
  // The sound's whole length and what is still to come, in output frames.
  uint64_t Frames() const;
  uint64_t FramesLeft() const;
  // What the voice holds now: the decoded source and the output waiting in the converter.
  size_t HeldBytes() const;

  struct Impl;

 private:
  explicit WaveVoice(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

// The whole sound at once as 44100 Hz stereo, for short sounds (tests, tools); false when the
// image is unplayable. The sound player itself converts as it plays.
bool DecodeWaveImage(const void* image, size_t size, std::vector<int16_t>& out);

}  // namespace plat
