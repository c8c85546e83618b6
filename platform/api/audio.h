// The audio output under the sound library's device component and wave player.
// (Filled in with the sound library: a small DirectSound-shaped buffer API and the system
// sound player's one voice, over one shared output.)
#pragma once

namespace plat {

class AudioDevice {
 public:
  virtual ~AudioDevice() = default;
};

}  // namespace plat
