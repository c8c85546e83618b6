// One music track: decoding, the loop table, volume, fades and the equaliser.
#include "sound/ogg_data.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

int32_t RoundHalfEven(double x) { return static_cast<int32_t>(std::nearbyint(x)); }

}  // namespace

TOggData::TOggData(int32_t bufferBytes, TVorbisFileDLL* dll) : render_(bufferBytes), dll_(dll) {
  Close();
  SetVolume(1.0f);
  SetMasterGain(1.0f);
  SetMixGain(1.0f);
}

TOggData::~TOggData() { Close(); }

bool TOggData::Open(TMemoryStream* stream) {
  if (!stream) return false;
  Close();
  std::lock_guard<std::recursive_mutex> lk(lock_);
  LoadLoopHeader(stream);
  source_ = stream;
  dataStart_ = stream->Position();
  if (Dll()->OpenCallbacks(stream, &vf_) < 0) {
    delete stream;
    source_ = nullptr;
    std::memset(&vf_, 0, sizeof vf_);
    throw EVorbisError("ファイルの読み込みに失敗");
  }
  if (!ReadInfo()) {
    // Headers the decoder took but the track cannot play safely: refused like an unreadable
    // file (the decoder's close callback frees the stream).
    Close();
    throw EVorbisError("ファイルの読み込みに失敗");
  }
  open_ = true;
  return true;
}

bool TOggData::OpenCopy(TMemoryStream& source) {
  auto* copy = new TMemoryStream;
  copy->CopyFrom(source);
  copy->SetPosition(0);
  return Open(copy);
}

bool TOggData::ReadInfo() {
  TVorbisFileDLL* dll = Dll();
  if (WuComment* vc = dll->Comment(&vf_)) {
    vendor_ = vc->vendor ? vc->vendor : "";
    // Comments stay UTF-8: that is this system's code page.
    for (int i = 0; vc->user_comments && vc->user_comments[i]; ++i)
      comments_.emplace_back(vc->user_comments[i]);
  }
  WuInfo* vi = dll->Info(&vf_);
  if (!vi) return false;
  // A rate or channel count the track cannot mix still opens (it renders silence); refused is
  // only what the track's own fields and arithmetic cannot hold.
  if (vi->rate > INT32_MAX) return false;
  channels_ = vi->channels;
  rate_ = static_cast<int32_t>(vi->rate);
  int64_t frames = dll->PcmTotal(&vf_);
  if (frames < 0) frames = 0;  // the decoder knows no length: nothing to render
  if (frames > INT64_MAX / 4) return false;
  const double seconds = frames > 0 ? dll->TimeTotal(&vf_) : 0.0;
  seconds_ = seconds > 0 ? static_cast<float>(seconds) : 0.0f;
  bytes_ = frames * 2 * 2;
  return true;
}

void TOggData::Close() {
  Stop();
  // Everything the render thread reads changes under the lock.
  std::lock_guard<std::recursive_mutex> lk(lock_);
  comments_.clear();
  vendor_.clear();
  channels_ = rate_ = 0;
  seconds_ = 0;
  bytes_ = 0;
  try {
    if (source_) {
      if (TVorbisFileDLL* dll = Dll())
        dll->Clear(&vf_);  // its close callback frees the stream
      else
        delete source_;  // the decoder is already unloaded: free what is ours at least
      source_ = nullptr;
    }
    std::memset(render_.Memory(), 0, static_cast<size_t>(render_.Size()));
    std::memset(&vf_, 0, sizeof vf_);
  } catch (...) {
  }
  open_ = false;
}

void TOggData::Play(bool loop) {
  playing_ = true;
  looping_ = loop;
}

void TOggData::Stop() {
  playing_ = false;
  looping_ = false;
}

void TOggData::Rewind() {
  Stop();
  std::lock_guard<std::recursive_mutex> lk(lock_);
  Seek(0);
  for (int32_t& c : counters_) c = 0;
  std::memset(render_.Memory(), 0, static_cast<size_t>(render_.Size()));
}

