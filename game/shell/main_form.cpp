// The game's entry and main form: single-instance guard, start-up in its fixed order and the
// form's handlers.
#include "game/shell/main_form.h"

#include <filesystem>

#include "game/game.h"
#include "game/menus/progress_record.h"
#include "game/play/stage_data_file.h"
#include "game/scenes.h"
#include "game/shell/frame.h"
#include "game/shell/main_loop.h"
#include "game/shell/program.h"
#include "game/shell/music_control.h"
#include "game/shell/sound_setup.h"
#include "game/shell/transitions.h"
#include "platform/api/sys.h"

using plat::MsgButtons;
using plat::MsgIcon;
using plat::MsgResult;

namespace {

constexpr const char* kDecoderMissing = "wuvorbis.dllがplumetoggフォルダ内に存在しません。";
constexpr const char* kDecoderFailed = "wuvorbis.dllの読込に失敗しました。";

// The form's window handlers, delivered by the host while it processes messages.
class FormEvents : public plat::WindowEvents {
 public:
  explicit FormEvents(Game& g) : g_(g) {}
  bool OnCloseQuery() override { return ::OnCloseQuery(g_); }
  void OnPaint() override { FormPaint(g_); }

 private:
  Game& g_;
};

// Start-up: the decoder library and the music objects. False after a fatal exit.
bool SetUpMusic(Game& g) {
  if (!DecoderPresent(g)) {
    FatalStartupExit(g, kDecoderMissing, true);
    return false;
  }
  try {
    CreateMusicObjects(g);
  } catch (const std::exception&) {
    FatalStartupExit(g, kDecoderFailed, true);
    return false;
  }
  return true;
}

void LoadArt(Game& g) {
  FormArt& a = g.Art;
  struct Entry {
    const char* name;
    plat::Bitmap* bmp;
  } entries[] = {
      {"ImgTitle", &a.ImgTitle},   {"ImgAnten", &a.ImgAnten},   {"ImgMap0", &a.ImgMap0},
      {"ImgMap1", &a.ImgMap1},     {"ImgChar", &a.ImgChar},     {"ImgChar1", &a.ImgChar1},
      {"ImgChar2", &a.ImgChar2},   {"ImgChar3", &a.ImgChar3},   {"ImgChar4", &a.ImgChar4},
      {"ImgChar5", &a.ImgChar5},   {"ImgChar6", &a.ImgChar6},   {"ImgChar7", &a.ImgChar7},
      {"ImgChar8", &a.ImgChar8},   {"ImgChar9", &a.ImgChar9},   {"ImgChar10", &a.ImgChar10},
      {"ImgChar11", &a.ImgChar11}, {"ImgChar12", &a.ImgChar12}, {"ImgChar13", &a.ImgChar13},
      {"ImgChar14", &a.ImgChar14}, {"ImgChar15", &a.ImgChar15}, {"ImgChar16", &a.ImgChar16},
      {"ImgChar17", &a.ImgChar17}, {"ImgChar18", &a.ImgChar18}, {"ImgChar19", &a.ImgChar19},
      {"ImgChar20", &a.ImgChar20},
  };
  for (const Entry& e : entries) g.host.LoadImage(e.name, *e.bmp);
}

}  // namespace

int ProgramMain(Game& g) {
  if (!g.host.AcquireInstanceLock("plumet")) {
    ShowError(g, "二重起動はできません。");
    return 0;
  }
  g.host.SetCaption(kGameTitle);
  FormEvents events(g);
  g.host.SetEventHandler(&events);
  FormCreate(g);
  // The message loop finds termination already requested and ends at once.
  FormDestroy(g);
  g.host.SetEventHandler(nullptr);
  return 0;
}

void FormCreate(Game& g) {
  g.ProgramFolder = std::filesystem::path(g.host.ProgramPath()).parent_path().string();

  // The sound comes first so that a missing decoder ends the start before any file is read.
  // The wave players, loaded where their files exist, and the sound device.
  CreateWavePlayers(g);
  LoadWavePlayers(g);
  CreateSoundDevice(g);
  // The decoder library and the music objects; the game does not start without them.
  if (!SetUpMusic(g)) return;
  // The data files, relative to the program's folder.
  EnterProgramFolder(g);
  if (!LoadStageData(g)) return;
  LoadProgressRecord(g);
  ReadMapFolderFile(g);
  // The one gameplay random stream, seeded through the host so tests can fix it.
  g.RandSeed = g.host.RandomSeed();
  // The window and the off-screen bitmaps all draw at 640x480.
  g.host.SetClientSize(640, 480);
  g.BackBuffer.Resize(640, 480);
  g.BoardLayer.Resize(640, 480);
  g.ScratchBitmap.Resize(100, 100);
  // The art (never shown itself; used as drawing sources).
  LoadArt(g);
  // System facts, kept in the state though nothing reads them yet; the refresh rate is taken only
  // where the platform reports it.
  plat::OsVersionInfo os = g.host.OsVersion();
  g.OsPlatformId = os.platformId;
  g.OsMajor = os.major;
  g.OsMinor = os.minor;
  plat::DesktopInfo d = g.host.Desktop();
  g.DesktopWidth = d.width;
  g.DesktopHeight = d.height;
  g.DesktopBits = d.bitsPerPixel;
  g.DesktopRefresh = g.OsPlatformId == 2 ? d.refresh : 0;
  // A fresh start: windowed, sound on, the first stage, the opening scene first.
  g.FullScreen = 0;
  g.SoundEnabled = 1;
  g.StageIndex = 0;
  g.Paused = 0;
  FlushKeys(g);
  g.SceneId = scOpening;
  g.FadeInPending = 0;
  g.OverlayKeyLatch = 0;
  // The settings file; anything but 0 or 1 becomes 1 and is written back.
  std::string ini = (std::filesystem::path(g.host.ProgramPath()).replace_extension(".ini")).string();
  g.DisableComposition = static_cast<uint8_t>(plat::IniReadInt(ini, "DWMAPI", "DisableComposition", 2));
  if (g.DisableComposition > 1) {
    plat::IniWriteInt(ini, "DWMAPI", "DisableComposition", 1);
    g.DisableComposition = 1;
  }
  // Play state cleared, then the window shown and taken into focus.
  ResetPlayState(g);
  g.host.ShowWindow(true);
  SetTimer1Enabled(g, false);
  g.host.ActivateWindow();
  // The form's own identity: activation is asynchronous on some window systems, so the
  // active-window query may not name the form yet at this point.
  g.OwnWindow = g.host.FormWindowId();
  g.LastActiveWindow = g.OwnWindow;
  // The DisableComposition setting switches desktop composition off only on the
  // desktop systems that have it; there is no such composition to switch off here, so the
  // setting is read and kept but changes nothing.
  // The main loop runs until the game quits.
  MainLoop(g);
}


bool OnCloseQuery(Game& g) {
  if (g.host.MessageBox("終了しますか？", kGameTitle, MsgButtons::YesNo, MsgIcon::None) == MsgResult::Yes) {
    QuitSequence(g);
    return true;
  }
  g.KeyLatch = 1;
  ReleaseKeyLatch(g);
  FlushKeys(g);
  return false;
}

void FormPaint(Game& g) {
  // The host repaints the client area from the last presented back buffer itself.
  if (g.FullScreen == 1) g.host.SetTopmost(true);
}

void FormDestroy(Game& g) {
  StopMusic(g);
  TearDownMusic(g);
  g.host.ShowWindow(false);
}
