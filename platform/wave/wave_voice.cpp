// The sound player's wave decoding through SDL: read at open, converted piece by piece.
#include "platform/wave/wave_voice.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>

#include "platform/api/audio.h"

namespace plat {

namespace {

// Source frames put into the converter at a time. SDL 2.26's stream drops the last thousand or
// so frames of its output when it is flushed after large puts; small puts, and silence fed after
// the end instead of a flush, give the whole sound.
constexpr int kFeedFrames = 256;
// Output frames taken from the converter at a time.
constexpr int kTakeFrames = 512;
// Feeds of silence after the source that may pass before the converter gives the tail (its
// filter holds back at most a few thousand source frames).
constexpr int kMaxTailFeeds = 64;

int16_t ToS16(float v) {
  const float x = v * 32768.0f;
  if (!(x == x)) return 0;  // NaN in a float wave
  if (x >= 32767.0f) return 32767;
  if (x <= -32768.0f) return -32768;
  return static_cast<int16_t>(std::lrintf(x));
}

}  // namespace

struct WaveVoice::Impl {
  Uint8* source = nullptr;  // the decoded wave at its own rate, as SDL_LoadWAV_RW gives it
  Uint32 sourceBytes = 0;
  size_t fed = 0;
  size_t frameBytes = 0;
  uint8_t silence = 0;
  SDL_AudioStream* stream = nullptr;
  uint64_t total = 0, given = 0;
  int tailFeeds = 0;

  ~Impl() {
    if (stream) SDL_FreeAudioStream(stream);
    if (source) SDL_FreeWAV(source);
  }

  // One more piece of source (or of silence after it) into the converter; false when nothing
  // more can come out.
  bool Feed() {
    uint8_t pad[kFeedFrames * 8 * 4];  // up to 8 channels of 32-bit samples
    const void* piece;
    size_t bytes;
    if (fed < sourceBytes) {
      bytes = std::min(size_t(kFeedFrames) * frameBytes, sourceBytes - fed);
      piece = source + fed;
      fed += bytes;
    } else {
      if (++tailFeeds > kMaxTailFeeds) return false;
      bytes = size_t(kFeedFrames) * frameBytes;
      std::fill(pad, pad + bytes, silence);
      piece = pad;
    }
    return SDL_AudioStreamPut(stream, piece, static_cast<int>(bytes)) == 0;
  }
};

WaveVoice::WaveVoice(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
WaveVoice::~WaveVoice() = default;

std::unique_ptr<WaveVoice> WaveVoice::Open(const void* image, size_t size) {
  if (!image || size < 12 || size > kMaxWaveBytes) return nullptr;
  SDL_RWops* rw = SDL_RWFromConstMem(image, static_cast<int>(size));
  if (!rw) return nullptr;
  auto m = std::make_unique<Impl>();
  SDL_AudioSpec spec;
  SDL_zero(spec);
  if (!SDL_LoadWAV_RW(rw, 1, &spec, &m->source, &m->sourceBytes)) return nullptr;
  if (spec.freq < kMinWaveRate || spec.freq > kMaxWaveRate || spec.channels == 0) return nullptr;
  m->frameBytes = size_t(SDL_AUDIO_BITSIZE(spec.format) / 8) * spec.channels;
  if (m->frameBytes == 0 || m->frameBytes > 32) return nullptr;  // more than 8 channels
  const uint64_t sourceFrames = m->sourceBytes / m->frameBytes;
  if (sourceFrames == 0) return nullptr;
  m->silence = spec.format == AUDIO_U8 ? 0x80 : 0;
  // Float stereo out of the converter, made 16-bit here: SDL's own float to 16-bit step scales
  // by 32767 and truncates, which would not give back a 16-bit wave's samples.
  m->stream = SDL_NewAudioStream(spec.format, spec.channels, spec.freq, AUDIO_F32SYS,
                                 kOutputChannels, kOutputRate);
  if (!m->stream) return nullptr;
  m->total = sourceFrames * kOutputRate / uint64_t(spec.freq);
  return std::unique_ptr<WaveVoice>(new WaveVoice(std::move(m)));
}

int WaveVoice::Read(int16_t* out, int frames) {
  Impl& m = *impl_;
  float take[kTakeFrames * 2];
  int done = 0;
  while (done < frames && m.given < m.total) {
    const int want = static_cast<int>(
        std::min<uint64_t>({uint64_t(frames - done), m.total - m.given, uint64_t(kTakeFrames)}));
    const int got = SDL_AudioStreamGet(m.stream, take, want * 8);
    if (got < 0) break;
    if (got == 0) {
      if (!m.Feed()) break;
      continue;
    }
    const int n = got / 8;
    for (int i = 0; i < n * 2; ++i) out[size_t(done) * 2 + size_t(i)] = ToS16(take[i]);
    done += n;
    m.given += uint64_t(n);
  }
  if (done < frames) m.total = m.given;  // ended, also when the converter failed
  return done;
}

uint64_t WaveVoice::Frames() const { return impl_->total; }
uint64_t WaveVoice::FramesLeft() const { return impl_->total - impl_->given; }

size_t WaveVoice::HeldBytes() const {
  const int queued = SDL_AudioStreamAvailable(impl_->stream);
  return size_t(impl_->sourceBytes) + size_t(std::max(queued, 0));
}

bool DecodeWaveImage(const void* image, size_t size, std::vector<int16_t>& out) {
  out.clear();
  std::unique_ptr<WaveVoice> voice = WaveVoice::Open(image, size);
  if (!voice) return false;
  out.resize(size_t(voice->Frames()) * 2);
  size_t got = 0;
  while (got < voice->Frames()) {
    const int n = voice->Read(out.data() + got * 2, static_cast<int>(std::min<uint64_t>(voice->Frames() - got, 1 << 20)));
    if (n == 0) break;
    got += size_t(n);
  }
  out.resize(got * 2);
  return true;
}

}  // namespace plat
