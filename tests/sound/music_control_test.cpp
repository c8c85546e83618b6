// Music control through a Game on the headless host: start delays, the settle wait and the
// 660 ms guard, the same-song rule, repeats, stop, and the three error boxes.
#include "game/shell/music_control.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "game/game.h"
#include "game/shell/program.h"
#include "game/shell/sound_setup.h"
#include "game/shell/transitions.h"
#include "platform/null/null_audio.h"
#include "platform/null/null_host.h"
#include "tests/sound/hostile_songs.h"
#include "tests/sound/ogg_fixture.h"

namespace fs = std::filesystem;

namespace {

struct MusicRig {
  fs::path dir;
  plat::NullHost host;
  std::unique_ptr<Game> g;
  fs::path cwd = fs::current_path();

  MusicRig() {
    char tmpl[] = "/tmp/plumet-music-XXXXXX";
    dir = ::mkdtemp(tmpl);
    fs::create_directory(dir / "plumetogg");
    fs::copy_file(DecoderPath(), dir / "plumetogg" / "wuvorbis.dll");
    std::vector<uint8_t> song = SineOgg(44100, 2, 0.5);
    for (const char* name : {"song.ogg", "other.ogg", "never.ogg", "rhythmicpark.ogg", "fun.ogg", "NEVER.ogg"})
      WriteBytes((dir / "plumetogg" / name).string(), song);
    WriteBytes((dir / "plumetogg" / "bad.ogg").string(), std::vector<uint8_t>(500, 'x'));
    // Headers the decoder library used to take, and whose first audio packet then died of
    // SIGFPE in libvorbis (a value codebook of no dimensions).
    HandSong fpe;
    fpe.stageBookDim = 0;
    WriteBytes((dir / "plumetogg" / "fpe.ogg").string(), BuildHandSong(fpe));
    host.SetAudio(std::make_unique<plat::NullAudioDevice>());
    g = std::make_unique<Game>(host);
    g->ProgramFolder = dir.string();
    CreateSoundDevice(*g);
    CreateMusicObjects(*g);
    EXPECT_EQ(static_cast<plat::NullAudioDevice&>(host.Audio()).Workers(), 1)
        << "a hand-driven output polls the stream on its own clock";
  }
  ~MusicRig() {
    TearDownMusic(*g);
    g.reset();
    fs::current_path(cwd);
    fs::remove_all(dir);
  }
  // One frame: the tail's music step, the stream's renders, 25 ms of virtual time.
  void Frame() {
    MusicTick(*g);
    g->OggPlayer->RenderNext();
    host.Advance(25);
  }
  int Slot() { return g->OggPlayer->SlotState(0); }
  // Frames until slot 0 plays (limit: -1).
  int FramesUntilPlaying(int limit = 400) {
    for (int n = 1; n <= limit; ++n) {
      Frame();
      if (Slot() >= 2) return n;
    }
    return -1;
  }
};

// A mono 16-bit 44.1 kHz wave of two samples: enough for a player to hold data.
std::vector<uint8_t> TinyWave() {
  return {'R', 'I', 'F', 'F', 40, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0, 1, 0,
          0x44, 0xAC, 0, 0, 0x88, 0x58, 1, 0, 2, 0, 16, 0, 'd', 'a', 't', 'a', 4, 0, 0, 0, 1, 0, 1, 0};
}

}  // namespace

