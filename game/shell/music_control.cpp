// Music control by file name: one song at a time in slot 0 of the mixer, started after a delay
// counted in frames and restarted whenever it has played to its end.
#include "game/shell/music_control.h"

#include <cstring>
#include <filesystem>
#include <strings.h>

#include "game/game.h"
#include "game/shell/frame.h"
#include "sound/memory_stream.h"
#include "sound/vorbis_dll.h"

namespace fs = std::filesystem;

namespace {

void EnterFolder(const fs::path& dir) {
  std::error_code ec;
  fs::current_path(dir, ec);
}

void ShowMusicError(Game& g, const std::string& text) {
  g.host.MessageBox(text, kGameTitle, plat::MsgButtons::Ok, plat::MsgIcon::Error);
}

// Empties slot 0 and forgets the song.
void DropSong(Game& g) {
  if (g.OggPlayer) {
    g.OggPlayer->RewindSlot(0);
    g.OggPlayer->Detach(0);
  }
  g.CurrentSongFile.clear();
}

// The music folder's file of that name. Names are matched ignoring letter case, as the
// original's file system did; an exact match wins. Empty when there is none.
fs::path FindSongFile(const fs::path& folder, const std::string& name) {
  std::error_code ec;
  if (name.empty()) return {};
  if (fs::is_regular_file(folder / name, ec)) return folder / name;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (strcasecmp(it->path().filename().string().c_str(), name.c_str()) == 0 &&
        it->is_regular_file(ec))
      return it->path();
  }
  return {};
}

bool MusicReady(Game& g) { return g.MusicState == 1 && g.OggPlayer && g.OggData; }

}  // namespace

void PlayMusic(Game& g, const std::string& fileName) {
  g.SongStatus = 0;
  EnterFolder(g.ProgramFolder);
  if (g.MusicState != 1) return;
  const fs::path folder = fs::path(g.ProgramFolder) / "plumetogg";
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) {
    DropSong(g);
    ShowMusicError(g, "plumetoggフォルダがディレクトリ内に存在しません。");
    return;
  }
  EnterFolder(folder);  // it stays there afterwards
  const fs::path file = FindSongFile(folder, fileName);
  if (file.empty()) {
    DropSong(g);
    ShowMusicError(g, "指定のoggファイルがplumetoggフォルダ内に存在しません。");
    return;
  }
  if (strcasecmp(fileName.c_str(), g.CurrentSongFile.c_str()) == 0) {
    g.SongStatus = 2;  // the song already loaded keeps its state
    return;
  }
  if (!g.OggPlayer || !g.OggData) return;
  g.SongLoadTime = static_cast<int32_t>(g.host.TickMs());
  TMemoryStream stream;
  bool opened = false;
  try {
    opened = stream.LoadFromFile(file.string()) && g.OggData->OpenCopy(stream);
  } catch (const std::exception&) {
    opened = false;
  }
  if (!opened) {
    // A file the decoder cannot read: the slot is emptied, the song forgotten, and the game
    // goes on without music until a later song loads.
    g.OggData->Close();
    DropSong(g);
    ShowMusicError(g, "指定のoggファイルを読み込めませんでした。\r\n(" + fileName + ")");
    return;
  }
  g.OggPlayer->Attach(0, g.OggData.get());
  g.CurrentSongFile = fileName;
  g.SongStatus = 1;
  g.SongLoadPhase = 1;
  if (fileName == "rhythmicpark.ogg")
    g.MusicStartDelay = 50;
  else if (fileName == "never.ogg")
    g.MusicStartDelay = 43;
  else if (fileName != "fun.ogg")
    g.MusicStartDelay = 71;
}

void ArmMusicStart(Game& g) {
  if (g.MusicState == 1 && g.SongStatus == 1 && g.SongLoadPhase != 0) g.SongLoadPhase = 0;
}

void MusicTick(Game& g) {
  if (g.MusicState != 1) return;
  if (g.SongLoadPhase == 1) {
    WaitMs(g, 90);  // the frame is lengthened once while the new song settles
    g.SongLoadPhase = 2;
  }
  const int32_t since = static_cast<int32_t>(g.host.TickMs()) - g.SongLoadTime;
  if (since <= 660 && g.SongLoadPhase != 0) return;
  if (g.MusicStartDelay > 0) {
    g.MusicStartDelay--;
    return;
  }
  if (g.OggPlayer && g.OggPlayer->SlotState(0) == 1) {
    g.OggPlayer->SetSlotVolume(0, 1.0f);
    g.OggPlayer->PlaySlot(0, false);
    g.SongLoadPhase = 0;
  }
}

void StopMusic(Game& g) {
  if (g.MusicState != 1) return;
  g.SongStatus = 0;
  if (g.OggPlayer) g.OggPlayer->RewindSlot(0);
}

void Timer1Timer(Game& g) { MusicTick(g); }

void FadeMusicOut(Game& g, double seconds) {
  if (!MusicReady(g)) return;
  g.OggPlayer->FadeSlotVolume(0, 0.0f, static_cast<float>(seconds));
  g.OggPlayer->PlaySlot(0, false);
}

void SetTimer1Enabled(Game& g, bool enabled) {
  if (enabled && g.Timer1 == 0) {
    g.Timer1 = g.host.StartTimer(100, [&g] { Timer1Timer(g); });
  } else if (!enabled && g.Timer1 != 0) {
    g.host.StopTimer(g.Timer1);
    g.Timer1 = 0;
  }
}
