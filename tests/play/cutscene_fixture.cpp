// The cut-scene test fixture.
#include <gtest/gtest.h>

#include "tests/play/cutscene_fixture.h"

#include <cstdlib>
#include <filesystem>

#include "game/menus/stage_select.h"
#include "game/play/play.h"
#include "game/play/stage_text.h"
#include "game/scenes.h"
#include "game/shell/frame.h"
#include "game/shell/main_loop.h"
#include "game/shell/sound_setup.h"
#include "platform/qtgfx/qt_gfx.h"
#include "tests/harness/golden.h"
#include "tests/sound/ogg_fixture.h"

namespace cuttest {

void PausingHost::ProcessMessages() {
  NullHost::ProcessMessages();
  if (pauseLeft_ > 0) {
    PausedPasses++;
    if (--pauseLeft_ == 0) SetActive(true);
  }
}

void PausingHost::SleepMs(uint32_t ms) {
  if (OnSleep) OnSleep(ms);
  NullHost::SleepMs(ms);
}

BoardMusic::BoardMusic(SceneBoard& b) : b_(b), cwd_(std::filesystem::current_path().string()) {
  const std::filesystem::path dir = std::filesystem::path(b.folder.Path()) / "plumetogg";
  std::filesystem::create_directories(dir);
  std::filesystem::copy_file(DecoderPath(), dir / "wuvorbis.dll");
  const std::vector<uint8_t> song = SineOgg(44100, 2, 0.5);
  std::vector<std::string> names = {"fun.ogg", "never.ogg", "rhythmicpark.ogg", "mata02.ogg"};
  for (int theme = 0; theme < 6; theme++) names.push_back(AreaMusic(theme));
  for (const std::string& name : names) WriteBytes((dir / name).string(), song);
  CreateSoundDevice(b.g);
  CreateMusicObjects(b.g);
}

BoardMusic::~BoardMusic() {
  TearDownMusic(b_.g);
  std::error_code ec;
  std::filesystem::current_path(cwd_, ec);
}

void LoadSyntheticArt(Game& g) {
  struct Sheet {
    plat::Bitmap* bmp;
    int w, h;
  };
  FormArt& a = g.Art;
  const Sheet sheets[] = {
      {&a.ImgMap0, 352, 32},    {&a.ImgMap1, 160, 64},    {&a.ImgChar, 256, 384},   {&a.ImgChar1, 160, 96},
      {&a.ImgChar2, 128, 80},   {&a.ImgChar3, 128, 288},  {&a.ImgChar4, 192, 96},   {&a.ImgChar5, 256, 64},
      {&a.ImgChar6, 288, 32},   {&a.ImgChar8, 128, 196},  {&a.ImgChar9, 75, 30},    {&a.ImgChar10, 160, 288},
      {&a.ImgChar14, 256, 512}, {&a.ImgChar15, 160, 256}, {&a.ImgChar19, 379, 35},  {&a.ImgChar20, 256, 248},
  };
  uint32_t id = 1;
  for (const Sheet& s : sheets) {
    s.bmp->Resize(s.w, s.h, 0);
    for (int y = 0; y < s.h; y++)
      for (int x = 0; x < s.w; x++) {
        // Cells of 8 pixels in colours that differ from cell to cell and sheet to sheet; the
        // left half of every 4-pixel run is transparent in a mask.
        const uint32_t v = (id * 97 + (x / 8) * 31 + (y / 8) * 57) & 0xFF;
        s.bmp->Set(x, y, (x % 4 < 2) ? 0xFFFFFFu : (v | (255 - v) << 8 | ((v * 3) & 0xFF) << 16));
      }
    id++;
  }
  a.ImgAnten.Resize(256, 32, 0);
  for (int k = 0; k < 8; k++)
    for (int y = 0; y < 32; y++)
      for (int x = 0; x < 32; x++) a.ImgAnten.Set(32 * k + x, y, k == 7 ? 0 : 0xFFFFFFu >> (k / 2 + 1) | 0x404040u);
}

void LoadRealArt(Game& g) {
  FormArt& a = g.Art;
  const std::pair<const char*, plat::Bitmap*> sheets[] = {
      {"ImgAnten", &a.ImgAnten},   {"ImgMap0", &a.ImgMap0},     {"ImgMap1", &a.ImgMap1},
      {"ImgChar", &a.ImgChar},     {"ImgChar1", &a.ImgChar1},   {"ImgChar2", &a.ImgChar2},
      {"ImgChar3", &a.ImgChar3},   {"ImgChar4", &a.ImgChar4},   {"ImgChar5", &a.ImgChar5},
      {"ImgChar6", &a.ImgChar6},   {"ImgChar8", &a.ImgChar8},   {"ImgChar9", &a.ImgChar9},
      {"ImgChar10", &a.ImgChar10}, {"ImgChar14", &a.ImgChar14}, {"ImgChar15", &a.ImgChar15},
      {"ImgChar19", &a.ImgChar19}, {"ImgChar20", &a.ImgChar20},
  };
  for (const auto& [name, bmp] : sheets) g.host.LoadImage(name, *bmp);
}

SceneBoard::SceneBoard(const std::vector<std::string>& rows, uint8_t facing) {
  plat::qtgfx::EnsureGuiApplication();
  host.SetFrameBudget(200000);
  host.SetProgramPath(folder.Path() + "/plumet");
  g.ProgramFolder = folder.Path();
  g.OwnWindow = g.LastActiveWindow = host.FormWindowId();
  g.BackBuffer.Resize(640, 480, 0);
  g.BoardLayer.Resize(640, 480, 0);
  g.ScratchBitmap.Resize(100, 100, 0);
  LoadSyntheticArt(g);
  if (std::getenv("PLUMET_REAL_ART")) LoadRealArt(g);  // to look at the scenes by eye
  host.OnFrame = [this](int n) {
    NoteSounds(n - startFrames_);
    if (OnFrame) OnFrame(n - startFrames_);
  };
  g.StageGridRows = RowsFromText(rows);
  UserStageToGrid(g);
  g.StartFacing = facing;
  g.StageIndex = 0;
  ResetPlayState(g);
  SetupPlayBoard(g);
  EndStageIntro(g);
  startFrames_ = host.Frames();
  soundsNoted_ = g.SoundRequests;
}

void SceneBoard::NoteSounds(int frame) {
  for (int p = 1; p <= 20; p++)
    for (; soundsNoted_[p] < g.SoundRequests[p]; soundsNoted_[p]++) soundLog_.emplace_back(p, frame);
}

std::vector<int> SceneBoard::SoundFrames(int player) {
  NoteSounds(Presented() + 1);
  std::vector<int> frames;
  for (const auto& [p, frame] : soundLog_)
    if (p == player) frames.push_back(frame);
  return frames;
}

void SceneBoard::FillCourse(const std::vector<std::string>& rows) {
  const auto r = RowsFromText(rows);
  for (int s = 0; s < kBuiltinStageCount; s++)
    for (int x = 0; x < kGridCols; x++)
      for (int y = 0; y < kGridRows; y++) g.BuiltinStages[s * kGridCells + GridIndex(x, y)] = r[RowsIndex(x, y)];
}

void SceneBoard::PlayFrame() {
  BeginFrame(g);
  if (g.Paused == 0) RunSceneFrame(g);
  FullFrameTail(g);
}

::testing::AssertionResult MatchesGolden(const plat::Bitmap& frame, const std::string& name) {
  return harness::MatchesGolden(frame, "tests/play/golden", name);
}

}  // namespace cuttest
