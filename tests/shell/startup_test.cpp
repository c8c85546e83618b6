// Start-up: the fatal exits with their exact messages, the single-instance guard, and the
// files a normal start reads and writes.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <filesystem>

#include "game/play/stage_data_file.h"
#include "platform/api/sys.h"
#include "platform/null/null_audio.h"
#include "tests/harness/harness.h"
#include "tests/sound/wave_fixtures.h"

using harness::Harness;
using harness::ProgramFolder;
using harness::RunEnd;

namespace {

const std::string kCaption = "ぷかぷか☆らんぷ";

std::string ErrorLine(const std::string& text) { return kCaption + " | " + text + " | ok"; }

void CutDecoder(const ProgramFolder& f, size_t bytes) {
  std::vector<uint8_t> lib = f.Read("plumetogg/wuvorbis.dll");
  lib.resize(bytes);
  f.Write("plumetogg/wuvorbis.dll", lib);
}

}  // namespace

TEST(StartUp, FatalExitsShowTheirMessageAndNeverEnterTheLoop) {
  struct Case {
    const char* name;
    void (*damage)(const ProgramFolder&);
    const char* message;
  } cases[] = {
      {"no stage data", [](const ProgramFolder& f) { f.Remove("plumet.map"); }, "マップデータが見つかりません。"},
      {"stage data is a folder",
       [](const ProgramFolder& f) {
         f.Remove("plumet.map");
         std::filesystem::create_directory(f.File("plumet.map"));
       },
       "マップデータの読みこみに失敗しました。"},
      {"stage data is a FIFO",
       [](const ProgramFolder& f) {
         f.Remove("plumet.map");
         ::mkfifo(f.File("plumet.map").c_str(), 0600);
       },
       "マップデータの読みこみに失敗しました。"},
      {"stage 1 cell (1,1) not empty",
       [](const ProgramFolder& f) {
         auto map = ProgramFolder::EmptyStageData();
         map[1 * 1120 + 1 * 56 + 1] = 1;  // row 1, column 1, stage 1
         f.Write("plumet.map", map);
       },
       "マップデータが壊れています。"},
      {"no decoder", [](const ProgramFolder& f) { f.Remove("plumetogg/wuvorbis.dll"); },
       "wuvorbis.dllがplumetoggフォルダ内に存在しません。"},
      {"decoder is not a library",
       [](const ProgramFolder& f) { f.WriteText("plumetogg/wuvorbis.dll", "not a library"); },
       "wuvorbis.dllの読込に失敗しました。"},
      {"decoder lacks an export", [](const ProgramFolder& f) { f.InstallDecoder(true); },
       "wuvorbis.dllの読込に失敗しました。"},
      // The loader died of SIGBUS mapping a library cut short.
      {"decoder cut to 2000 bytes", [](const ProgramFolder& f) { CutDecoder(f, 2000); },
       "wuvorbis.dllの読込に失敗しました。"},
      {"decoder cut to 10000 bytes", [](const ProgramFolder& f) { CutDecoder(f, 10000); },
       "wuvorbis.dllの読込に失敗しました。"},
  };
  for (const Case& c : cases) {
    ProgramFolder folder;
    c.damage(folder);
    Harness h(folder);
    EXPECT_EQ(h.Run(100), RunEnd::Fatal) << c.name;
    ASSERT_EQ(h.Dialogs().size(), 1u) << c.name;
    EXPECT_EQ(h.Dialogs()[0], ErrorLine(c.message)) << c.name;
    EXPECT_EQ(h.host.Frames(), 0) << c.name;
    EXPECT_FALSE(h.host.Visible()) << c.name;
    EXPECT_TRUE(h.host.TerminateRequested()) << c.name;
    EXPECT_EQ(h.g.QuitRequested, 1) << c.name;
  }
}

TEST(StartUp, SecondInstanceIsRefused) {
  ProgramFolder folder;
  Harness h(folder);
  h.host.SetInstanceHeldElsewhere(true);
  h.Run(100);
  ASSERT_EQ(h.Dialogs().size(), 1u);
  EXPECT_EQ(h.Dialogs()[0], ErrorLine("二重起動はできません。"));
  EXPECT_EQ(h.host.Frames(), 0);
}