void TOggData::Seek(float seconds) {
  std::lock_guard<std::recursive_mutex> lk(lock_);
  if (!open_) return;
  if (seconds < 0) seconds = 0;
  if (seconds > seconds_) seconds = seconds_;
  if (!IsSeekable()) return;
  try {
    if (source_) Dll()->TimeSeek(&vf_, seconds);
  } catch (...) {
  }
}

float TOggData::Position() {
  std::lock_guard<std::recursive_mutex> lk(lock_);
  return source_ ? static_cast<float>(Dll()->TimeTell(&vf_)) : 0.0f;
}

bool TOggData::IsSeekable() {
  if (!open_) return false;
  std::lock_guard<std::recursive_mutex> lk(lock_);
  return source_ && Dll()->Seekable(&vf_) != 0;
}

int32_t TOggData::State() const {
  if (!open_) return 0;
  if (!playing_) return 1;
  return looping_ ? 3 : 2;
}

int32_t TOggData::RenderState() const { return playing_ ? State() : savedState_.load(); }

void TOggData::FadeVolume(float volume, float seconds) {
  if (!(volume >= 0)) volume = 0;
  if (volume > 2.0f) volume = 2.0f;
  int32_t target = static_cast<int32_t>(std::trunc(static_cast<double>(volume) * kVolumeOne));
  if (seconds < 0.01f) {
    volStep_ = 0;
    volCurrent_ = target;
    volTarget_ = target;
  } else {
    volTarget_ = target;
    volStep_ = static_cast<int32_t>(
        std::trunc((static_cast<double>(target) - volCurrent_.load()) / (seconds * 44100.0)));
  }
}

void TOggData::SetMasterGain(float x) { master_ = RoundHalfEven(static_cast<double>(x) * 255); }
void TOggData::SetMixGain(float x) { mix_ = RoundHalfEven(static_cast<double>(x) * 255); }

float TOggData::GetBandGain(int i) const {
  std::lock_guard<std::recursive_mutex> lk(lock_);
  return bands_[i].current;
}

float TOggData::GetBandTarget(int i) const {
  std::lock_guard<std::recursive_mutex> lk(lock_);
  return bands_[i].target;
}

void TOggData::FadeBandGain(int i, float seconds, float gain) {
  std::lock_guard<std::recursive_mutex> lk(lock_);  // the render thread steps the bands
  Band& b = bands_[i];
  b.target = gain;
  if (seconds < 0.001f) {
    b.step = 0;
    b.current = gain;
  } else {
    b.step = static_cast<float>((gain - b.current) / (seconds * 44100.0));
  }
}

bool TOggData::EqualizerActive() const {
  std::lock_guard<std::recursive_mutex> lk(lock_);
  for (const Band& b : bands_)
    if (std::fabs(b.current - 1.0f) + std::fabs(b.target - 1.0f) > 0.01f) return true;
  return false;
}

void TOggData::ApplyEqualizer(int16_t* buffer, int32_t length) {
  if (EqualizerActive()) Equalize(buffer, length);
}

