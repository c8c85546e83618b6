// Built-in stage loading, user stage files and the text stage format.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "game/play/play.h"
#include "game/play/stage_format.h"
#include "game/play/stage_text.h"
#include "tests/harness/harness.h"
#include "tests/play/play_fixture.h"

using namespace playtest;
namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> ReadFile(const std::string& p) {
  std::ifstream f(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}
void WriteFile(const std::string& p, const std::vector<uint8_t>& b) {
  std::ofstream f(p, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

// A room without a goal whose start is away from (0, 0), where a goal-less stage keeps its goal.
const std::vector<std::string> kRoom = {"####", "#P.#", "####"};

TUserStage SampleStage() {
  TUserStage s;
  s.Rows = RowsFromText({"####", "#PG#", "####"});
  s.Style = {2, 3, 1, 2, 1, 1, 1, 2};
  s.Theme = 4;
  s.Facing = 1;
  return s;
}

}  // namespace

TEST(StageFiles, LoadStageSetsFacingAndThemeAndBothLayouts) {
  struct Case {
    uint8_t stage, facing, theme;
  } cases[] = {{12, 1, 3}, {13, 0, 3}, {0, 0, 0}, {54, 1, 5}, {20, 1, 4}};
  for (const auto& c : cases) {
    PlayBoard b(kRoom);
    for (int i = 0; i < kBuiltinStageCount * kGridCells; i++) b.g.BuiltinStages[i] = static_cast<uint8_t>(i % 18);
    b.g.StageStyleTable[ssBarrier][c.stage] = 2;
    b.g.StageIndex = c.stage;
    b.g.UserStageFileName = "x.krm";
    LoadStage(b.g);
    EXPECT_EQ(b.g.StartFacing, c.facing) << int(c.stage);
    EXPECT_EQ(b.g.StageTheme, c.theme) << int(c.stage);
    EXPECT_EQ(b.g.StageStyle[ssBarrier], 2);
    EXPECT_TRUE(b.g.UserStageFileName.empty());
    for (int x = 0; x < kGridCols; x++)
      for (int y = 0; y < kGridRows; y++) ASSERT_EQ(b.g.StageGrid[GridIndex(x, y)], b.g.StageGridRows[RowsIndex(x, y)]);
  }
}

TEST(StageFiles, UserStageBytesKeepTheFileOrderAndShortFilesKeepOldFields) {
  const TUserStage s = SampleStage();
  const std::vector<uint8_t> bytes = EncodeUserStage(s);
  ASSERT_EQ(bytes.size(), 314u);
  EXPECT_EQ(bytes[303], s.Style[ssIce]);  // ice before no-jump, key, balloon
  EXPECT_EQ(bytes[307], s.Style[ssBarrier]);  // barrier last
  EXPECT_EQ(bytes[308], 4);
  EXPECT_EQ(bytes[309], 1);
  TUserStage back;
  DecodeUserStage(bytes, back);
  EXPECT_EQ(back.Rows, s.Rows);
  EXPECT_EQ(back.Style, s.Style);

  TUserStage old;
  old.Style.fill(9);
  old.Theme = 5;
  old.Cleared = 1;
  DecodeUserStage(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 300), old);
  EXPECT_EQ(old.Style[0], 9);
  EXPECT_EQ(old.Theme, 5);
  TUserStage of310;
  of310.Cleared = 0;
  DecodeUserStage(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 310), of310);
  EXPECT_EQ(of310.Facing, 1);
  EXPECT_EQ(of310.Cleared, 0);
}

TEST(StageFiles, StageDataLayoutRoundTripsWithStageFastest) {
  TBuiltinStages stages{};
  TStyleTable styles{};
  stages[5 * kGridCells + GridIndex(3, 2)] = ccGoal;
  styles[ssBarrier][7] = 2;
  const std::vector<uint8_t> bytes = EncodeStageData(stages, styles);
  ASSERT_EQ(bytes.size(), 17248u);
  EXPECT_EQ(bytes[2 * 1120 + 3 * 56 + 5], ccGoal);
  EXPECT_EQ(bytes[17192 + 7], 2);
  TBuiltinStages s2{};
  TStyleTable st2{};
  DecodeStageData(bytes, s2, st2);
  EXPECT_EQ(s2, stages);
  EXPECT_EQ(st2, styles);
}

TEST(StageFiles, SaveUserStageWritesTheStageAsLoadedWithTheClearedMark) {
  harness::ProgramFolder folder;
  PlayBoard b(kRoom);
  const std::string file = folder.File("mine.krm");
  WriteFile(file, EncodeUserStage(SampleStage()));
  ASSERT_TRUE(ReadUserStageFile(b.g, file));
  b.g.UserStageFileName = file;
  UserStageToGrid(b.g);
  b.g.StageGrid[GridIndex(1, 1)] = ccEmpty;  // play changed the grid
  SaveUserStage(b.g);
  const std::vector<uint8_t> out = ReadFile(file);
  ASSERT_EQ(out.size(), 314u);
  EXPECT_EQ(out[310], 1);
  EXPECT_EQ(out[311], 0);
  EXPECT_EQ(out[313], 0);
  EXPECT_EQ(out[RowsIndex(1, 1)], ccPlayerStart);
  EXPECT_EQ(b.g.UserStageCleared, 1);
}

