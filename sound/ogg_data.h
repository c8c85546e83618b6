// One music track: a whole Ogg Vorbis file in memory, decoded through the decoder binding into
// 44100 Hz 16-bit stereo, with the "ALPHAOGG" loop table, fixed-point volume and fades, two
// gains and a 256-band equaliser; rendered half a buffer at a time for the slot mixer.
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "sound/fft.h"
#include "sound/memory_stream.h"
#include "sound/vorbis_dll.h"

// The music format: 44100 Hz, 16-bit signed little-endian, stereo.
constexpr int32_t kMusicBytesPerSecond = 176400;
// Track volume fixed point: 1.0 = 2822400 * 256.
constexpr int32_t kVolumeOne = 722534400;
constexpr int32_t kVolumeUnit = 2822400;
constexpr int kLoopEntries = 16;
constexpr int kLoopHeaderBytes = 200;

// One loop entry of the header: at song time `Trigger` jump to `JumpTo`; `Repeat` times
// (-1: every time, 0: never).
struct OggLoopEntry {
  float JumpTo = 0;
  float Trigger = 0;
  int32_t Repeat = 0;
};
static_assert(sizeof(OggLoopEntry) == 12);

class TOggData {
 public:
  // bufferBytes: the render buffer, used as two halves (both programs: 65536).
  // dll: the decoder binding (null: the process-wide VorbisDLL at the time of each call).
  explicit TOggData(int32_t bufferBytes, TVorbisFileDLL* dll = nullptr);
  ~TOggData();
  TOggData(const TOggData&) = delete;
  TOggData& operator=(const TOggData&) = delete;

  // Takes ownership of `stream` (positioned at the file start). Throws EVorbisError
  // "ファイルの読み込みに失敗" when the decoder refuses it, or when what it reports is outside
  // what the track can play safely (the stream is freed).
  bool Open(TMemoryStream* stream);
  // Opens a copy of all of `source`; the source stays the caller's.
  bool OpenCopy(TMemoryStream& source);
  void Close();
  void Play(bool loop);
  void Stop();
  void Rewind();
  void Seek(float seconds);
  float Position();
  bool IsSeekable();
  // 0 not open, 1 open and stopped, 2 playing, 3 playing and looping.
  int32_t State() const;
  // State while playing, else the state at the start of the last Render.
  int32_t RenderState() const;

  void SetVolume(float v) { FadeVolume(v, 0); }
  void FadeVolume(float volume, float seconds);
  float GetVolume() const { return static_cast<float>(volCurrent_.load()) / kVolumeOne; }
  float GetTargetVolume() const { return static_cast<float>(volTarget_.load()) / kVolumeOne; }
  void SetMasterGain(float x);
  void SetMixGain(float x);
  int32_t MasterGain() const { return master_; }
  int32_t MixGain() const { return mix_; }

  float GetBandGain(int i) const;
  float GetBandTarget(int i) const;
  void SetBandGain(int i, float gain) { FadeBandGain(i, 0, gain); }
  void FadeBandGain(int i, float seconds, float gain);
  bool EqualizerActive() const;
  void ApplyEqualizer(int16_t* buffer, int32_t length);

  // Renders the other half of the render buffer; returns the bytes of music rendered.
  int32_t RenderHalf();
  uint8_t* CurrentHalf() { return render_.Memory() + halfOffset_; }
  int32_t Render(uint8_t* buffer, int32_t length);
  int32_t FillPCM(uint8_t* buffer, int32_t length);
  int32_t ReadPCM(uint8_t* buffer, int32_t length);
  bool LoadLoopHeader(TMemoryStream* stream);
  void Lock() { lock_.lock(); }
  void Unlock() { lock_.unlock(); }

  // Facts of the open file.
  bool IsOpen() const { return open_; }
  int32_t Channels() const { return channels_; }
  int32_t Rate() const { return rate_; }
  const std::string& Vendor() const { return vendor_; }
  const std::vector<std::string>& Comments() const { return comments_; }
  float Seconds() const { return seconds_; }
  int64_t Bytes() const { return bytes_; }
  const OggLoopEntry& LoopEntry(int i) const { return loops_[i]; }
  int32_t LoopCounter(int i) const { return counters_[i]; }
  int32_t HalfOffset() const { return halfOffset_; }
  int32_t BufferBytes() const { return static_cast<int32_t>(render_.Size()); }

 private:
  TVorbisFileDLL* Dll() const { return dll_ ? dll_ : VorbisDLL; }
  // Reads the facts of the open file; false when they are outside the limits above.
  bool ReadInfo();
  void Equalize(int16_t* buffer, int32_t length);

  // Guards the decoder, the render buffer, the loop counters, the bands and the facts of the
  // open file against the render thread. Re-entered: Render -> FillPCM -> Rewind -> Seek.
  mutable std::recursive_mutex lock_;
  std::atomic<bool> open_{false};
  TMemoryStream* source_ = nullptr;
  int64_t dataStart_ = 0;
  TOggVorbisState vf_{};
  std::atomic<bool> looping_{false}, playing_{false};
  TMemoryStream render_;
  int32_t halfOffset_ = 0;
  int32_t counters_[kLoopEntries] = {};
  int16_t scratch_[2048] = {};
  std::atomic<int32_t> savedState_{0};
  std::atomic<int32_t> volCurrent_{0}, volTarget_{0}, volStep_{0};
  std::atomic<int32_t> master_{255}, mix_{255};
  float historyR_[64] = {}, historyL_[64] = {};
  struct Band {
    float current = 1, target = 1, step = 0;
  };
  Band bands_[256];
  int32_t channels_ = 0, rate_ = 0;
  std::string vendor_;
  std::vector<std::string> comments_;
  float seconds_ = 0;
  int64_t bytes_ = 0;
  OggLoopEntry loops_[kLoopEntries];
  TFFT fft_{256};
  TVorbisFileDLL* dll_;
};
