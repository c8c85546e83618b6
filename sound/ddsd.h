// The sound device component: TDDSD opens the output device, holds the primary buffer and the
// playback channels; TDDSDGenWave / TDDSDWaveData are secondary (streaming) buffers whose notify
// thread asks the owner for the half just freed. Every device result passes one checker that
// logs to "DDSD_DebugLog.txt", raises EDDSD or halts, as the debug option says.
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/api/audio.h"

class EDDSD : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum TDDSDDebugFlag : uint8_t { dsoHaltOnError = 1, dsoDebugMessage = 2, dsoExceptOnError = 4 };
using TDDSDDebugOption = uint8_t;  // a set of TDDSDDebugFlag bits

// The sound library's unit-wide state, held by the component so a test can build it fresh:
// the three option flags, the debug-log line counter, the last error and the halt seam.
struct TDDSDUnit {
  bool HaltOnError = false, DebugMessage = false, ExceptOnError = false;
  std::atomic<int32_t> LogLines{0};
  std::string LastError;
  std::string LogFolder;  // the program's folder, where "DDSD_DebugLog.txt" is written
  // Ends the program (default: the message to stderr, then exit with status 70).
  std::function<void(const std::string&)> Halt;
  std::mutex LogMutex;
};

class TDDSD;
class TDDSDGenWave;
class TDDSDChannel;

class TDDSDParams3D {
 public:
  explicit TDDSDParams3D(TDDSDChannel* channel) : channel_(channel) {}
  const plat::Buffer3DParams& GetParams();
  void SetParams(TDDSDParams3D& source);
  plat::Buffer3DParams Block;

 private:
  TDDSDChannel* channel_;
};

class TDDSDListener {
 public:
  explicit TDDSDListener(TDDSD* owner);
  plat::Listener3DParams Block;
  TDDSD* Owner() const { return owner_; }

 private:
  TDDSD* owner_;
};

class TDDSDChannel {
 public:
  explicit TDDSDChannel(TDDSD* owner);
  ~TDDSDChannel();
  TDDSDChannel(const TDDSDChannel&) = delete;
  TDDSDChannel& operator=(const TDDSDChannel&) = delete;

  void SetWaveData(TDDSDGenWave* waveData);
  void Stop();
  void PlayLoop();
  void SetParams3D(TDDSDParams3D& source) { params_.SetParams(source); }

  plat::SoundBuffer* Buffer() const { return buffer_; }
  plat::Buffer3D* Buffer3D() const { return buffer3D_; }
  TDDSDGenWave* WaveData() const { return waveData_; }
  TDDSDParams3D& Params3D() { return params_; }
  int32_t Frequency() const { return frequency_; }
  bool Streaming() const { return streaming_; }

 private:
  plat::SoundBuffer* buffer_ = nullptr;
  plat::Buffer3D* buffer3D_ = nullptr;
  bool is3D_ = false;
  TDDSD* owner_;
  int32_t frequency_ = 0;
  TDDSDGenWave* waveData_ = nullptr;
  TDDSDParams3D params_;
  bool streaming_ = false;
};

class TDDSD {
 public:
  explicit TDDSD(plat::AudioDevice& output);
  ~TDDSD();
  TDDSD(const TDDSD&) = delete;
  TDDSD& operator=(const TDDSD&) = delete;

  // Properties: set them, then call Loaded (which opens the device).
  void SetDebugOption(TDDSDDebugOption option);
  TDDSDDebugOption DebugOption() const { return debugOption_; }
  bool Use3D = false;
  uint32_t ChannelCount = 8;
  bool StickyFocus = true;
  std::string Name;
  int Window = 0;  // the owner form's window, for the cooperative level
  // False: streaming buffers start no notify worker; their owner calls PollNotify itself.
  bool ThreadedNotify = true;

  void Loaded();
  bool InitDirectSound();
  // Index out of range: the message, then halt (when so set), then null.
  TDDSDChannel* GetChannel(int32_t index);
  bool Available() const { return available_; }

  // The checker every device result passes; returns the result.
  int32_t DDSDCheck(int32_t result, const std::string& message);
  void DDSDLog(const std::string& message);
  TDDSDUnit& Unit() { return unit_; }

