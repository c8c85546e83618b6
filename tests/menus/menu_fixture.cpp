// Fixtures of the menu tests.
#include "tests/menus/menu_fixture.h"

#include <cstdlib>
#include <filesystem>

#include "game/play/stage_format.h"
#include "platform/qtgfx/qt_gfx.h"
#include "tests/harness/golden.h"

namespace menutest {

Script& Script::Wait(int frames) { return Hold({}, frames); }
Script& Script::Hold(std::vector<int> keys, int frames) {
  steps_.push_back({frames, std::move(keys)});
  return *this;
}
Script& Script::Tap(std::vector<int> keys) { return Hold(std::move(keys), 1).Wait(1); }
int Script::Frames() const {
  int n = 0;
  for (const auto& s : steps_) n += s.frames;
  return n;
}

namespace {

std::array<uint8_t, kGridCells> Room(int s) {
  std::array<uint8_t, kGridCells> grid{};
  for (int x = 0; x < kGridCols; ++x)
    for (int y = 0; y < kGridRows; ++y)
      if (x == 0 || y == 0 || x == kGridCols - 1 || y == kGridRows - 1) grid[GridIndex(x, y)] = ccBlock;
  grid[GridIndex(2, 13)] = ccPlayerStart;
  grid[GridIndex(17, 13)] = ccGoal;
  for (int i = 0; i <= s % 10; ++i) grid[GridIndex(4 + i, 12)] = ccLadder;
  return grid;
}

}  // namespace

std::vector<uint8_t> SmallCourse() {
  TBuiltinStages stages{};
  TStyleTable styles{};
  for (int s = 0; s < kBuiltinStageCount; ++s) {
    const auto room = Room(s);
    std::copy(room.begin(), room.end(), stages.begin() + s * kGridCells);
  }
  return EncodeStageData(stages, styles);
}

std::vector<uint8_t> RecordFile(int highest, const std::vector<int>& cleared, int bonus) {
  TProgressRecord r;
  r.HighestStage = static_cast<uint8_t>(highest);
  for (int s : cleared) r.StageCleared[s] = 1;
  r.ClearedCount = static_cast<uint8_t>(cleared.size());
  r.BonusAreaOpen = static_cast<uint8_t>(bonus);
  std::vector<uint8_t> b(kProgressRecordFileSize, 0);
  b[0] = r.HighestStage;
  for (int i = 0; i < 56; ++i) b[1 + i] = r.StageCleared[i];
  b[57] = r.ClearedCount;
  b[58] = r.BonusAreaOpen;
  const uint32_t c = static_cast<uint32_t>(RecordChecksumOf(r));
  for (int i = 0; i < 4; ++i) b[59 + i] = static_cast<uint8_t>(c >> (8 * i));
  return b;
}

std::vector<uint8_t> UserStageFile(int theme, int cleared) {
  TUserStage u;
  const auto room = Room(7);
  for (int x = 0; x < kGridCols; ++x)
    for (int y = 0; y < kGridRows; ++y) u.Rows[RowsIndex(x, y)] = room[GridIndex(x, y)];
  u.Theme = static_cast<uint8_t>(theme);
  u.Cleared = cleared;
  return EncodeUserStage(u);
}

Bare::Bare() : oldCwd(std::filesystem::current_path().string()) {
  plat::qtgfx::EnsureGuiApplication();
  host.SetProgramPath(folder.File("plumet"));
  host.SetFrameBudget(20000);
  g.ProgramFolder = folder.Path();
  g.BackBuffer.Resize(640, 480);
  g.BoardLayer.Resize(640, 480);
  g.ScratchBitmap.Resize(100, 100);
  FormArt& a = g.Art;
  const std::pair<const char*, plat::Bitmap*> art[] = {
      {"ImgTitle", &a.ImgTitle},   {"ImgAnten", &a.ImgAnten},   {"ImgMap0", &a.ImgMap0},
      {"ImgMap1", &a.ImgMap1},     {"ImgChar", &a.ImgChar},     {"ImgChar1", &a.ImgChar1},
      {"ImgChar2", &a.ImgChar2},   {"ImgChar3", &a.ImgChar3},   {"ImgChar4", &a.ImgChar4},
      {"ImgChar5", &a.ImgChar5},   {"ImgChar6", &a.ImgChar6},   {"ImgChar7", &a.ImgChar7},
      {"ImgChar10", &a.ImgChar10}, {"ImgChar11", &a.ImgChar11}, {"ImgChar12", &a.ImgChar12},
      {"ImgChar13", &a.ImgChar13}, {"ImgChar14", &a.ImgChar14}, {"ImgChar15", &a.ImgChar15},
      {"ImgChar16", &a.ImgChar16}, {"ImgChar17", &a.ImgChar17}, {"ImgChar18", &a.ImgChar18},
      {"ImgChar20", &a.ImgChar20},
  };
  for (const auto& [name, bmp] : art) host.LoadImage(name, *bmp);
  DecodeStageData(SmallCourse(), g.BuiltinStages, g.StageStyleTable);
  g.OwnWindow = g.LastActiveWindow = host.FormWindowId();
  host.OnFrame = [this](int n) {
    notes.push_back({n, g.SceneId, g.StageIndex, g.BarCursor, g.TitleCursor, g.PauseCursor, g.FrameCounter,
                     g.KeyLatch});
  };
}

Bare::~Bare() {
  std::error_code ec;
  std::filesystem::current_path(oldCwd, ec);
}

bool Bare::RunFor(int frames, const std::function<void(Game&)>& loop) {
  host.StopAfterFrames(host.Frames() + frames);
  try {
    loop(g);
  } catch (const plat::StopRun&) {
    return false;
  }
  return true;
}

std::string Bare::MusicLog() const {
  std::string s;
  for (const std::string& m : g.MusicLog) s += (s.empty() ? "" : ", ") + m;
  return s;
}

::testing::AssertionResult MatchesGolden(const plat::Bitmap& frame, const std::string& name) {
  return harness::MatchesGolden(frame, "tests/menus/golden", name);
}

}  // namespace menutest