TEST(MusicControl, NewSongStartsAfterTheGuardAndItsDelay) {
  MusicRig r;
  Game& g = *r.g;
  const uint32_t t0 = r.host.Now();
  PlayMusic(g, "song.ogg");
  EXPECT_EQ(g.SongStatus, 1);
  EXPECT_EQ(g.SongLoadPhase, 1);
  EXPECT_EQ(g.MusicStartDelay, 71);
  EXPECT_EQ(g.CurrentSongFile, "song.ogg");
  g.OggPlayer->RenderNext();
  EXPECT_EQ(r.Slot(), 1);

  // Frame 1 waits 90 ms once; frames pass 25 ms each. The guard holds while no more than
  // 660 ms have passed since the load; then 71 frames count down; the next frame starts it.
  MusicTick(g);
  EXPECT_EQ(g.SongLoadPhase, 2);
  const uint32_t waited = r.host.Now() - t0;
  EXPECT_GE(waited, 90u);
  g.OggPlayer->RenderNext();
  r.host.Advance(25);
  int frames = 1;
  while (static_cast<int32_t>(r.host.Now() - t0) <= 660) {
    r.Frame();
    ++frames;
    ASSERT_EQ(r.Slot(), 1);
    ASSERT_EQ(g.MusicStartDelay, 71);
  }
  for (int i = 0; i < 71; ++i) {
    r.Frame();
    ASSERT_EQ(r.Slot(), 1) << i;
  }
  EXPECT_EQ(g.MusicStartDelay, 0);
  r.Frame();
  EXPECT_EQ(r.Slot(), 2);
  EXPECT_EQ(g.SongLoadPhase, 0);
  EXPECT_FLOAT_EQ(g.OggData->GetVolume(), 1.0f);
}

TEST(MusicControl, ArmMusicStartSkipsTheWaitAndTheGuard) {
  MusicRig r;
  Game& g = *r.g;
  PlayMusic(g, "song.ogg");
  g.OggPlayer->RenderNext();
  ArmMusicStart(g);
  EXPECT_EQ(g.SongLoadPhase, 0);
  const uint32_t before = r.host.Now();
  EXPECT_EQ(r.FramesUntilPlaying(), 72);
  EXPECT_EQ(r.host.Now() - before, 72u * 25) << "no 90 ms settle wait";
}

TEST(MusicControl, DelayTableComparesExactlyAndSameSongIgnoresCase) {
  MusicRig r;
  Game& g = *r.g;
  struct Case { const char* file; int32_t before; int32_t delay; } cases[] = {
      {"rhythmicpark.ogg", 0, 50}, {"never.ogg", 0, 43}, {"fun.ogg", 17, 17},
      {"NEVER.ogg", 0, 71},  // a table name in other letter case is another song
      {"other.ogg", 5, 71},
  };
  for (const auto& c : cases) {
    g.MusicStartDelay = c.before;
    PlayMusic(g, c.file);
    EXPECT_EQ(g.SongStatus, 1) << c.file;
    EXPECT_EQ(g.MusicStartDelay, c.delay) << c.file;
  }
  ArmMusicStart(g);
  ASSERT_GT(r.FramesUntilPlaying(), 0);
  g.MusicStartDelay = 3;
  PlayMusic(g, "OTHER.OGG");
  EXPECT_EQ(g.SongStatus, 2);
  EXPECT_EQ(g.CurrentSongFile, "other.ogg");
  EXPECT_EQ(g.MusicStartDelay, 3);
  EXPECT_EQ(r.Slot(), 2) << "the song keeps playing";
  EXPECT_TRUE(r.host.DialogLog.empty());
}

TEST(MusicControl, FinishedOrStoppedSongStartsAgainFromTheBeginning) {
  MusicRig r;
  Game& g = *r.g;
  PlayMusic(g, "song.ogg");
  ArmMusicStart(g);
  ASSERT_EQ(r.FramesUntilPlaying(), 72);
  // 0.5 s of song is under two 0.186 s renders... three renders end it; the next tick restarts.
  int frames = 0;
  while (g.OggData->State() != 1 && frames < 10) {
    g.OggPlayer->RenderNext();
    ++frames;
  }
  ASSERT_EQ(g.OggData->State(), 1);
  g.OggPlayer->RenderNext();
  MusicTick(g);
  EXPECT_EQ(g.OggData->State(), 2);

  g.OggPlayer->RenderNext();
  StopMusic(g);
  EXPECT_EQ(g.SongStatus, 0);
  EXPECT_EQ(g.OggData->State(), 1);
  EXPECT_NEAR(g.OggData->Position(), 0.0, 1e-6);
  g.OggPlayer->RenderNext();
  MusicTick(g);
  EXPECT_EQ(g.OggData->State(), 2);

  // The wipe's fade: to silence, then the track stops where it was.
  FadeMusicOut(g, 0.675);
  for (int i = 0; i < 6; ++i) g.OggPlayer->RenderNext();
  EXPECT_EQ(g.OggData->State(), 1);
}

