// The software sound output: buffer emulation, the sound player's voice and the saturating mix.
#include "platform/null/null_audio.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <limits>
#include <thread>

namespace plat {

namespace {

using Clock = std::chrono::steady_clock;

uint16_t Rd16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

int16_t Saturate(int32_t v) {
  return static_cast<int16_t>(v > 32767 ? 32767 : (v < -32768 ? -32768 : v));
}

// The secondary buffers' formats (the sound player's voice takes every wave SDL reads).
bool ValidFormat(const WaveFormat& f) {
  return f.formatTag == 1 && (f.channels == 1 || f.channels == 2) &&
         (f.bitsPerSample == 8 || f.bitsPerSample == 16) && f.samplesPerSec >= 100 &&
         f.samplesPerSec <= 200000 && f.blockAlign == f.channels * f.bitsPerSample / 8;
}

}  // namespace

class SoftBuffer;

struct SoftAudioDevice::Core {
  std::mutex mu;  // buffers, their data and cursors, the voice
  std::vector<SoftBuffer*> buffers;
  std::unique_ptr<WaveVoice> voice;  // converted as it plays; null when silent
  int period = 1024;

  std::mutex clockMu;  // real-time catch-up and the capture
  std::atomic<bool> realTime{false};
  Clock::time_point start;
  uint64_t played = 0;
  bool capturing = false;
  std::vector<int16_t> capture;
  // What Play mixes into; kept so the notify thread's polls do not allocate.
  std::vector<int16_t> playedPcm;

  // The notify workers sleep until a poll can find something: a buffer started, stopped or
  // moved, or a play cursor past one of its notification positions. `changes` counts those
  // the workers cannot foresee (all but the cursors of the wall-clock output).
  std::mutex wakeMu;
  std::condition_variable wake;
  uint64_t changes = 0;  // wakeMu
  bool crossed = false;  // mu: a cursor passed a notification position in this render

  void Changed() {
    {
      std::lock_guard<std::mutex> lk(wakeMu);
      ++changes;
    }
    wake.notify_all();
  }
  void RenderLocked(int16_t* out, int frames);
  void Play(int frames);  // clockMu held
  void CatchUp();
  // Output frames until the first playing buffer's cursor passes one of its notification
  // positions (mu held); none: the largest value.
  uint64_t FramesToNotify() const;
};

namespace {

class RefCounted {
 protected:
  std::atomic<uint32_t> refs_{1};
};

// The primary buffer's listener: counted on its own, it lives as long as its buffer.
class SoftListener : public Listener3D {
 public:
  SoftListener() = default;
  uint32_t AddRef() override { return ++refs_; }
  uint32_t Release() override { return refs_ > 0 ? --refs_ : 0; }
  int32_t GetAllParameters(Listener3DParams* out) override {
    if (!out) return kAudioErrInvalidParam;
    *out = params_;
    return kAudioOk;
  }
  int32_t SetAllParameters(const Listener3DParams& p, uint32_t) override {
    if (p.size != 64) return kAudioErrInvalidParam;
    params_ = p;
    return kAudioOk;
  }