TEST(StartUp, ShortStageDataLoadsWithTheRestZero) {
  ProgramFolder folder;
  std::vector<uint8_t> map(kStageDataCellBytes + 3, 0);
  map[0 * 1120 + 0 * 56 + 0] = 1;  // stage 0, cell (0, 0)
  map[kStageDataCellBytes + 0] = 2;  // background selector of stage 0
  map[kStageDataCellBytes + 2] = 1;  // background selector of stage 2
  folder.Write("plumet.map", map);
  Harness h(folder);
  EXPECT_EQ(h.Run(3), RunEnd::Frames);
  EXPECT_TRUE(h.Dialogs().empty());
  EXPECT_EQ(h.g.BuiltinStages[0], 1);
  EXPECT_EQ(h.g.StageStyleTable[ssBackground][0], 2);
  EXPECT_EQ(h.g.StageStyleTable[ssBackground][2], 1);
  EXPECT_EQ(h.g.StageStyleTable[ssBarrier][0], 0);
}

TEST(StartUp, StageDataIsTransposedAndSelectorsReordered) {
  ProgramFolder folder;
  auto map = ProgramFolder::EmptyStageData();
  map[14 * 1120 + 19 * 56 + 55] = 17;  // last cell of the 56th stage
  map[3 * 1120 + 2 * 56 + 7] = 9;      // stage 7, column 2, row 3
  // File order: background, block, ladder, ice, no-jump, key, balloon, barrier.
  for (int k = 0; k < 8; ++k) map[kStageDataCellBytes + k * 56 + 5] = static_cast<uint8_t>(10 + k);
  folder.Write("plumet.map", map);
  Harness h(folder);
  h.Run(1);
  EXPECT_EQ(h.g.BuiltinStages[55 * 300 + GridIndex(19, 14)], 17);
  EXPECT_EQ(h.g.BuiltinStages[7 * 300 + GridIndex(2, 3)], 9);
  const int want[8] = {10, 11, 12, 17, 13, 14, 15, 16};  // by StageStyle index
  for (int k = 0; k < 8; ++k) EXPECT_EQ(h.g.StageStyleTable[k][5], want[k]) << "selector " << k;
}

TEST(StartUp, NormalStartWritesFolderAndSettingsButNoRecord) {
  ProgramFolder folder;
  Harness h(folder);
  EXPECT_EQ(h.Run(2), RunEnd::Frames);
  EXPECT_TRUE(h.Dialogs().empty());
  EXPECT_EQ(h.g.SceneId, scOpening);
  EXPECT_EQ(h.host.Caption(), kCaption);
  EXPECT_EQ(h.host.ClientWidth(), 640);
  EXPECT_EQ(h.host.ClientHeight(), 480);
  EXPECT_TRUE(h.host.Visible());
  EXPECT_FALSE(folder.Exists("plumet.rec"));
  EXPECT_EQ(h.g.HighestStage, 3);
  EXPECT_EQ(h.g.RecordChecksum, 168);
  // The last-folder file: the program's folder, NUL-terminated, 151 bytes.
  auto str = folder.Read("plumet.str");
  ASSERT_EQ(str.size(), 151u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(str.data())), folder.Path());
  EXPECT_EQ(h.g.MapFolder, folder.Path());
  EXPECT_EQ(plat::IniReadInt(folder.File("plumet.ini"), "DWMAPI", "DisableComposition", -1), 1);
}

TEST(StartUp, SettingsValueIsKeptOnlyWhenZeroOrOne) {
  struct Case {
    const char* text;
    int stored, after;
  } cases[] = {
      {"[DWMAPI]\r\nDisableComposition=0\r\n", 0, 0},
      {"[DWMAPI]\r\nDisableComposition=1\r\n", 1, 1},
      {"[DWMAPI]\r\nDisableComposition=7\r\n", 1, 1},
      {"[DWMAPI]\r\nDisableComposition=banana\r\n", 1, 1},
      {"garbage without sections\n\x01\x02", 1, 1},
  };
  for (const Case& c : cases) {
    ProgramFolder folder;
    folder.WriteText("plumet.ini", c.text);
    Harness h(folder);
    h.Run(1);
    EXPECT_EQ(h.g.DisableComposition, c.after) << c.text;
    EXPECT_EQ(plat::IniReadInt(folder.File("plumet.ini"), "DWMAPI", "DisableComposition", -1), c.stored)
        << c.text;
  }
}

TEST(StartUp, LastFolderFileIsReadUpToItsFirstNul) {
  ProgramFolder folder;
  std::vector<uint8_t> buf(151, 'x');
  std::string dir = "/some/where";
  std::copy(dir.begin(), dir.end(), buf.begin());
  buf[dir.size()] = 0;
  folder.Write("plumet.str", buf);
  Harness h(folder);
  h.Run(1);
  EXPECT_EQ(h.g.MapFolder, dir);
}