TEST(MusicControl, MissingFolderFileOrUnreadableSongEmptiesTheSlot) {
  MusicRig r;
  Game& g = *r.g;
  struct Case { const char* file; bool removeFolder; const char* text; } cases[] = {
      {"nothere.ogg", false, "指定のoggファイルがplumetoggフォルダ内に存在しません。"},
      {"bad.ogg", false, "指定のoggファイルを読み込めませんでした。\\r\\n(bad.ogg)"},
      {"fpe.ogg", false, "指定のoggファイルを読み込めませんでした。\\r\\n(fpe.ogg)"},
      {"song.ogg", true, "plumetoggフォルダがディレクトリ内に存在しません。"},
  };
  for (const auto& c : cases) {
    PlayMusic(g, "other.ogg");
    ASSERT_EQ(g.OggPlayer->Slot(0), g.OggData.get());
    if (c.removeFolder) g.ProgramFolder = (r.dir / "elsewhere").string();
    r.host.DialogLog.clear();
    PlayMusic(g, c.file);
    EXPECT_EQ(g.OggPlayer->Slot(0), nullptr) << c.file;
    EXPECT_EQ(g.CurrentSongFile, "") << c.file;
    EXPECT_EQ(g.SongStatus, 0) << c.file;
    ASSERT_EQ(r.host.DialogLog.size(), 1u) << c.file;
    EXPECT_EQ(r.host.DialogLog[0], std::string(kGameTitle) + " | " + c.text + " | ok") << c.file;
    for (int f = 0; f < 40; ++f) r.Frame();  // the music steps and renders go on, silent
    g.ProgramFolder = r.dir.string();
  }
}

TEST(MusicControl, NothingHappensWhenMusicIsUnavailable) {
  MusicRig r;
  Game& g = *r.g;
  g.MusicState = 2;
  PlayMusic(g, "song.ogg");
  EXPECT_EQ(g.OggPlayer->Slot(0), nullptr);
  PlayMusic(g, "nothere.ogg");
  EXPECT_TRUE(r.host.DialogLog.empty());
  const uint32_t before = r.host.Now();
  g.SongLoadPhase = 1;
  MusicTick(g);
  EXPECT_EQ(r.host.Now(), before);
}

TEST(SoundSetup, WavePlayersLoadFromTheProgramFolderAndHonourTheFlags) {
  MusicRig r;
  Game& g = *r.g;
  fs::create_directory(r.dir / "plumetwave");
  const std::vector<uint8_t> wav = TinyWave();
  WriteBytes((r.dir / "plumetwave" / "ok1.wav").string(), wav);
  WriteBytes((r.dir / "plumetwave" / "key.wav").string(), wav);
  fs::current_path("/");  // the working folder does not matter
  CreateWavePlayers(g);
  LoadWavePlayers(g);
  for (int n = 1; n <= 20; ++n) {
    EXPECT_EQ(g.WavePlayer(n)->Name, "WavePlayer" + std::to_string(n));
    EXPECT_EQ(g.WavePlayer(n)->FileName(), kWavePlayerFiles[n - 1]);
    EXPECT_EQ(g.WavePlayer(n)->HasData(), n == 14 || n == 12) << n;
  }
  auto& out = static_cast<plat::SoftAudioDevice&>(r.host.Audio());
  PlaySound(g, 14, false);
  EXPECT_TRUE(out.WavePlaying());
  out.StopWave();
  g.SoundEnabled = 0;
  PlaySound(g, 14, false);
  EXPECT_FALSE(out.WavePlaying());
  g.SoundEnabled = 1;
  g.QuitRequested = 1;
  g.WavePlayer(12)->Play();  // the player itself asks the game's flags too
  EXPECT_FALSE(out.WavePlaying());
  g.QuitRequested = 0;
  PlaySound(g, 3, false);  // a player without its file is silent
  EXPECT_FALSE(out.WavePlaying());
  ShutSoundPlayers(g);
  EXPECT_FALSE(g.WavePlayer(14)->HasData());
}

