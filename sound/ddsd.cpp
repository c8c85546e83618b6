// The sound device component, its channels, streaming buffers and notify thread.
#include "sound/ddsd.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/api/sys.h"
#include "sound/memory_stream.h"

namespace {

std::string FormatError(const std::string& message, int32_t result) {
  char code[32];
  std::snprintf(code, sizeof code, "(Error Code(%X))", static_cast<uint32_t>(result));
  return message + code;
}

void DefaultHalt(const std::string& message) { plat::HaltProgram("plumet: sound device failure: " + message, 70); }

}  // namespace

// ---- TDDSD -------------------------------------------------------------------------------

TDDSD::TDDSD(plat::AudioDevice& output) : output_(output) {
  unit_.Halt = DefaultHalt;
  ChannelCount = 8;
  StickyFocus = true;
  Use3D = false;
  SetDebugOption(dsoHaltOnError);
}

TDDSD::~TDDSD() {
  FreeChannels();
  listener_.reset();
  if (listener3D_) DDSDCheck(static_cast<int32_t>(listener3D_->Release()), "DirectSound3D Listnerの解放に失敗しました");
  listener3D_ = nullptr;
  if (primary_) DDSDCheck(static_cast<int32_t>(primary_->Release()), "一次バッファの解放に失敗しました");
  primary_ = nullptr;
  if (device_) DDSDCheck(static_cast<int32_t>(device_->Release()), "DirectSoundの解放に失敗しました");
  device_ = nullptr;
}

void TDDSD::SetDebugOption(TDDSDDebugOption option) {
  debugOption_ = option;
  unit_.HaltOnError = (option & dsoHaltOnError) != 0;
  unit_.DebugMessage = (option & dsoDebugMessage) != 0;
  unit_.ExceptOnError = (option & dsoExceptOnError) != 0;
}

void TDDSD::Loaded() {
  SetDebugOption(debugOption_);
  InitDirectSound();
}

void TDDSD::FreeChannels() { channels_.clear(); }

bool TDDSD::InitDirectSound() {
  FreeChannels();
  if (ChannelCount < 1) ChannelCount = 1;
  for (uint32_t i = 0; i < ChannelCount; ++i) channels_.push_back(std::make_unique<TDDSDChannel>(this));
  available_ = false;
  if (device_ || primary_) return false;  // opened once per component
  plat::SoundDevice* dev = nullptr;
  if (output_.CreateDevice(&dev) != plat::kAudioOk || !dev) return false;
  if (dev->Initialize() != plat::kAudioOk) {
    dev->Release();
    return false;
  }
  device_ = dev;
  available_ = true;
  DDSDCheck(device_->SetCooperativeLevel(Window, plat::kCoopPriority),
            "DirectSoundの協調レベルの設定に失敗しました");
  plat::BufferDesc desc;
  desc.flags = plat::kBufPrimary | (Use3D ? plat::kBufCtrl3D : 0);
  DDSDCheck(device_->CreateSoundBuffer(desc, &primary_), "一次バッファの作成に失敗しました");
  if (!Use3D) return true;
  if (primary_)
    DDSDCheck(primary_->QueryListener(&listener3D_), "DirectSound3D Listenerの作成に失敗しました");
  listener_ = std::make_unique<TDDSDListener>(this);
  return true;
}

TDDSDChannel* TDDSD::GetChannel(int32_t index) {
  if (index >= 0 && static_cast<int64_t>(index) <= static_cast<int64_t>(ChannelCount) - 1 &&
      static_cast<size_t>(index) < channels_.size())
    return channels_[static_cast<size_t>(index)].get();
  char msg[256];
  std::snprintf(msg, sizeof msg, "チャンネル番号%dは無効です、%d～%dの範囲で指定してください", index, 0,
                static_cast<int>(ChannelCount) - 1);
  DDSDLog(msg);
  if (unit_.HaltOnError) unit_.Halt(msg);
  return nullptr;
}

int32_t TDDSD::DDSDCheck(int32_t result, const std::string& message) {
  if (result == 0) return 0;
  std::string text = FormatError(message, result);
  DDSDLog(text);
  if (unit_.HaltOnError) unit_.Halt(text);
  return result;
}

