// The audio output under the sound library: a small DirectSound-shaped buffer API (device,
// primary buffer, secondary ring buffers with play/write cursors and notification positions)
// and the system sound player's one voice, over one shared 44100 Hz 16-bit stereo output.
//
// Contract:
// - Every call returns kAudioOk (exactly 0) on success; the sound library halts on anything else.
// - Objects are reference counted: AddRef/Release return the new count; the final Release
//   returns 0 and destroys the object. QueryInterface hands out the same object, counted.
// - Buffers may be used from any thread (the sound library's notify thread polls and writes);
//   Lock..Unlock holds the output's one mutex, so unlock promptly and from the same thread.
// - AudioDevice itself lives as long as the host. This base class is the "no device" output:
//   CreateDevice fails and the voice plays nothing (the programs then run silent).
#pragma once
#include <functional>
#include <memory>
#include <cstddef>
#include <cstdint>

namespace plat {

// Results.
constexpr int32_t kAudioOk = 0;
constexpr int32_t kAudioErrGeneric = static_cast<int32_t>(0x80004005u);
constexpr int32_t kAudioErrInvalidParam = static_cast<int32_t>(0x80070057u);
constexpr int32_t kAudioErrNoInterface = static_cast<int32_t>(0x80004002u);
constexpr int32_t kAudioErrNoDriver = static_cast<int32_t>(0x88780078u);
constexpr int32_t kAudioErrUninitialized = static_cast<int32_t>(0x887800AAu);
constexpr int32_t kAudioErrAlreadyInitialized = static_cast<int32_t>(0x88780082u);

// Buffer capability flags.
constexpr uint32_t kBufPrimary = 0x1;
constexpr uint32_t kBufCtrl3D = 0x10;
constexpr uint32_t kBufCtrlFrequency = 0x20;
constexpr uint32_t kBufCtrlPan = 0x40;
constexpr uint32_t kBufCtrlVolume = 0x80;
constexpr uint32_t kBufCtrlPositionNotify = 0x100;
constexpr uint32_t kBufCtrlFx = 0x200;
constexpr uint32_t kBufStickyFocus = 0x4000;
constexpr uint32_t kBufGetCurrentPosition2 = 0x10000;

// GetStatus bits, Play flags, cooperative level, notify offset "at stop", 3-D apply mode.
constexpr uint32_t kStatusPlaying = 0x1;
constexpr uint32_t kStatusLooping = 0x4;
constexpr uint32_t kPlayLooping = 0x1;
constexpr uint32_t kLockEntireBuffer = 0x2;
constexpr uint32_t kCoopPriority = 2;
constexpr uint32_t kNotifyOffsetStop = 0xFFFFFFFFu;
constexpr uint32_t k3DImmediate = 0;

// The output format every buffer is mixed into.
constexpr int kOutputRate = 44100;
constexpr int kOutputChannels = 2;

struct WaveFormat {
  uint16_t formatTag = 1;  // 1: PCM
  uint16_t channels = 2;
  uint32_t samplesPerSec = 44100;
  uint32_t avgBytesPerSec = 176400;
  uint16_t blockAlign = 4;
  uint16_t bitsPerSample = 16;
  uint16_t cbSize = 0;
};

struct BufferDesc {
  uint32_t size = 36;
  uint32_t flags = 0;
  uint32_t bufferBytes = 0;
  uint32_t reserved = 0;
  const WaveFormat* format = nullptr;
  uint8_t algorithm3D[16] = {};
};

// A notification position: `event` is the caller's token, stored with the offset.
struct PositionNotify {
  uint32_t offset;
  void* event;
};

struct Vector3 {
  float x = 0, y = 0, z = 0;
};

// The 3-D parameter blocks, plain data of 64 bytes each.
struct Buffer3DParams {
  uint32_t size = 64;
  Vector3 position, velocity;
  uint32_t insideConeAngle = 360, outsideConeAngle = 360;
  Vector3 coneOrientation{0, 0, 1};
  int32_t coneOutsideVolume = 0;
  float minDistance = 5.0f, maxDistance = 100.0f;
  uint32_t mode = 0;
};
struct Listener3DParams {
  uint32_t size = 64;
  Vector3 position, velocity;
  Vector3 orientFront{0, 0, 1};
  Vector3 orientTop{0, 1, 0};
  float distanceFactor = 1.0f, rolloffFactor = 1.0f, dopplerFactor = 1.0f;
};
static_assert(sizeof(Buffer3DParams) == 64 && sizeof(Listener3DParams) == 64);

class Unknown {
 public:
  virtual uint32_t AddRef() = 0;
  virtual uint32_t Release() = 0;