void TOggData::Equalize(int16_t* buffer, int32_t length) {
  int32_t frames = length / 4;
  float gains[256];
  float* re = fft_.Real.data();
  float* im = fft_.Imag.data();
  while (frames > 0) {
    const int b = frames < 192 ? frames : 192;
    for (int i = 0; i < 256; ++i) {
      Band& band = bands_[i];
      float delta = b * band.step;
      if (std::fabs(band.current - band.target) >= std::fabs(delta)) {
        band.current += delta;
      } else {
        band.current = band.target;
        band.step = 0;
      }
      gains[i % 2 == 0 ? i / 2 : 255 - (i - 1) / 2] = band.current;
    }
    for (int i = 0; i < 64; ++i) {
      re[i] = historyL_[i];
      im[i] = historyR_[i];
    }
    for (int i = 0; i < b; ++i) {
      re[64 + i] = buffer[2 * i];
      im[64 + i] = buffer[2 * i + 1];
    }
    for (int i = 64 + b; i < 256; ++i) {
      re[i] = buffer[2 * (b - 1)];
      im[i] = buffer[2 * (b - 1) + 1];
    }
    const int t = b < 192 ? b : 128;
    for (int i = 0; i < 64; ++i) {
      historyL_[i] = re[t + i];
      historyR_[i] = im[t + i];
    }
    fft_.ApplyWindow();
    fft_.Forward();
    for (int i = 0; i < 256; ++i) {
      re[i] *= gains[i];
      im[i] *= gains[i];
    }
    fft_.Inverse();
    fft_.RemoveWindow();
    fft_.Clip();
    const int out = b < 192 ? b : 128;
    for (int i = 0; i < out; ++i) {
      buffer[2 * i] = static_cast<int16_t>(std::nearbyint(re[64 + i]));
      buffer[2 * i + 1] = static_cast<int16_t>(std::nearbyint(im[64 + i]));
    }
    buffer += 2 * out;
    frames -= out;
  }
}

int32_t TOggData::RenderHalf() {
  const int32_t half = static_cast<int32_t>(render_.Size() / 2);
  halfOffset_ = halfOffset_ == 0 ? half : 0;
  return Render(render_.Memory() + halfOffset_, half);
}

int32_t TOggData::Render(uint8_t* buffer, int32_t length) {
  savedState_ = State();
  if (GetVolume() < 0.01f && GetTargetVolume() < 0.01f) Stop();  // a fade to silence ends it
  std::lock_guard<std::recursive_mutex> lk(lock_);
  // Stopped, or closed on the main thread: render silence, never touch the decoder.
  if (!open_ || !playing_ || !source_) {
    std::memset(buffer, 0, static_cast<size_t>(length));
    return 0;
  }
  int32_t result = 0;
  try {
    const float now = static_cast<float>(Dll()->TimeTell(&vf_));
    const double span = static_cast<double>(length) / kMusicBytesPerSecond;
    bool fired = false;
    for (int i = 0; i < kLoopEntries; ++i) {
      const OggLoopEntry& e = loops_[i];
      // Two entries within one block are outside the format: only the first one fires.
      if (!fired && now <= e.Trigger && e.Trigger <= now + span &&
          (e.Repeat == -1 || counters_[i] < e.Repeat)) {
        if (e.Repeat != -1) counters_[i]++;
        int32_t head = RoundHalfEven((static_cast<double>(e.Trigger) - now) * kMusicBytesPerSecond);
        head &= ~3;
        if (head > length) head = length;
        int32_t a = FillPCM(buffer, head);
        Dll()->TimeSeek(&vf_, e.JumpTo);
        int32_t b = FillPCM(buffer + head, length - head);
        result = a + b;
        fired = true;
      }
      if (e.Trigger < now) counters_[i] = 0;  // re-armed once play is past its trigger
    }
    if (!fired) result = FillPCM(buffer, length);
    ApplyEqualizer(reinterpret_cast<int16_t*>(buffer), length);

    auto* s = reinterpret_cast<int16_t*>(buffer);
    const int32_t frames = length / 4;
    const int32_t gains = (master_ * mix_) / 256;
    for (int32_t f = 0; f < frames; ++f) {
      int32_t step = volStep_.load(std::memory_order_relaxed);
      int32_t cur = volCurrent_.load(std::memory_order_relaxed);
      if (step != 0) {
        int32_t target = volTarget_.load(std::memory_order_relaxed);
        if (std::llabs(int64_t(target) - cur) < std::llabs(int64_t(step))) {
          cur = target;
          volStep_.store(0, std::memory_order_relaxed);
          step = 0;
        }
        cur += step;
        volCurrent_.store(cur, std::memory_order_relaxed);
      }
      const int32_t gain = gains * (cur / kVolumeUnit);
      const int32_t g = gain / 256;
      for (int c = 0; c < 2; ++c) {
        int32_t v = (g * s[2 * f + c]) / 256;
        if (gain >= 65536) v = v > 32766 ? 32766 : (v < -32766 ? -32766 : v);
        s[2 * f + c] = static_cast<int16_t>(v);
      }
    }
  } catch (...) {
  }
  return result;
}