TEST(StartUp, ProgramFolderTooLongForTheFolderFileIsNotStored) {
  // A path of 150 bytes or more does not fit the buffer with its NUL; the buffer stays empty.
  ProgramFolder folder;
  std::string deep = folder.Path();
  while (deep.size() < 200) deep += "/deeper-folder";
  std::filesystem::create_directories(deep + "/plumetogg");
  std::filesystem::copy_file(folder.File("plumetogg/wuvorbis.dll"), deep + "/plumetogg/wuvorbis.dll");
  std::filesystem::copy_file(folder.File("plumet.map"), deep + "/plumet.map");
  Harness h(folder);
  h.host.SetProgramPath(deep + "/plumet");
  h.Run(1);
  EXPECT_TRUE(h.Dialogs().empty());
  EXPECT_EQ(h.g.MapFolder, "");
  EXPECT_EQ(std::filesystem::file_size(deep + "/plumet.str"), 151u);
}

TEST(StartUp, FindsItsFilesFromAnotherWorkingFolder) {
  auto before = std::filesystem::current_path();
  ProgramFolder folder;
  ProgramFolder elsewhere(false);
  {
    std::filesystem::current_path(elsewhere.Path());
    Harness h(folder);
    EXPECT_EQ(h.Run(1), RunEnd::Frames);
    EXPECT_TRUE(h.Dialogs().empty());
    EXPECT_EQ(std::filesystem::current_path().string(), folder.Path());
  }
  std::filesystem::current_path(before);
}

TEST(StartUp, FolderSettingsAndSoundFilesThatAreNotRegularFilesNeitherBlockNorEndTheStart) {
  ProgramFolder folder;
  ASSERT_EQ(::mkfifo(folder.File("plumetwave/goal.wav").c_str(), 0600), 0);
  ASSERT_EQ(::mkfifo(folder.File("plumet.str").c_str(), 0600), 0);
  ASSERT_EQ(::mkfifo(folder.File("plumet.ini").c_str(), 0600), 0);
  Harness h(folder);
  EXPECT_EQ(h.Run(2), RunEnd::Frames);
  ASSERT_EQ(h.Dialogs().size(), 1u);
  EXPECT_NE(h.Dialogs()[0].find("フォルダ記録ファイル(plumet.str)を読みこめませんでした。"), std::string::npos);
  EXPECT_EQ(h.g.MapFolder, "");
  EXPECT_EQ(h.g.DisableComposition, 1);
  EXPECT_TRUE(std::filesystem::is_fifo(folder.File("plumet.str")));
  EXPECT_TRUE(std::filesystem::is_fifo(folder.File("plumet.ini")));
  EXPECT_TRUE(std::filesystem::is_fifo(folder.File("plumetwave/goal.wav")));
}

// A replaced effect in an encoding beyond 8/16-bit PCM is heard in the game: the opening's
// effect, as the output mixes it in the first second (the folder holds no songs).
TEST(StartUp, ReplacedEffectsInOtherEncodingsAreHeard) {
  using wavefix::Enc;
  struct Case {
    const char* name;
    wavefix::Spec layout;  // none: no opening effect at all
  } cases[] = {
      {"none", {}},
      {"IMA ADPCM 22050", {Enc::ImaAdpcm, 22050, 1}},
      {"MS ADPCM stereo", {Enc::MsAdpcm, 44100, 2}},
      {"mu-law 8000", {Enc::MuLaw, 8000, 1}},
      {"24-bit PCM 48000", {Enc::S24, 48000, 2}},
      {"EXTENSIBLE float", {Enc::F32, 44100, 2, true}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ProgramFolder folder;
    const bool none = std::string(c.name) == "none";
    if (!none)
      folder.Write("plumetwave/opening.wav",
                   wavefix::Wave(c.layout, c.layout.rate * 2, wavefix::Sine(660, c.layout.rate, 0.4)));
    Harness h(folder);
    auto& out = dynamic_cast<plat::NullAudioDevice&>(h.host.Audio());
    out.StartCapture();
    EXPECT_EQ(h.Run(40), RunEnd::Frames);
    const std::vector<int16_t> pcm = out.TakeCapture();
    ASSERT_GE(pcm.size(), 2u * 44100 * 9 / 10);
    double sum = 0;
    for (size_t i = 0; i < 2 * 44100 * 9 / 10; ++i) sum += double(pcm[i]) * pcm[i];
    const double rms = std::sqrt(sum / (2 * 44100 * 9 / 10)) / 32768.0;
    if (none)
      EXPECT_EQ(rms, 0);
    else
      EXPECT_NEAR(rms, 0.4 / std::sqrt(2.0), 0.01);  // the tone's own level
  }
}
