// The software sound output: our buffer emulation (device, primary and ring buffers, cursors,
// notification positions) and the sound player's voice (platform/wave decodes it), mixed with
// saturation into 44100 Hz 16-bit stereo. The SDL output drives it from its callback; the null
// device drives it by hand (tests, headless runs) or by the wall clock (a silent output that
// still plays in real time).
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/api/audio.h"
#include "platform/wave/wave_voice.h"

namespace plat {

class SoftAudioDevice : public AudioDevice {
 public:
  explicit SoftAudioDevice(int periodFrames = 1024);
  ~SoftAudioDevice() override;

  int32_t CreateDevice(SoundDevice** out) override;
  bool PlayWave(const void* image, size_t size, bool noStop, bool sync) override;
  void StopWave() override;
  bool WavePlaying() override;

  // Mixes `frames` output frames into `out` (interleaved stereo), moving the cursors of the
  // playing buffers and the voice. Called by the output (any thread).
  void Render(int16_t* out, int frames);
  // Plays `frames` frames by hand: into the capture when one runs, else into nothing.
  void Advance(int frames);
  // Output driven by the wall clock: every query first plays the frames that are due.
  void SetRealTime(bool on);
  bool RealTime() const;
  // Keeps everything played from now on (Advance or real time), for tests and --audio.
  void StartCapture();
  std::vector<int16_t> TakeCapture();
  int PeriodFrames() const { return period_; }
  // Secondary buffers alive (tests check that shutdown releases them).
  int LiveBuffers() const;
  // The notify worker keeps the base's rhythm of polls but sleeps through those that could
  // find nothing (no cursor past a notification position, no buffer started, stopped or moved).
  std::unique_ptr<Worker> StartWorker(uint32_t periodMs, std::function<void()> poll) override;

  struct Core;

 protected:
  // How a synchronous play waits for the voice to end.
  virtual void WaitWaveEnd();

 private:
  class NotifyWorker;
  std::shared_ptr<Core> core_;
  int period_;
};

// The headless output: silent, driven by Advance (the default) or by the wall clock.
class NullAudioDevice : public SoftAudioDevice {
 public:
  explicit NullAudioDevice(bool realTime = false) { SetRealTime(realTime); }

  // Plays `ms` milliseconds by hand in output periods; after each one the notify workers
  // (see StartWorker) poll, then OnPeriod is called, so music renders in step with the clock.
  void AdvanceMs(uint32_t ms);
  std::function<void()> OnPeriod;
  // True while the output plays only as its owner advances it (not real time).
  bool Manual() const { return !RealTime(); }
  // With a manual output the worker polls after each output period AdvanceMs plays, on the
  // owner's virtual clock; in real time it is the base's thread.
  std::unique_ptr<Worker> StartWorker(uint32_t periodMs, std::function<void()> poll) override;
  int Workers() const { return static_cast<int>(workers_.size()); }

 protected:
  void WaitWaveEnd() override;

 private:
  uint64_t dueMicroFrames_ = 0;  // frames owed, in millionths (44.1 frames a millisecond)
  class PeriodWorker;
  std::map<int, std::function<void()>> workers_;  // the manual workers, by id
  int nextWorker_ = 1;
};

}  // namespace plat