 private:
  std::atomic<uint32_t> refs_{0};
  Listener3DParams params_;
};

// The primary buffer: the output itself; it holds no data of its own.
class SoftPrimary : public SoundBuffer, RefCounted {
 public:
  explicit SoftPrimary(bool with3D) : with3D_(with3D) {}
  uint32_t AddRef() override { return ++refs_; }
  uint32_t Release() override {
    uint32_t n = --refs_;
    if (n == 0) delete this;
    return n;
  }
  int32_t QueryInterface(SoundBuffer** out) override {
    if (!out) return kAudioErrInvalidParam;
    AddRef();
    *out = this;
    return kAudioOk;
  }
  int32_t QueryListener(Listener3D** out) override {
    if (!out) return kAudioErrInvalidParam;
    *out = nullptr;
    if (!with3D_) return kAudioErrNoInterface;
    listener_.AddRef();
    *out = &listener_;
    return kAudioOk;
  }
  int32_t Query3D(Buffer3D** out) override {
    if (out) *out = nullptr;
    return kAudioErrNoInterface;
  }
  int32_t Lock(uint32_t, uint32_t, void**, uint32_t*, void**, uint32_t*, uint32_t) override {
    return kAudioErrInvalidParam;
  }
  int32_t Unlock(void*, uint32_t, void*, uint32_t) override { return kAudioErrInvalidParam; }
  int32_t GetCurrentPosition(uint32_t* play, uint32_t* write) override {
    if (play) *play = 0;
    if (write) *write = 0;
    return kAudioOk;
  }
  int32_t GetStatus(uint32_t* status) override {
    if (!status) return kAudioErrInvalidParam;
    *status = kStatusPlaying | kStatusLooping;  // the output always runs
    return kAudioOk;
  }
  int32_t Play(uint32_t, uint32_t, uint32_t) override { return kAudioOk; }
  int32_t Stop() override { return kAudioOk; }
  int32_t SetCurrentPosition(uint32_t) override { return kAudioErrInvalidParam; }
  int32_t SetNotificationPositions(uint32_t, const PositionNotify*) override {
    return kAudioErrInvalidParam;
  }
  int32_t GetFormat(WaveFormat* out) override {
    if (!out) return kAudioErrInvalidParam;
    *out = WaveFormat{};
    return kAudioOk;
  }

 private:
  ~SoftPrimary() override = default;
  bool with3D_;
  SoftListener listener_;
};

}  // namespace

// A secondary buffer: a ring of sound data with its own cursor.
class SoftBuffer : public SoundBuffer, public Buffer3D, RefCounted {
 public:
  SoftBuffer(std::shared_ptr<SoftAudioDevice::Core> core, const WaveFormat& fmt, uint32_t flags,
             std::shared_ptr<std::vector<uint8_t>> data)
      : core_(std::move(core)), data_(std::move(data)), fmt_(fmt), flags_(flags) {
    bytes_ = static_cast<uint32_t>(data_->size());
    frames_ = bytes_ / fmt_.blockAlign;
    step_ = (uint64_t(fmt_.samplesPerSec) << 16) / kOutputRate;
    std::lock_guard<std::mutex> lk(core_->mu);
    core_->buffers.push_back(this);
  }

  uint32_t AddRef() override { return ++refs_; }
  uint32_t Release() override {
    uint32_t n = --refs_;
    if (n == 0) {
      {
        std::lock_guard<std::mutex> lk(core_->mu);
        auto& v = core_->buffers;
        v.erase(std::remove(v.begin(), v.end(), this), v.end());
      }
      delete this;
    }
    return n;
  }
  int32_t QueryInterface(SoundBuffer** out) override {
    if (!out) return kAudioErrInvalidParam;
    AddRef();
    *out = this;
    return kAudioOk;
  }
  int32_t QueryListener(Listener3D** out) override {
    if (out) *out = nullptr;
    return kAudioErrNoInterface;
  }
  int32_t Query3D(Buffer3D** out) override {
    if (!out) return kAudioErrInvalidParam;
    *out = nullptr;
    if (!(flags_ & kBufCtrl3D)) return kAudioErrNoInterface;
    AddRef();
    *out = this;
    return kAudioOk;
  }
  int32_t GetAllParameters(Buffer3DParams* out) override {
    if (!out) return kAudioErrInvalidParam;
    *out = params3D_;
    return kAudioOk;
  }
  int32_t SetAllParameters(const Buffer3DParams& p, uint32_t) override {
    if (p.size != 64) return kAudioErrInvalidParam;
    params3D_ = p;
    return kAudioOk;
  }