 protected:
  virtual ~Unknown() = default;
};

class Listener3D : public Unknown {
 public:
  virtual int32_t GetAllParameters(Listener3DParams* out) = 0;
  virtual int32_t SetAllParameters(const Listener3DParams& p, uint32_t apply) = 0;
};

class Buffer3D : public Unknown {
 public:
  virtual int32_t GetAllParameters(Buffer3DParams* out) = 0;
  virtual int32_t SetAllParameters(const Buffer3DParams& p, uint32_t apply) = 0;
};

// A sound buffer. The primary buffer stands for the output itself (no data, no cursors);
// a secondary buffer is a zero-filled ring the output plays from.
class SoundBuffer : public Unknown {
 public:
  // The same object under its other names (buffer 8, notify), counted once more.
  virtual int32_t QueryInterface(SoundBuffer** out) = 0;
  // The primary buffer's listener (needs kBufCtrl3D), or the secondary buffer's 3-D control.
  virtual int32_t QueryListener(Listener3D** out) = 0;
  virtual int32_t Query3D(Buffer3D** out) = 0;
  // Up to two pieces covering `bytes` from `offset`, split at the end of the ring.
  virtual int32_t Lock(uint32_t offset, uint32_t bytes, void** p1, uint32_t* n1, void** p2,
                       uint32_t* n2, uint32_t flags) = 0;
  virtual int32_t Unlock(void* p1, uint32_t n1, void* p2, uint32_t n2) = 0;
  // Play cursor (where the output reads) and write cursor (one output period ahead).
  virtual int32_t GetCurrentPosition(uint32_t* play, uint32_t* write) = 0;
  virtual int32_t GetStatus(uint32_t* status) = 0;
  virtual int32_t Play(uint32_t reserved, uint32_t priority, uint32_t flags) = 0;
  virtual int32_t Stop() = 0;
  virtual int32_t SetCurrentPosition(uint32_t pos) = 0;
  // Stored and validated (ascending offsets inside the buffer, or kNotifyOffsetStop).
  virtual int32_t SetNotificationPositions(uint32_t count, const PositionNotify* notifies) = 0;
  virtual int32_t GetFormat(WaveFormat* out) = 0;
};

// A device object: what the component creates, initialises and makes buffers with.
class SoundDevice : public Unknown {
 public:
  virtual int32_t Initialize() = 0;
  virtual int32_t SetCooperativeLevel(int window, uint32_t level) = 0;
  virtual int32_t CreateSoundBuffer(const BufferDesc& desc, SoundBuffer** out) = 0;
  // A new buffer sharing the source's sound data, with its own cursor.
  virtual int32_t DuplicateSoundBuffer(SoundBuffer* src, SoundBuffer** out) = 0;
};

class AudioDevice {
 public:
  virtual ~AudioDevice() = default;
  // A new device object (count 1); an error code and null when there is no sound output.
  virtual int32_t CreateDevice(SoundDevice** out) {
    if (out) *out = nullptr;
    return kAudioErrNoDriver;
  }
  // The system sound player's one voice. `image` is a whole RIFF WAVE file; it is decoded
  // and copied when played (and converted as it plays), so the caller may free it at once. noStop: play nothing while
  // the voice still plays. sync: return when the sound has ended. An unplayable image plays
  // nothing. Returns true when the sound started.
  virtual bool PlayWave(const void* image, size_t size, bool noStop, bool sync) {
    (void)image, (void)size, (void)noStop, (void)sync;
    return false;
  }
  // Ends whatever the voice plays.
  virtual void StopWave() {}
  virtual bool WavePlaying() { return false; }

  // The sound library's notify worker: calls `poll` every `periodMs` milliseconds until the
  // handle is destroyed, which waits for a poll under way and then returns; `poll` is never
  // called after that. This base runs it on a thread of its own that sleeps on the wall clock
  // between polls; an output that plays only as its owner advances it by hand (the headless
  // one) calls it in step with that owner's clock instead, starting no thread. The sound
  // library never makes a thread or reads a clock itself.
  class Worker {
   public:
    virtual ~Worker() = default;
  };
  virtual std::unique_ptr<Worker> StartWorker(uint32_t periodMs, std::function<void()> poll);
};

}  // namespace plat