// The quit sequence's effects, not only its flags: full screen left, the song stopped and
// rewound, every player's sound data freed, the window hidden and the program asked to end.
TEST(QuitSequence, LeavesFullScreenStopsTheMusicAndFreesTheSoundData) {
  MusicRig r;
  Game& g = *r.g;
  fs::create_directory(r.dir / "plumetwave");
  const std::vector<uint8_t> wav = TinyWave();
  for (const char* name : kWavePlayerFiles) WriteBytes((r.dir / "plumetwave" / name).string(), wav);
  CreateWavePlayers(g);
  LoadWavePlayers(g);
  PlayMusic(g, "song.ogg");
  ArmMusicStart(g);
  ASSERT_GT(r.FramesUntilPlaying(), 0);
  for (int i = 0; i < 4; ++i) r.Frame();
  ASSERT_GT(g.OggData->Position(), 0.0f);
  r.host.ShowWindow(true);
  EnterFullScreen(g);
  ASSERT_TRUE(r.host.FullScreenOn());

  QuitSequence(g);
  EXPECT_EQ(g.QuitRequested, 1);
  EXPECT_EQ(g.Paused, 1);
  EXPECT_FALSE(r.host.FullScreenOn());
  EXPECT_EQ(g.FullScreen, 0);
  EXPECT_FALSE(r.host.Topmost());
  EXPECT_EQ(g.OggData->State(), 1) << "open and stopped";
  EXPECT_EQ(g.OggData->Position(), 0.0f) << "rewound";
  for (int n = 1; n <= 20; ++n) EXPECT_FALSE(g.WavePlayer(n)->HasData()) << n;
  EXPECT_FALSE(r.host.Visible());
  EXPECT_TRUE(r.host.TerminateRequested());
}

TEST(SoundSetup, HeadlessOutputRendersTheSongInStepWithItsClock) {
  MusicRig r;
  Game& g = *r.g;
  auto& out = static_cast<plat::NullAudioDevice&>(r.host.Audio());
  out.StartCapture();
  PlayMusic(g, "song.ogg");
  ArmMusicStart(g);
  int frames = 0;
  for (; frames < 200 && g.OggData->State() < 2; ++frames) {
    MusicTick(g);
    out.AdvanceMs(25);
  }
  ASSERT_EQ(g.OggData->State(), 2) << "the renders report the loaded song, so it starts";
  for (int i = 0; i < 40; ++i) out.AdvanceMs(25);  // one second of output
  std::vector<int16_t> pcm = out.TakeCapture();
  EXPECT_EQ(pcm.size() % 2048, 0u);
  int loud = 0;
  for (int16_t v : pcm) loud += std::abs(v) > 8000;
  EXPECT_GT(loud, 1000) << "the song is in the captured output";
}

TEST(SoundSetup, DecoderThatFailsToLoadOrBindThrows) {
  struct Case { const char* name; bool textFile; const char* what; } cases[] = {
      {"lacks an export", false, "wuvorbis.dllの読込に失敗しました。"},
      {"not a library", true, "wuvorbis.dllが存在しません。\r\n("},
  };
  for (const auto& c : cases) {
    char tmpl[] = "/tmp/plumet-decoder-XXXXXX";
    fs::path dir = ::mkdtemp(tmpl);
    fs::create_directory(dir / "plumetogg");
    fs::path dll = dir / "plumetogg" / "wuvorbis.dll";
    if (c.textFile)
      WriteBytes(dll.string(), {'t', 'e', 'x', 't'});
    else
      fs::copy_file(NoCrosslapDecoderPath(), dll);
    plat::NullHost host;
    host.SetAudio(std::make_unique<plat::NullAudioDevice>());
    {
      Game g(host);
      g.ProgramFolder = dir.string();
      CreateSoundDevice(g);
      EXPECT_TRUE(DecoderPresent(g));
      try {
        CreateMusicObjects(g);
        ADD_FAILURE() << c.name;
      } catch (const std::exception& e) {
        EXPECT_EQ(std::string(e.what()).rfind(c.what, 0), 0u) << c.name << ": " << e.what();
      }
      EXPECT_EQ(g.WaveData, nullptr) << c.name;
      TearDownMusic(g);
      EXPECT_EQ(VorbisDLL, nullptr);
    }
    fs::remove_all(dir);
  }
}