  int32_t Lock(uint32_t offset, uint32_t count, void** p1, uint32_t* n1, void** p2, uint32_t* n2,
               uint32_t flags) override {
    if (!p1 || !n1) return kAudioErrInvalidParam;
    if (flags & kLockEntireBuffer) {
      offset = 0;
      count = bytes_;
    }
    if (offset >= bytes_ || count == 0 || count > bytes_) return kAudioErrInvalidParam;
    core_->mu.lock();  // held until Unlock
    uint32_t first = std::min(count, bytes_ - offset);
    *p1 = data_->data() + offset;
    *n1 = first;
    if (p2) *p2 = count > first ? data_->data() : nullptr;
    if (n2) *n2 = count - first;
    return kAudioOk;
  }
  int32_t Unlock(void*, uint32_t, void*, uint32_t) override {
    core_->mu.unlock();
    return kAudioOk;
  }
  int32_t GetCurrentPosition(uint32_t* play, uint32_t* write) override {
    core_->CatchUp();
    std::lock_guard<std::mutex> lk(core_->mu);
    uint32_t f = static_cast<uint32_t>(pos_ >> 16);
    uint32_t w = f;
    if (playing_) {
      uint64_t ahead = uint64_t(core_->period) * fmt_.samplesPerSec / kOutputRate;
      w = static_cast<uint32_t>((f + ahead) % frames_);
    }
    if (play) *play = f * fmt_.blockAlign;
    if (write) *write = w * fmt_.blockAlign;
    return kAudioOk;
  }
  int32_t GetStatus(uint32_t* status) override {
    if (!status) return kAudioErrInvalidParam;
    core_->CatchUp();
    std::lock_guard<std::mutex> lk(core_->mu);
    *status = (playing_ ? kStatusPlaying : 0) | (playing_ && looping_ ? kStatusLooping : 0);
    return kAudioOk;
  }
  int32_t Play(uint32_t reserved, uint32_t, uint32_t flags) override {
    if (reserved != 0) return kAudioErrInvalidParam;
    core_->CatchUp();
    {
      std::lock_guard<std::mutex> lk(core_->mu);
      playing_ = true;
      looping_ = (flags & kPlayLooping) != 0;
    }
    core_->Changed();
    return kAudioOk;
  }
  int32_t Stop() override {
    core_->CatchUp();
    {
      std::lock_guard<std::mutex> lk(core_->mu);
      playing_ = false;
    }
    core_->Changed();
    return kAudioOk;
  }
  int32_t SetCurrentPosition(uint32_t pos) override {
    if (pos >= bytes_) return kAudioErrInvalidParam;
    {
      std::lock_guard<std::mutex> lk(core_->mu);
      pos_ = uint64_t(pos / fmt_.blockAlign) << 16;
    }
    core_->Changed();
    return kAudioOk;
  }
  int32_t SetNotificationPositions(uint32_t count, const PositionNotify* n) override {
    if (!(flags_ & kBufCtrlPositionNotify)) return kAudioErrInvalidParam;
    if (count > 0 && !n) return kAudioErrInvalidParam;
    std::lock_guard<std::mutex> lk(core_->mu);
    if (playing_) return kAudioErrInvalidParam;  // only while stopped
    uint32_t last = 0;
    for (uint32_t i = 0; i < count; ++i) {
      if (n[i].offset == kNotifyOffsetStop) continue;
      if (n[i].offset >= bytes_ || (i > 0 && n[i].offset < last)) return kAudioErrInvalidParam;
      last = n[i].offset;
    }
    notifies_.assign(n, n + count);
    core_->Changed();  // mu held: wakeMu is only ever taken after it, never before
    return kAudioOk;
  }
  int32_t GetFormat(WaveFormat* out) override {
    if (!out) return kAudioErrInvalidParam;
    *out = fmt_;
    return kAudioOk;
  }

  const std::shared_ptr<std::vector<uint8_t>>& Data() const { return data_; }
  const WaveFormat& Format() const { return fmt_; }
  uint32_t Flags() const { return flags_; }

  // Output frames until the cursor first passes a notification position, or reaches the end;
  // none while stopped or without positions.
  uint64_t FramesToNotify() const {
    constexpr uint64_t kNone = std::numeric_limits<uint64_t>::max();
    if (!playing_ || notifies_.empty() || frames_ == 0) return kNone;
    const uint64_t f = pos_ >> 16;
    uint64_t best = kNone;
    auto reach = [&](uint64_t frame) { best = std::min(best, ((frame << 16) - pos_ + step_ - 1) / step_); };
    reach(frames_);
    for (const PositionNotify& n : notifies_) {
      if (n.offset == kNotifyOffsetStop) continue;
      uint64_t t = PassFrame(n);
      if (t <= f) t += frames_;
      reach(t);
    }
    return best;
  }