int32_t TOggData::FillPCM(uint8_t* buffer, int32_t length) {
  int32_t remaining = length;
  bool fromStart = false;  // nothing decoded since the last jump back to the start
  while (remaining >= 1) {
    int32_t n = ReadPCM(buffer, remaining);
    if (n < 0) {
      Rewind();
      return n;
    }
    if (n == 0) {
      // Looping: the song starts again with no gap. A stream that cannot go back, or that gives
      // nothing from its start on (headers but no audio that decodes), ends instead of
      // spinning here forever.
      if (looping_ && !fromStart && Dll()->TimeSeek(&vf_, 0) == 0) {
        fromStart = true;
        continue;
      }
      break;
    }
    fromStart = false;
    buffer += n;
    remaining -= n;
  }
  if (remaining >= 1) {
    playing_ = false;
    looping_ = false;
    Dll()->TimeSeek(&vf_, 0);
    std::memset(buffer, 0, static_cast<size_t>(remaining));
  }
  return length - remaining;
}

int32_t TOggData::ReadPCM(uint8_t* buffer, int32_t length) {
  TVorbisFileDLL* dll = Dll();
  auto* out = reinterpret_cast<int16_t*>(buffer);
  auto request = [](int32_t want) { return want < 4096 ? want : 4096; };
  switch (int64_t(rate_) * 10 + channels_) {
    case 220501: {
      // One decoded sample fills two frames; a tail shorter than that is left silent.
      if (length < 8) {
        std::memset(buffer, 0, static_cast<size_t>(length));
        return length;
      }
      int32_t d = dll->Read(&vf_, scratch_, request(length / 4));
      if (d <= 0) return d;
      int32_t n = d / 2;
      for (int32_t i = 0; i < n; ++i) {
        int16_t v = scratch_[i];
        out[4 * i] = out[4 * i + 1] = out[4 * i + 2] = out[4 * i + 3] = v;
      }
      return n * 8;
    }
    case 220502: {
      if (length < 8) {
        std::memset(buffer, 0, static_cast<size_t>(length));
        return length;
      }
      int32_t d = dll->Read(&vf_, scratch_, request(length / 2));
      if (d <= 0) return d;
      int32_t n = d / 4;
      for (int32_t i = 0; i < n; ++i) {
        int16_t l = scratch_[2 * i], r = scratch_[2 * i + 1];
        out[4 * i] = l;
        out[4 * i + 1] = r;
        out[4 * i + 2] = l;
        out[4 * i + 3] = r;
      }
      return n * 8;
    }
    case 441001: {
      if (length < 4) {
        std::memset(buffer, 0, static_cast<size_t>(length));
        return length;
      }
      int32_t d = dll->Read(&vf_, scratch_, request(length / 2));
      if (d <= 0) return d;
      int32_t n = d / 2;
      for (int32_t i = 0; i < n; ++i) out[2 * i] = out[2 * i + 1] = scratch_[i];
      return n * 4;
    }
    case 441002:
      return dll->Read(&vf_, buffer, length);
    default:
      return -1;
  }
}

bool TOggData::LoadLoopHeader(TMemoryStream* stream) {
  if (!stream || stream->Size() < kLoopHeaderBytes) return false;
  const int64_t at = stream->Position();
  char magic[8];
  int64_t got = stream->Read(magic, 8);
  stream->SetPosition(at);
  if (got != 8 || std::memcmp(magic, "ALPHAOGG", 8) != 0) return false;
  uint8_t header[kLoopHeaderBytes];
  if (stream->Read(header, kLoopHeaderBytes) != kLoopHeaderBytes) {
    stream->SetPosition(at);
    return false;
  }
  std::memcpy(loops_, header + 8, sizeof loops_);
  return true;
}
