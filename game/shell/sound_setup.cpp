// The main form's sound steps: wave players, the sound device, the music objects, the stream's
// notify handler, freeing the players' data and the music teardown.
#include "game/shell/sound_setup.h"

#include <filesystem>

#include "game/game.h"
#include "sound/music_stream.h"
#include "sound/vorbis_dll.h"

const char* const kWavePlayerFiles[20] = {
    "opening.wav", "boal.wav",   "choise1.wav", "choise2.wav", "croud.wav",
    "door.wav",    "goal.wav",   "ground.wav",  "have.wav",    "jump.wav",
    "jumpdai.wav", "key.wav",    "mahou.wav",   "ok1.wav",     "rouya.wav",
    "window.wav",  "barrior.wav", "hanabi.wav", "ice.wav",     "hanabi2.wav",
};

namespace {
constexpr int32_t kMusicBufferBytes = 65536;
}

SoundObjects::~SoundObjects() {
  ShutMusicStream(DDSD1.get(), WaveData, OggData, OggPlayer);
  for (auto& p : WavePlayers) p.reset();
  DDSD1.reset();
}

void CreateWavePlayers(Game& g) {
  for (int n = 1; n <= 20; ++n) {
    auto p = std::make_unique<TWavePlayer>(g.host.Audio());
    p->Name = "WavePlayer" + std::to_string(n);
    p->SetEnabled(true);
    p->Sync = false;
    p->SetFileName(kWavePlayerFiles[n - 1]);
    p->SearchExePath = true;
    p->ProgramFolder = g.ProgramFolder;
    p->Allowed = [&g] { return g.QuitRequested == 0 && g.SoundEnabled == 1; };
    g.WavePlayers[n - 1] = std::move(p);
  }
}

void LoadWavePlayers(Game& g) {
  for (int n = 1; n <= 20; ++n) {
    TWavePlayer* p = g.WavePlayer(n);
    if (!p) continue;
    std::error_code ec;
    auto file = std::filesystem::path(g.ProgramFolder) / "plumetwave" / kWavePlayerFiles[n - 1];
    // Only a regular file: opening a FIFO under a sound's name would block the start for good.
    if (!std::filesystem::is_regular_file(file, ec)) continue;
    try {
      p->Loaded();
    } catch (const std::exception&) {
      // A file that exists but cannot be read leaves its player silent, like a missing one.
      p->FreeData();
    }
  }
}

void CreateSoundDevice(Game& g) {
  g.DDSD1 = std::make_unique<TDDSD>(g.host.Audio());
  g.DDSD1->Name = "DDSD1";
  g.DDSD1->SetDebugOption(dsoHaltOnError);
  g.DDSD1->Window = g.host.FormWindowId();
  g.DDSD1->Unit().LogFolder = g.ProgramFolder;
  g.DDSD1->Loaded();
}

bool DecoderPresent(Game& g) {
  std::error_code ec;
  return std::filesystem::is_regular_file(
      std::filesystem::path(g.ProgramFolder) / "plumetogg" / "wuvorbis.dll", ec);
}

void CreateMusicObjects(Game& g) {
  std::string dll = (std::filesystem::path(g.ProgramFolder) / "plumetogg" / "wuvorbis.dll").string();
  // A library that lacks an export counts as a failed load: nothing may call through an
  // unbound entry point.
  if (!LoadVorbisDLL(dll)) throw EVorbisError("wuvorbis.dllの読込に失敗しました。");
  if (!g.DDSD1) CreateSoundDevice(g);
  g.OggPlayer = std::make_unique<TOggPlayer>(kMusicBufferBytes, 8);
  g.OggData = std::make_unique<TOggData>(kMusicBufferBytes);
  g.WaveData = std::make_unique<TDDSDWaveData>(*g.DDSD1, 44100, 16, true, kMusicBufferBytes, false);
  g.WaveData->OnNotify = [&g](TDDSDGenWave* sender, TDDSDChannel* channel, uint32_t offset,
                              uint32_t length) { OnStreamNotify(g, sender, channel, offset, length); };
  if (TDDSDChannel* ch = g.DDSD1->GetChannel(0)) {
    ch->SetWaveData(g.WaveData.get());
    ch->PlayLoop();
  }
}

void OnStreamNotify(Game& g, TDDSDGenWave*, TDDSDChannel*, uint32_t offset, uint32_t length) {
  g.OggPlayer->RenderNext();
  g.WaveData->Write(offset, g.OggPlayer->CurrentBlock(), length);
}

void ShutSoundPlayers(Game& g) {
  for (int n = 1; n <= 20; ++n)
    if (TWavePlayer* p = g.WavePlayer(n)) p->FreeData();
}

void TearDownMusic(Game& g) {
  ShutMusicStream(g.DDSD1.get(), g.WaveData, g.OggData, g.OggPlayer);
  FreeVorbisDLL();
}

void PlaySound(Game& g, int player, bool noStop) {
  if (g.QuitRequested != 0 || g.SoundEnabled != 1) return;
  TWavePlayer* p = g.WavePlayer(player);
  if (!p) return;
  if (noStop)
    p->PlayNoStop();
  else
    p->Play();
}