  plat::SoundDevice* Device() const { return device_; }
  plat::SoundBuffer* Primary() const { return primary_; }
  plat::Listener3D* Listener3D() const { return listener3D_; }
  plat::AudioDevice& Output() { return output_; }

 private:
  void FreeChannels();

  plat::AudioDevice& output_;
  plat::SoundDevice* device_ = nullptr;
  plat::SoundBuffer* primary_ = nullptr;
  plat::Listener3D* listener3D_ = nullptr;
  std::vector<std::unique_ptr<TDDSDChannel>> channels_;
  bool available_ = false;
  std::unique_ptr<TDDSDListener> listener_;
  TDDSDDebugOption debugOption_ = 0;
  TDDSDUnit unit_;
};

// Asks for the half of a streaming buffer that has just become free; polls every 10 ms on the
// output's notify worker.
class TDDSDNotifyThread {
 public:
  explicit TDDSDNotifyThread(TDDSDGenWave* wave) : wave_(wave) {}
  ~TDDSDNotifyThread() { Terminate(); }
  void Start();
  void Terminate();  // ends the worker; no poll runs after it returns
  // One poll of the play position (the worker's body; also called by hand without one).
  void Poll();
  int State() const { return state_; }

 private:
  TDDSDGenWave* wave_;
  std::unique_ptr<plat::AudioDevice::Worker> worker_;
  int phase_ = 0;
  int state_ = 0;  // 1 while the first half plays
};

// OnNotify(sender, channel, offset, length): refill that byte range with Write.
using TDDSDNotifyEvent =
    std::function<void(TDDSDGenWave* sender, TDDSDChannel* channel, uint32_t offset, uint32_t length)>;

class TDDSDGenWave {
 public:
  TDDSDGenWave(TDDSD& ddsd, int32_t rate, int32_t bits, bool stereo, uint32_t bufferBytes,
               bool use3D, bool fx, bool streaming);
  virtual ~TDDSDGenWave();
  TDDSDGenWave(const TDDSDGenWave&) = delete;
  TDDSDGenWave& operator=(const TDDSDGenWave&) = delete;

  void Write(uint32_t offset, const void* data, uint32_t length);
  // One notify poll, for owners that run without the thread.
  void PollNotify() {
    if (thread_) thread_->Poll();
  }
  void DoNotify(int state);
  // Ends the notify thread now (joined); the destructor does it too.
  void EndNotify() {
    if (thread_) thread_->Terminate();
  }

  TDDSDNotifyEvent OnNotify;
  plat::SoundBuffer* Buffer() const { return buffer_; }
  const plat::WaveFormat& Format() const { return format_; }
  uint32_t BufferBytes() const { return bufferBytes_; }
  uint32_t HalfBytes() const { return half_; }
  uint32_t Flags() const { return flags_; }
  bool Streaming() const { return streaming_; }
  bool Effects() const { return fx_; }
  TDDSD& Owner() { return owner_; }
  TDDSDChannel* Channel() const { return channel_.load(); }
  void SetChannel(TDDSDChannel* c) { channel_ = c; }

 private:
  plat::SoundBuffer* buffer_ = nullptr;
  plat::WaveFormat format_;
  uint32_t bufferBytes_;
  TDDSD& owner_;
  bool streaming_;
  bool fx_;
  uint32_t half_ = 0;
  uint32_t flags_ = 0;
  plat::SoundBuffer* notify_ = nullptr;
  int events_[3] = {1, 2, 3};  // tokens of the three notification positions; never waited on
  std::unique_ptr<TDDSDNotifyThread> thread_;
  std::atomic<TDDSDChannel*> channel_{nullptr};
};

// A streaming buffer without 3-D: the only wave kind the programs create.
class TDDSDWaveData : public TDDSDGenWave {
 public:
  TDDSDWaveData(TDDSD& ddsd, int32_t rate, int32_t bits, bool stereo, uint32_t bufferBytes, bool fx)
      : TDDSDGenWave(ddsd, rate, bits, stereo, bufferBytes, false, fx, true) {}
};
