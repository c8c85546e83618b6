// The SDL2 sound output: our buffer emulation and the sound player's voice played through one
// SDL audio device (44100 Hz, 16-bit, stereo). Without a usable device it stays silent but
// keeps time, so play cursors still move and the game runs on.
#pragma once
#include <cstdint>

#include "platform/null/null_audio.h"

namespace plat {

class SdlAudioDevice : public SoftAudioDevice {
 public:
  SdlAudioDevice();
  ~SdlAudioDevice() override;

  int32_t CreateDevice(SoundDevice** out) override;
  bool PlayWave(const void* image, size_t size, bool noStop, bool sync) override;
  // True once the SDL device is open and playing.
  bool Opened() const { return dev_ != 0; }

 private:
  void OpenOnce();  // the output opens at its first use
  static void Callback(void* self, uint8_t* stream, int len);

  uint32_t dev_ = 0;
  bool tried_ = false;
  bool subsystem_ = false;
};

}  // namespace plat
