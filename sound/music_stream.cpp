// The shut-down order of a program's music stream.
#include "sound/music_stream.h"

void ShutMusicStream(TDDSD* ddsd, std::unique_ptr<TDDSDWaveData>& waveData,
                     std::unique_ptr<TOggData>& oggData, std::unique_ptr<TOggPlayer>& oggPlayer) {
  if (ddsd && ddsd->Available()) {
    if (TDDSDChannel* ch = ddsd->GetChannel(0)) {
      ch->Stop();
      ch->SetWaveData(nullptr);
    }
  }
  if (waveData) waveData->EndNotify();
  waveData.reset();
  oggData.reset();
  oggPlayer.reset();
}
