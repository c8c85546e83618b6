// The sound player's wave decoding through SDL: read at open, converted piece by piece.
#include "platform/wave/wave_voice.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/api/audio.h"

namespace plat {

namespace {

// Source frames put into the converter at a time, and taken out of it.
constexpr int kFeedFrames = 256;
constexpr int kTakeFrames = 512;

// SDL 2.26 allocates a chunk's declared length before it reads the chunk, so a file of a few
// hundred bytes declaring a 4 GiB data chunk would take 4 GiB. The one chunk that runs past the
// end of the file has its length cut to what is there, which SDL reads as the same truncated
// chunk. SDL also takes a file that starts at "WAVE" with no RIFF header, its chunks from byte 4.
// True when `cut` holds such a copy.
bool CutChunkPastTheEnd(const uint8_t* p, size_t size, std::vector<uint8_t>& cut) {
  for (size_t at = std::memcmp(p, "WAVE", 4) == 0 ? 4 : 12; at + 8 <= size;) {
    const uint32_t len = p[at + 4] | p[at + 5] << 8 | p[at + 6] << 16 | uint32_t(p[at + 7]) << 24;
    const size_t room = size - (at + 8);
    if (len > room) {
      cut.assign(p, p + size);
      for (int i = 0; i < 4; ++i) cut[at + 4 + size_t(i)] = uint8_t(room >> (8 * i));
      return true;
    }
    at += 8 + size_t(len) + (len & 1);
  }
  return false;
}

int16_t ToS16(float v) {
  const float x = v * 32768.0f;
  if (!(x == x)) return 0;  // NaN in a float wave
  if (x >= 32767.0f) return 32767;
  if (x <= -32768.0f) return -32768;
  return static_cast<int16_t>(std::lrintf(x));
}

}  // namespace

// SDL decodes the file and converts format and channels at the wave's own rate; the rate is
// stepped here. SDL 2.26's stream resampler drops a fraction of a frame between the pieces it
// works on (a click every few hundred frames, and the pitch drifts) and loses about a thousand
// frames at a flush after large pieces, so it is not used for the rate.
struct WaveVoice::Impl {
  Uint8* source = nullptr;  // the decoded wave, as SDL_LoadWAV_RW gives it
  Uint32 sourceBytes = 0;
  size_t wholeBytes = 0;  // of whole frames: SDL keeps a partial one when the block size lies
  size_t fed = 0;
  size_t frameBytes = 0;
  SDL_AudioStream* stream = nullptr;  // to float stereo, same rate
  uint32_t rate = kOutputRate;
  float frames[kTakeFrames * 2];  // converted source frames taken from the stream
  int have = 0, next = 0;
  float a[2] = {0, 0}, b[2] = {0, 0};  // the source frames the output lies between
  uint32_t phase = 0;                  // where between them, in 1/44100 of a source frame
  uint64_t total = 0, given = 0;
  bool failed = false;

  ~Impl() {
    if (stream) SDL_FreeAudioStream(stream);
    if (source) SDL_FreeWAV(source);
  }

  // The next converted source frame into f; past the end the last one is held.
  void NextFrame(float* f) {
    while (next == have && !failed) {
      const int got = SDL_AudioStreamGet(stream, frames, kTakeFrames * 8);
      if (got > 0) {
        have = got / 8;
        next = 0;
        break;
      }
      if (got < 0 || fed >= wholeBytes) {
        failed = got < 0;
        return;  // the end: f keeps what it held
      }
      const size_t bytes = std::min(size_t(kFeedFrames) * frameBytes, wholeBytes - fed);
      failed = SDL_AudioStreamPut(stream, source + fed, static_cast<int>(bytes)) != 0;
      fed += bytes;
      if (fed >= wholeBytes && !failed) failed = SDL_AudioStreamFlush(stream) != 0;
    }
    if (next == have) return;
    f[0] = frames[2 * next];
    f[1] = frames[2 * next + 1];
    ++next;
  }
};

WaveVoice::WaveVoice(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
WaveVoice::~WaveVoice() = default;

std::unique_ptr<WaveVoice> WaveVoice::Open(const void* image, size_t size) {
  if (!image || size < 12 || size > kMaxWaveBytes) return nullptr;
  std::vector<uint8_t> cut;
  if (CutChunkPastTheEnd(static_cast<const uint8_t*>(image), size, cut)) image = cut.data();
  SDL_RWops* rw = SDL_RWFromConstMem(image, static_cast<int>(size));
  if (!rw) return nullptr;
  auto m = std::make_unique<Impl>();
  SDL_AudioSpec layout;
  SDL_zero(layout);
  if (!SDL_LoadWAV_RW(rw, 1, &layout, &m->source, &m->sourceBytes)) return nullptr;
  if (layout.freq < kMinWaveRate || layout.freq > kMaxWaveRate || layout.channels == 0) return nullptr;
  m->frameBytes = size_t(SDL_AUDIO_BITSIZE(layout.format) / 8) * layout.channels;
  const uint64_t sourceFrames = m->frameBytes ? m->sourceBytes / m->frameBytes : 0;
  if (sourceFrames == 0) return nullptr;
  m->wholeBytes = size_t(sourceFrames) * m->frameBytes;
  // Float out of the converter, made 16-bit here: SDL's own float to 16-bit step scales by
  // 32767 and truncates, which would not give back a 16-bit wave's samples.
  m->stream = SDL_NewAudioStream(layout.format, layout.channels, layout.freq, AUDIO_F32SYS,
                                 kOutputChannels, layout.freq);
  if (!m->stream) return nullptr;  // more than eight channels, among others
  m->rate = uint32_t(layout.freq);
  m->total = sourceFrames * kOutputRate / m->rate;
  m->NextFrame(m->a);
  m->b[0] = m->a[0];
  m->b[1] = m->a[1];
  m->NextFrame(m->b);
  return std::unique_ptr<WaveVoice>(new WaveVoice(std::move(m)));
}

int WaveVoice::Read(int16_t* out, int frames) {
  Impl& m = *impl_;
  int done = 0;
  for (; done < frames && m.given < m.total && !m.failed; ++done, ++m.given) {
    const float t = float(m.phase) / float(kOutputRate);
    out[2 * done] = ToS16(m.a[0] + (m.b[0] - m.a[0]) * t);
    out[2 * done + 1] = ToS16(m.a[1] + (m.b[1] - m.a[1]) * t);
    for (m.phase += m.rate; m.phase >= uint32_t(kOutputRate); m.phase -= kOutputRate) {
      m.a[0] = m.b[0];
      m.a[1] = m.b[1];
      m.NextFrame(m.b);
    }
  }
  if (m.failed) m.total = m.given;  // the converter failed: the sound ends here
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
    const uint64_t piece = std::min<uint64_t>(voice->Frames() - got, 1 << 20);
    const int n = voice->Read(out.data() + got * 2, static_cast<int>(piece));
    if (n == 0) break;
    got += size_t(n);
  }
  out.resize(got * 2);
  return true;
}

}  // namespace plat
