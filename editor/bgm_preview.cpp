// The music preview on the sound library: decoder binding, track, mixer and stream.
#include "editor/bgm_preview.h"

#include <filesystem>

#include "sound/ddsd.h"
#include "sound/memory_stream.h"
#include "sound/music_stream.h"
#include "sound/ogg_data.h"
#include "sound/ogg_player.h"
#include "sound/vorbis_dll.h"

namespace fs = std::filesystem;
using plat::MsgButtons;
using plat::MsgIcon;

namespace {

constexpr int32_t kStreamBytes = 65536;

void ErrorBox(EditorState& e, const std::string& text) {
  e.host.MessageBox(text, kEditorTitle, MsgButtons::Ok, MsgIcon::Error);
}

void EndAtStart(EditorState& e, const char* text) {
  e.MusicState = 2;
  ErrorBox(e, text);
  e.host.ShowWindow(false);
  e.host.Terminate();
}

}  // namespace

bool SetUpBgmPreview(EditorState& e) {
  // The decoder is looked for beside the program, whatever folder it was started from.
  const std::string dll = (fs::path(e.ProgramFolder) / "plumetogg" / "wuvorbis.dll").string();
  std::error_code ec;
  if (!fs::is_regular_file(dll, ec)) {
    EndAtStart(e, "plumetoggフォルダ内にwuvorbis.dllが存在しません。");
    return false;
  }
  try {
    // A library lacking an export counts as one that failed: nothing may call an unbound entry.
    if (!LoadVorbisDLL(dll)) throw EVorbisError("wuvorbis.dll");
    e.OggPlayer = std::make_unique<TOggPlayer>(kStreamBytes, 8);
    e.OggData = std::make_unique<TOggData>(kStreamBytes);
    e.WaveData = std::make_unique<TDDSDWaveData>(*e.DDSD1, 44100, 16, true, kStreamBytes, false);
    // Runs on the notify thread each time half of the stream has played.
    e.WaveData->OnNotify = [&e](TDDSDGenWave*, TDDSDChannel*, uint32_t offset, uint32_t length) {
      e.OggPlayer->RenderNext();
      e.WaveData->Write(offset, e.OggPlayer->CurrentBlock(), length);
    };
    TDDSDChannel* ch = e.DDSD1->GetChannel(0);
    if (!ch) throw EVorbisError("channel");
    ch->SetWaveData(e.WaveData.get());
    ch->PlayLoop();
  } catch (const std::exception&) {
    EndAtStart(e, "wuvorbis.dllの読込に失敗しました。");
    return false;
  }
  return true;
}

void FreeBgmPreview(EditorState& e) {
  CloseBgmPreview(e);
  ShutMusicStream(e.DDSD1.get(), e.WaveData, e.OggData, e.OggPlayer);
  FreeVorbisDLL();
}

const char* BgmFileName(int theme) {
  static const char* const kFiles[6] = {"hitotunojikan.ogg", "mist.ogg",        "sunshine.ogg",
                                        "huwahuwairo.ogg",   "simotuki.ogg",    "mahou.ogg"};
  return theme >= 0 && theme < 6 ? kFiles[theme] : nullptr;
}

void LoadBgmPreview(EditorState& e, const std::string& fileName) {
  e.BgmLoaded = 0;
  if (e.MusicState != 1 || !e.OggData || !e.OggPlayer) return;
  const fs::path folder = fs::path(e.ProgramFolder) / "plumetogg";
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) {
    ErrorBox(e, "plumetoggフォルダがディレクトリ内に存在しません。");
    return;
  }
  const fs::path file = folder / fileName;
  if (!fs::is_regular_file(file, ec)) {
    ErrorBox(e, "指定のoggファイルがplumetoggフォルダ内に存在しません。");
    return;
  }
  if (e.EditTheme != e.LastBgmIndex) {
    TMemoryStream stream;
    // An unreadable or undecodable song is reported and nothing plays; the next "⇒" tries again.
    try {
      if (!stream.LoadFromFile(file.string())) throw EVorbisError("ファイルの読み込みに失敗");
      stream.SetPosition(0);
      e.OggData->OpenCopy(stream);
    } catch (const std::exception& ex) {
      e.LastBgmIndex = 100;
      ErrorBox(e, ex.what());
      return;
    }
    e.OggPlayer->Attach(0, e.OggData.get());
    e.LastBgmIndex = e.EditTheme;
    e.BgmFileLoads++;
  }
  e.BgmLoaded = 1;
}

void LoadSelectedBgm(EditorState& e) {
  if (const char* f = BgmFileName(e.EditTheme)) LoadBgmPreview(e, f);
}

void PlayBgmPreview(EditorState& e) {
  if (e.MusicState == 1 && e.BgmLoaded == 1 && e.OggPlayer) e.OggPlayer->PlaySlot(0, false);
}

void StopBgmPreview(EditorState& e) {
  if (e.MusicState == 1 && e.OggPlayer) e.OggPlayer->RewindSlot(0);
}

void CloseBgmPreview(EditorState& e) {
  if (e.MusicState != 1 || !e.OggPlayer) return;
  e.OggPlayer->RewindSlot(0);
  e.OggPlayer->Detach(0);
}

void Button11Click(EditorState& e) {
  StopBgmPreview(e);
  LoadSelectedBgm(e);
  if (e.OggPlayer) e.OggPlayer->SetSlotVolume(0, 1.0f);
  PlayBgmPreview(e);
}

void Button12Click(EditorState& e) {
  StopBgmPreview(e);
  e.BgmLoaded = 0;
}