  // Adds this buffer's next `frames` output frames to `acc` (core mutex held). A cursor that
  // passes a notification position, or a buffer that ends, sets the core's `crossed`.
  void MixInto(int32_t* acc, int frames) {
    if (!playing_ || frames_ == 0) return;
    const uint64_t f0 = pos_ >> 16;
    bool wrapped = false;
    const uint8_t* d = data_->data();
    const bool eight = fmt_.bitsPerSample == 8, stereo = fmt_.channels == 2;
    for (int i = 0; i < frames; ++i) {
      const uint8_t* s = d + size_t(pos_ >> 16) * fmt_.blockAlign;
      int32_t l, r;
      if (eight) {
        l = (int(s[0]) - 128) << 8;
        r = stereo ? (int(s[1]) - 128) << 8 : l;
      } else {
        l = static_cast<int16_t>(Rd16(s));
        r = stereo ? static_cast<int16_t>(Rd16(s + 2)) : l;
      }
      acc[2 * i] += l;
      acc[2 * i + 1] += r;
      pos_ += step_;
      if ((pos_ >> 16) >= frames_) {
        if (looping_) {
          pos_ -= uint64_t(frames_) << 16;
          wrapped = true;
        } else {
          playing_ = false;
          pos_ = 0;
          if (!notifies_.empty()) core_->crossed = true;
          return;
        }
      }
    }
    if (!notifies_.empty() && Passed(f0, pos_ >> 16, wrapped)) core_->crossed = true;
  }

 private:
  ~SoftBuffer() override = default;
  std::shared_ptr<SoftAudioDevice::Core> core_;
  std::shared_ptr<std::vector<uint8_t>> data_;
  WaveFormat fmt_;
  uint32_t flags_;
  uint32_t bytes_ = 0, frames_ = 0;
  uint64_t pos_ = 0;  // source frames, 16.16 fixed point
  uint64_t step_ = 65536;
  bool playing_ = false, looping_ = false;
  std::vector<PositionNotify> notifies_;
  Buffer3DParams params3D_;

  // Past a notification position: the first frame whose byte position is above its offset.
  uint64_t PassFrame(const PositionNotify& n) const { return n.offset / fmt_.blockAlign + 1; }

  // Whether a cursor moved from frame f0 to f1 (over the end when `wrapped`) went past a
  // notification position.
  bool Passed(uint64_t f0, uint64_t f1, bool wrapped) const {
    if (wrapped) return true;  // past the start
    for (const PositionNotify& n : notifies_) {
      if (n.offset == kNotifyOffsetStop) continue;
      const uint64_t t = PassFrame(n);
      if (f0 < t && t <= f1) return true;
    }
    return false;
  }
};

namespace {

class SoftDevice : public SoundDevice, RefCounted {
 public:
  explicit SoftDevice(std::shared_ptr<SoftAudioDevice::Core> core) : core_(std::move(core)) {}
  uint32_t AddRef() override { return ++refs_; }
  uint32_t Release() override {
    uint32_t n = --refs_;
    if (n == 0) delete this;
    return n;
  }
  int32_t Initialize() override {
    if (initialized_) return kAudioErrAlreadyInitialized;
    initialized_ = true;
    return kAudioOk;
  }
  int32_t SetCooperativeLevel(int, uint32_t level) override {
    if (!initialized_) return kAudioErrUninitialized;
    return level >= 1 && level <= 3 ? kAudioOk : kAudioErrInvalidParam;
  }
  int32_t CreateSoundBuffer(const BufferDesc& desc, SoundBuffer** out) override {
    if (!out) return kAudioErrInvalidParam;
    *out = nullptr;
    if (!initialized_) return kAudioErrUninitialized;
    if (desc.size != 36) return kAudioErrInvalidParam;
    if (desc.flags & kBufPrimary) {
      if (desc.bufferBytes != 0 || desc.format) return kAudioErrInvalidParam;
      *out = new SoftPrimary((desc.flags & kBufCtrl3D) != 0);
      return kAudioOk;
    }
    if (!desc.format || !ValidFormat(*desc.format)) return kAudioErrInvalidParam;
    if (desc.bufferBytes < 4 || desc.bufferBytes > 0x0FFFFFFF ||
        desc.bufferBytes < desc.format->blockAlign)
      return kAudioErrInvalidParam;
    if ((desc.flags & kBufCtrl3D) && (desc.flags & kBufCtrlPan)) return kAudioErrInvalidParam;
    auto data = std::make_shared<std::vector<uint8_t>>(desc.bufferBytes, 0);
    *out = new SoftBuffer(core_, *desc.format, desc.flags, std::move(data));
    return kAudioOk;
  }
  int32_t DuplicateSoundBuffer(SoundBuffer* src, SoundBuffer** out) override {
    if (!out) return kAudioErrInvalidParam;
    *out = nullptr;
    auto* s = dynamic_cast<SoftBuffer*>(src);
    if (!s) return kAudioErrInvalidParam;
    *out = new SoftBuffer(core_, s->Format(), s->Flags(), s->Data());
    return kAudioOk;
  }