TEST(StageFiles, AFailedSaveShowsAnErrorAndLeavesTheFileWhole) {
  harness::ProgramFolder folder;
  const fs::path dir = fs::path(folder.Path()) / "ro";
  fs::create_directories(dir);
  const std::string file = (dir / "mine.krm").string();
  const std::vector<uint8_t> original = EncodeUserStage(SampleStage());
  WriteFile(file, original);
  fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
  PlayBoard b(kRoom);
  b.g.UserStageFileName = file;
  SaveUserStage(b.g);
  fs::permissions(dir, fs::perms::owner_all);
  if (ReadFile(file) != original) GTEST_SKIP() << "the folder could be written (running as root?)";
  ASSERT_EQ(b.host.DialogLog.size(), 1u);
  EXPECT_NE(b.host.DialogLog[0].find("クリア"), std::string::npos);
}

TEST(StageFiles, WithNoUserStageOpenSaveDoesNothing) {
  PlayBoard b(kRoom);
  b.g.UserStageCleared = 0;
  SaveUserStage(b.g);
  EXPECT_EQ(b.g.UserStageCleared, 0);
  EXPECT_TRUE(b.host.DialogLog.empty());
}

TEST(StageFiles, OpenUserStageReadsTheChosenFileAndRemembersItsFolder) {
  harness::ProgramFolder folder;
  const fs::path dir = fs::path(folder.Path()) / "maps";
  fs::create_directories(dir);
  const std::string file = (dir / "a.krm").string();
  WriteFile(file, EncodeUserStage(SampleStage()));
  PlayBoard b(kRoom);
  b.g.ProgramFolder = folder.Path();
  b.host.OpenAnswers.push_back(file);
  OpenUserStage(b.g);
  EXPECT_EQ(b.g.UserStageFileName, file);
  EXPECT_EQ(b.g.StageTheme, 4);
  EXPECT_EQ(b.g.StageGridRows[RowsIndex(1, 1)], ccPlayerStart);
  EXPECT_EQ(b.g.MapFolder, dir.string());
  const std::vector<uint8_t> str = folder.Read("plumet.str");
  ASSERT_EQ(str.size(), 151u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(str.data())), dir.string());
  ASSERT_EQ(b.host.FileDialogLog.size(), 1u);
  EXPECT_EQ(b.host.FileDialogLog[0].filter, "からくりマップ(*.krm)|*.krm");
}

TEST(StageText, ParsesAndFormatsTheSameStage) {
  TUserStage s = SampleStage();
  const std::string text = FormatStageText(s);
  TUserStage back;
  std::string error;
  ASSERT_TRUE(ParseStageText(text, back, error)) << error;
  EXPECT_EQ(back.Rows, s.Rows);
  EXPECT_EQ(back.Style, s.Style);
  EXPECT_EQ(back.Theme, s.Theme);
  EXPECT_EQ(back.Facing, s.Facing);
  EXPECT_FALSE(ParseStageText("grid\n#####\n", back, error));
  EXPECT_FALSE(ParseStageText("colour 3\n", back, error));
}

TEST(StageFiles, ASaveThatCannotReplaceTheFileShowsAnErrorAndTheGameGoesOn) {
  harness::ProgramFolder folder;
  const fs::path dir = fs::path(folder.Path()) / "a.krm";  // a folder where the file should be
  fs::create_directories(dir / "inside");
  PlayBoard b(kRoom);
  b.g.UserStageFileName = dir.string();
  SaveUserStage(b.g);
  ASSERT_EQ(b.host.DialogLog.size(), 1u);
  EXPECT_NE(b.host.DialogLog[0].find("クリア"), std::string::npos);
  EXPECT_TRUE(fs::is_directory(dir / "inside"));
  b.Frames(2);  // play goes on
}

TEST(StageFiles, HostileUserStageFilesAreReadOnlyAsFarAsTheFormatGoes) {
  harness::ProgramFolder folder;
  TUserStage stage = SampleStage();
  stage.Cleared = 1;
  const std::string sparse = folder.File("huge.krm");
  WriteFile(sparse, EncodeUserStage(stage));
  fs::resize_file(sparse, 3ull << 30);  // 3 GB, nearly all a hole
  const std::string fifo = folder.File("fifo.krm");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string zero = folder.File("zero.krm");
  fs::create_symlink("/dev/zero", zero);
  struct Case {
    std::string file;
    bool read;
  } cases[] = {{sparse, true}, {fifo, false}, {zero, false}};
  for (const Case& c : cases) {
    PlayBoard b(kRoom);
    b.g.StageTheme = 2;
    EXPECT_EQ(ReadUserStageFile(b.g, c.file), c.read) << c.file;
    EXPECT_EQ(b.g.StageTheme, c.read ? 4 : 2) << c.file;
    EXPECT_EQ(b.g.UserStageCleared, c.read ? 1 : 0) << c.file;
  }
  // Chosen in the dialog: refused as any unreadable file is, silently, and no folder is kept.
  for (const std::string& file : {fifo, zero}) {
    PlayBoard b(kRoom);
    b.g.ProgramFolder = folder.Path();
    b.host.OpenAnswers.push_back(file);
    OpenUserStage(b.g);
    EXPECT_EQ(b.g.UserStageFileName, file);
    EXPECT_EQ(b.g.UserStageCleared, 0);
    EXPECT_TRUE(b.host.DialogLog.empty());
    EXPECT_FALSE(folder.Exists("plumet.str"));
  }
}