void TDDSD::DDSDLog(const std::string& message) {
  if (unit_.DebugMessage) {
    std::lock_guard<std::mutex> lk(unit_.LogMutex);
    std::string path = (std::filesystem::path(unit_.LogFolder) / "DDSD_DebugLog.txt").string();
    const int32_t n = unit_.LogLines + 1;
    char head[32];
    std::snprintf(head, sizeof head, "debug#%.5d ... ", n);
    const plat::LogWrite r = plat::AppendLogLine(path, head + message + "\r\n", n == 1);
    if (r == plat::LogWrite::CannotOpen) throw EInOutError("DDSD_DebugLog.txt: cannot open");
    unit_.LogLines = n;
    if (r == plat::LogWrite::CannotWrite) throw EInOutError("DDSD_DebugLog.txt: cannot write");
  }
  if (unit_.ExceptOnError) {
    unit_.LastError = message;
    throw EDDSD(message);
  }
}

// ---- 3-D blocks ----------------------------------------------------------------------------

const plat::Buffer3DParams& TDDSDParams3D::GetParams() {
  if (channel_ && channel_->Buffer3D()) channel_->Buffer3D()->GetAllParameters(&Block);
  return Block;
}

void TDDSDParams3D::SetParams(TDDSDParams3D& source) {
  Block = source.GetParams();
  if (channel_ && channel_->Buffer3D() && channel_->WaveData())
    channel_->WaveData()->Owner().DDSDCheck(
        channel_->Buffer3D()->SetAllParameters(Block, plat::k3DImmediate),
        "Params3Dに指定されたパラメータが不適切です");
}

TDDSDListener::TDDSDListener(TDDSD* owner) : owner_(owner) {
  // The listener applies its block at once (only with Use3D, which neither program sets).
  if (plat::Listener3D* l = owner_->Listener3D())
    owner_->DDSDCheck(l->SetAllParameters(Block, plat::k3DImmediate),
                      "Listenerに指定されたパラメータが不適切です");
}

// ---- channels ------------------------------------------------------------------------------

TDDSDChannel::TDDSDChannel(TDDSD* owner) : owner_(owner), params_(this) {}

TDDSDChannel::~TDDSDChannel() {
  if (buffer3D_) buffer3D_->Release();
  if (buffer_) buffer_->Release();
  buffer3D_ = nullptr;
  buffer_ = nullptr;
}

void TDDSDChannel::SetWaveData(TDDSDGenWave* waveData) {
  if (!owner_->Available()) return;
  if (streaming_ && buffer_) {
    if (waveData == waveData_ && waveData) return;
    buffer_->Stop();  // the channel keeps its reference until it is destroyed or replaced
  } else {
    if (buffer3D_) buffer3D_->Release();
    if (buffer_) buffer_->Release();
    buffer3D_ = nullptr;
    buffer_ = nullptr;
  }
  if (!waveData) {
    waveData_ = nullptr;
    return;
  }
  if (!waveData->Buffer()) return;
  if (waveData->Streaming() || waveData->Effects()) {
    // Replacing a shared stream releases the old reference (nothing leaks).
    if (buffer_ && buffer_ != waveData->Buffer()) buffer_->Release();
    if (buffer_ != waveData->Buffer()) {
      buffer_ = waveData->Buffer();
      buffer_->AddRef();
    }
    waveData->SetChannel(this);
  } else {
    plat::SoundBuffer* dup = nullptr;
    owner_->DDSDCheck(owner_->Device()->DuplicateSoundBuffer(waveData->Buffer(), &dup),
                      "setWaveData サウンドバッファの複製に失敗しました");
    if (dup) {
      plat::SoundBuffer* b8 = nullptr;
      owner_->DDSDCheck(dup->QueryInterface(&b8), "setWaveData QueryInterfaceに失敗しました");
      dup->Release();
      buffer_ = b8;
    }
  }
  streaming_ = waveData->Streaming();
  is3D_ = false;
  frequency_ = static_cast<int32_t>(waveData->Format().samplesPerSec);
  waveData_ = waveData;
}

void TDDSDChannel::Stop() {
  if (buffer_) buffer_->Stop();
}

void TDDSDChannel::PlayLoop() {
  if (!buffer_) return;
  buffer_->SetCurrentPosition(0);
  buffer_->Play(0, 0, plat::kPlayLooping);
}

// ---- wave data -----------------------------------------------------------------------------

