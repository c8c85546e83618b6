// The SDL2 sound output (audio subsystem only) under our buffer emulation.
#define SDL_MAIN_HANDLED
#include "platform/sdl/sdl_audio.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>

namespace plat {

SdlAudioDevice::SdlAudioDevice() : SoftAudioDevice(1024) {}

SdlAudioDevice::~SdlAudioDevice() {
  if (dev_) {
    SDL_CloseAudioDevice(dev_);
    dev_ = 0;
  }
  if (subsystem_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlAudioDevice::OpenOnce() {
  if (tried_) return;
  tried_ = true;
  // SDL must leave SIGINT and SIGTERM to the program.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SDL_SetMainReady();
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    std::fprintf(stderr, "plumet: no sound output (%s); running silent\n", SDL_GetError());
    SetRealTime(true);
    return;
  }
  subsystem_ = true;
  SDL_AudioSpec want;
  std::memset(&want, 0, sizeof want);
  want.freq = kOutputRate;
  want.format = AUDIO_S16LSB;
  want.channels = kOutputChannels;
  want.samples = static_cast<Uint16>(PeriodFrames());
  want.callback = &SdlAudioDevice::Callback;
  want.userdata = this;
  SDL_AudioSpec have;
  dev_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (dev_ == 0) {
    std::fprintf(stderr, "plumet: no sound output (%s); running silent\n", SDL_GetError());
    SetRealTime(true);
    return;
  }
  SDL_PauseAudioDevice(dev_, 0);
}

void SdlAudioDevice::Callback(void* self, uint8_t* stream, int len) {
  static_cast<SdlAudioDevice*>(self)->Render(reinterpret_cast<int16_t*>(stream), len / 4);
}

int32_t SdlAudioDevice::CreateDevice(SoundDevice** out) {
  OpenOnce();
  return SoftAudioDevice::CreateDevice(out);
}

bool SdlAudioDevice::PlayWave(const void* image, size_t size, bool noStop, bool sync) {
  OpenOnce();
  return SoftAudioDevice::PlayWave(image, size, noStop, sync);
}

}  // namespace plat
