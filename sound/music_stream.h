// The shut-down order of a program's music stream, shared by the game and the editor.
#pragma once
#include <memory>

#include "sound/ddsd.h"
#include "sound/ogg_data.h"
#include "sound/ogg_player.h"

// Stops channel 0 of `ddsd` and detaches its buffer, ends the stream's notify thread, then frees
// the stream, the track and the mixer in that order, so no notify runs on a freed mixer. Any of
// them may be missing; the decoder library is left loaded.
void ShutMusicStream(TDDSD* ddsd, std::unique_ptr<TDDSDWaveData>& waveData,
                     std::unique_ptr<TOggData>& oggData, std::unique_ptr<TOggPlayer>& oggPlayer);