 private:
  ~SoftDevice() override = default;
  std::shared_ptr<SoftAudioDevice::Core> core_;
  bool initialized_ = false;
};

}  // namespace

void SoftAudioDevice::Core::RenderLocked(int16_t* out, int frames) {
  constexpr int kChunk = 512;
  int32_t acc[kChunk * 2];
  while (frames > 0) {
    int n = std::min(frames, kChunk);
    std::memset(acc, 0, sizeof(int32_t) * size_t(n) * 2);
    for (SoftBuffer* b : buffers) b->MixInto(acc, n);
    if (voice) {
      int16_t v[kChunk * 2];
      const int m = voice->Read(v, n);
      for (int i = 0; i < m * 2; ++i) acc[i] += v[i];
      if (m < n || voice->FramesLeft() == 0) voice.reset();
    }
    for (int i = 0; i < n * 2; ++i) out[i] = Saturate(acc[i]);
    out += n * 2;
    frames -= n;
  }
}

void SoftAudioDevice::Core::Play(int frames) {
  if (frames <= 0) return;
  playedPcm.resize(size_t(frames) * 2);
  {
    std::lock_guard<std::mutex> lk(mu);
    RenderLocked(playedPcm.data(), frames);
    crossed = false;  // on the wall clock the workers know the time of each pass beforehand
  }
  if (capturing) capture.insert(capture.end(), playedPcm.begin(), playedPcm.end());
}

uint64_t SoftAudioDevice::Core::FramesToNotify() const {
  uint64_t best = std::numeric_limits<uint64_t>::max();
  for (const SoftBuffer* b : buffers) best = std::min(best, b->FramesToNotify());
  return best;
}

void SoftAudioDevice::Core::CatchUp() {
  if (!realTime) return;
  std::lock_guard<std::mutex> lk(clockMu);
  auto us = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
  uint64_t due = uint64_t(us) * kOutputRate / 1000000;
  if (due <= played) return;
  // After a long stall the output does not try to play the missed time all at once.
  uint64_t n = std::min<uint64_t>(due - played, kOutputRate);
  played = due;
  Play(static_cast<int>(n));
}

SoftAudioDevice::SoftAudioDevice(int periodFrames)
    : core_(std::make_shared<Core>()), period_(periodFrames) {
  core_->period = periodFrames;
}

SoftAudioDevice::~SoftAudioDevice() = default;

int32_t SoftAudioDevice::CreateDevice(SoundDevice** out) {
  if (!out) return kAudioErrInvalidParam;
  *out = new SoftDevice(core_);
  return kAudioOk;
}

bool SoftAudioDevice::PlayWave(const void* image, size_t size, bool noStop, bool sync) {
  core_->CatchUp();
  if (noStop && WavePlaying()) return false;
  std::unique_ptr<WaveVoice> voice = WaveVoice::Open(image, size);
  const bool ok = voice != nullptr;
  {
    std::lock_guard<std::mutex> lk(core_->mu);
    if (noStop && core_->voice) return false;
    // An unplayable wave still cuts the sound that plays, as a new one would.
    core_->voice.swap(voice);
  }
  voice.reset();  // the cut sound is freed outside the lock the output takes
  if (ok && sync) WaitWaveEnd();
  return ok;
}

void SoftAudioDevice::StopWave() {
  core_->CatchUp();
  std::unique_ptr<WaveVoice> cut;
  std::lock_guard<std::mutex> lk(core_->mu);
  cut.swap(core_->voice);
}

bool SoftAudioDevice::WavePlaying() {
  core_->CatchUp();
  std::lock_guard<std::mutex> lk(core_->mu);
  return core_->voice != nullptr;
}

void SoftAudioDevice::WaitWaveEnd() {
  uint64_t left = 0;
  {
    std::lock_guard<std::mutex> lk(core_->mu);
    if (core_->voice) left = core_->voice->FramesLeft();
  }
  // The sound's own length and some slack: a stalled output must not hold the caller for good.
  const auto until = Clock::now() + std::chrono::milliseconds(left * 1000 / kOutputRate + 2000);
  while (WavePlaying() && Clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

void SoftAudioDevice::Render(int16_t* out, int frames) {
  bool crossed;
  {
    std::lock_guard<std::mutex> lk(core_->mu);
    core_->RenderLocked(out, frames);
    crossed = core_->crossed;
    core_->crossed = false;
  }
  if (crossed) core_->Changed();
}

void SoftAudioDevice::Advance(int frames) {
  std::lock_guard<std::mutex> lk(core_->clockMu);
  core_->Play(frames);
}

void SoftAudioDevice::SetRealTime(bool on) {
  {
    std::lock_guard<std::mutex> lk(core_->clockMu);
    core_->start = Clock::now();
    core_->played = 0;
    core_->realTime = on;
  }
  core_->Changed();
}

// The notify worker of the outputs that play by themselves (on the wall clock or from the
// sound card): it keeps the polls' rhythm (a poll, then the period, then the next) but skips
// every poll that could find nothing. A poll acts only when a cursor has come into the part of
// its buffer it waits for, and a cursor comes in there only past a notification position or by
// the owner starting, stopping or moving the buffer. So the worker polls at the first turn of
// the rhythm after such an event: on the wall clock the time of the next pass is known ahead;
// from the sound card's callback and from the owner it is told.
class SoftAudioDevice::NotifyWorker : public AudioDevice::Worker {
 public:
  NotifyWorker(std::shared_ptr<Core> core, uint32_t periodMs, std::function<void()> poll)
      : core_(std::move(core)),
        thread_([this, period = std::chrono::milliseconds(periodMs), poll = std::move(poll)] { Run(period, poll); }) {}
  ~NotifyWorker() override {
    {
      std::lock_guard<std::mutex> lk(core_->wakeMu);
      stop_ = true;
    }
    core_->wake.notify_all();
    thread_.join();
  }

 private:
  // Without a pass in sight the wall-clock output is still brought up to time now and then,
  // as the polls did: a catch-up plays at most a second of missed time.
  static constexpr auto kKeepTime = std::chrono::milliseconds(250);

  // The first turn of the rhythm, counted from the last poll, at or after `t`.
  static Clock::time_point Turn(Clock::time_point last, Clock::time_point t, Clock::duration period) {
    const auto n = std::max<int64_t>(1, ((t - last) + period - Clock::duration(1)) / period);
    return last + n * period;
  }

  // When the next cursor passes a notification position; none unless on the wall clock.
  Clock::time_point PassTime() {
    Core& c = *core_;
    if (!c.realTime) return Clock::time_point::max();
    std::lock_guard<std::mutex> clk(c.clockMu);
    std::lock_guard<std::mutex> lk(c.mu);
    const uint64_t n = c.FramesToNotify();
    if (n == std::numeric_limits<uint64_t>::max()) return Clock::time_point::max();
    const uint64_t frame = c.played + n;
    return c.start + std::chrono::microseconds((frame * 1000000 + kOutputRate - 1) / kOutputRate);
  }

  void Run(Clock::duration period, const std::function<void()>& poll) {
    Core& c = *core_;
    auto last = Clock::now();
    std::unique_lock<std::mutex> lk(c.wakeMu);
    uint64_t seen = c.changes;
    bool due = true;  // the first poll, one period after the start
    while (!stop_) {
      const auto now = Clock::now();
      Clock::time_point at;
      bool keepTime = false;
      if (due) {
        at = Turn(last, now, period);
      } else {
        lk.unlock();
        const Clock::time_point pass = PassTime();
        lk.lock();
        if (c.changes != seen) {
          seen = c.changes;
          due = true;
          continue;
        }
        if (pass <= now + kKeepTime) {
          at = Turn(last, pass, period);
        } else {
          at = now + kKeepTime;
          keepTime = true;
        }
      }
      if (c.wake.wait_until(lk, at, [&] { return stop_ || (!due && c.changes != seen); })) {
        if (stop_) break;
        seen = c.changes;
        due = true;
        continue;
      }
      lk.unlock();
      if (keepTime) {
        c.CatchUp();
      } else {
        lk.lock();
        seen = c.changes;  // what comes during the poll makes another
        lk.unlock();
        c.CatchUp();  // the cursors up to time even when the poll finds no buffer to ask
        poll();
        last = Clock::now();
        due = false;
      }
      lk.lock();
    }
  }

  std::shared_ptr<Core> core_;
  bool stop_ = false;  // wakeMu
  std::thread thread_;
};

std::unique_ptr<AudioDevice::Worker> SoftAudioDevice::StartWorker(uint32_t periodMs, std::function<void()> poll) {
  return std::make_unique<NotifyWorker>(core_, periodMs, std::move(poll));
}

bool SoftAudioDevice::RealTime() const { return core_->realTime; }

void SoftAudioDevice::StartCapture() {
  std::lock_guard<std::mutex> lk(core_->clockMu);
  core_->capturing = true;
  core_->capture.clear();
}

std::vector<int16_t> SoftAudioDevice::TakeCapture() {
  std::lock_guard<std::mutex> lk(core_->clockMu);
  std::vector<int16_t> v;
  v.swap(core_->capture);
  return v;
}

int SoftAudioDevice::LiveBuffers() const {
  std::lock_guard<std::mutex> lk(core_->mu);
  return static_cast<int>(core_->buffers.size());
}

class NullAudioDevice::PeriodWorker : public AudioDevice::Worker {
 public:
  PeriodWorker(NullAudioDevice& out, int id) : out_(out), id_(id) {}
  ~PeriodWorker() override { out_.workers_.erase(id_); }

 private:
  NullAudioDevice& out_;
  int id_;
};

std::unique_ptr<AudioDevice::Worker> NullAudioDevice::StartWorker(uint32_t periodMs, std::function<void()> poll) {
  if (!Manual()) return SoftAudioDevice::StartWorker(periodMs, std::move(poll));
  const int id = nextWorker_++;
  workers_[id] = std::move(poll);
  return std::make_unique<PeriodWorker>(*this, id);
}

void NullAudioDevice::AdvanceMs(uint32_t ms) {
  dueMicroFrames_ += uint64_t(ms) * kOutputRate * 1000;
  const uint64_t period = uint64_t(PeriodFrames()) * 1000000;
  while (dueMicroFrames_ >= period) {
    dueMicroFrames_ -= period;
    Advance(PeriodFrames());
    for (auto it = workers_.begin(); it != workers_.end();) {
      const int id = it->first;
      it->second();  // a poll may end a worker, even its own
      it = workers_.upper_bound(id);
    }
    if (OnPeriod) OnPeriod();
  }
}

void NullAudioDevice::WaitWaveEnd() {
  if (RealTime()) {
    SoftAudioDevice::WaitWaveEnd();
    return;
  }
  // Driven by hand: a synchronous play takes the sound's whole length at once.
  while (WavePlaying()) Advance(PeriodFrames());
}

}  // namespace plat