TDDSDGenWave::TDDSDGenWave(TDDSD& ddsd, int32_t rate, int32_t bits, bool stereo,
                           uint32_t bufferBytes, bool use3D, bool fx, bool streaming)
    : bufferBytes_(bufferBytes), owner_(ddsd), streaming_(streaming), fx_(fx) {
  format_.formatTag = 1;
  format_.channels = stereo ? 2 : 1;
  format_.samplesPerSec = static_cast<uint32_t>(rate);
  format_.blockAlign = static_cast<uint16_t>(bits * format_.channels / 8);
  format_.avgBytesPerSec = static_cast<uint32_t>(rate) * format_.blockAlign;
  format_.bitsPerSample = static_cast<uint16_t>(bits);
  format_.cbSize = 0;
  flags_ = fx ? 0x2E0u : (streaming ? 0x101E0u : 0xE0u);
  if (use3D) flags_ -= 0x30;
  if (ddsd.StickyFocus) flags_ += plat::kBufStickyFocus;
  if (!ddsd.Available()) return;

  plat::BufferDesc desc;
  desc.flags = flags_;
  desc.bufferBytes = bufferBytes;
  desc.format = &format_;
  plat::SoundBuffer* first = nullptr;
  owner_.DDSDCheck(owner_.Device()->CreateSoundBuffer(desc, &first), "サウンドバッファの作成に失敗しました");
  if (!first) return;
  owner_.DDSDCheck(first->QueryInterface(&buffer_), "サウンドバッファのQueryInterfaceに失敗しました");
  first->Release();
  if (!buffer_ || !streaming) return;

  half_ = bufferBytes >> 1;
  plat::PositionNotify pos[3] = {{0, &events_[0]}, {half_, &events_[1]}, {plat::kNotifyOffsetStop, &events_[2]}};
  owner_.DDSDCheck(buffer_->QueryInterface(&notify_), "DirectSoundNotifyオブジェクトの作成に失敗しました");
  if (notify_)
    owner_.DDSDCheck(notify_->SetNotificationPositions(3, pos), "NotifyPositionの設定に失敗しました");
  thread_ = std::make_unique<TDDSDNotifyThread>(this);
  if (owner_.ThreadedNotify) thread_->Start();
}

TDDSDGenWave::~TDDSDGenWave() {
  // The thread ends before the buffer reference goes, so it never polls a released buffer.
  if (thread_) thread_->Terminate();
  thread_.reset();
  if (notify_) notify_->Release();
  notify_ = nullptr;
  if (owner_.Available() && buffer_) {
    uint32_t n = buffer_->Release();
    if (n > 0x80000000u) owner_.DDSDCheck(static_cast<int32_t>(n), "二次バッファの解放に失敗しました");
  }
  buffer_ = nullptr;
}

void TDDSDGenWave::Write(uint32_t offset, const void* data, uint32_t length) {
  if (!owner_.Available() || !buffer_) return;
  void *p1 = nullptr, *p2 = nullptr;
  uint32_t n1 = 0, n2 = 0;
  int32_t r = owner_.DDSDCheck(buffer_->Lock(offset, length, &p1, &n1, &p2, &n2, 0),
                               "DirectSoundBufferのロックに失敗しました");
  if (r != 0) return;
  std::memcpy(p1, data, n1);
  if (n1 < length && p2) std::memcpy(p2, static_cast<const uint8_t*>(data) + n1, n2);
  buffer_->Unlock(p1, n1, p2, n2);
}

void TDDSDGenWave::DoNotify(int state) {
  if (!OnNotify) return;
  uint32_t offset, length;
  if (state == 1) {
    offset = half_;
    length = bufferBytes_ - half_;
  } else {
    offset = 0;
    length = half_;
  }
  OnNotify(this, Channel(), offset, length);
}

// ---- notify thread -------------------------------------------------------------------------

void TDDSDNotifyThread::Start() {
  phase_ = 0;
  worker_ = wave_->Owner().Output().StartWorker(10, [this] { Poll(); });
}

void TDDSDNotifyThread::Terminate() { worker_.reset(); }

void TDDSDNotifyThread::Poll() {
  plat::SoundBuffer* b = wave_->Buffer();
  if (!b) return;
  uint32_t play = 0, write = 0;
  if (b->GetCurrentPosition(&play, &write) != plat::kAudioOk) return;
  const auto p = static_cast<int32_t>(play), w = static_cast<int32_t>(write);
  if ((p == 0 && w == 0) || p < 0 || w < 0) return;  // not started
  const auto half = static_cast<int32_t>(wave_->HalfBytes());
  auto playing = [b] {
    uint32_t status = 0;
    return b->GetStatus(&status) == plat::kAudioOk && (status & plat::kStatusPlaying);
  };
  if (phase_ == 0 && p < half && w < half) {
    state_ = 1;  // the first half plays: the second is free
    if (playing()) wave_->DoNotify(state_);
    phase_ = 1;
  } else if (phase_ == 1 && p > half && w > half) {
    state_ = 0;
    if (playing()) wave_->DoNotify(state_);
    phase_ = 0;
  }
}
