// The sound objects the main form owns: the wave players, the sound device component and the
// music mixer, track and streaming buffer.
#pragma once

struct SoundObjects {};
