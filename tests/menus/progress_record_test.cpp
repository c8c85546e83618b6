// The progress record: checksum, file layout, area opening, the caps, and damaged files.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "game/menus/progress_record.h"
#include "tests/harness/harness.h"

using harness::Harness;
using harness::ProgramFolder;

namespace {

const std::string kDamaged = "ぷかぷか☆らんぷ | 記録データが壊れています。\\rクリア記録は抹消されました。 | ok";

// A game whose program folder is `folder`, with the record loaded from it.
struct Fixture {
  ProgramFolder folder;
  plat::NullHost host;
  Game g{host};
  Fixture() {
    host.SetProgramPath(folder.File("plumet"));
    g.ProgramFolder = folder.Path();
  }
  void Load() { LoadProgressRecord(g); }
  // Clears built-in stage `s` as the progress step does (StageIndex already advanced).
  void Clear(int s) {
    g.StageIndex = static_cast<uint8_t>(s + 1);
    RecordStageClear(g);
  }
  std::vector<uint8_t> File() { return folder.Read("plumet.rec"); }
};

std::vector<uint8_t> RecordBytes(const TProgressRecord& r) {
  std::vector<uint8_t> b(63, 0);
  b[0] = r.HighestStage;
  for (int i = 0; i < 56; ++i) b[1 + i] = r.StageCleared[i];
  b[57] = r.ClearedCount;
  b[58] = r.BonusAreaOpen;
  uint32_t c = static_cast<uint32_t>(RecordChecksumOf(r));
  for (int i = 0; i < 4; ++i) b[59 + i] = static_cast<uint8_t>(c >> (8 * i));
  return b;
}

}  // namespace

TEST(ProgressRecord, FirstStartUsesTheDefaultAndWritesNothing) {
  Fixture f;
  f.Load();
  EXPECT_EQ(f.g.HighestStage, 3);
  EXPECT_EQ(f.g.RecordChecksum, 168);
  EXPECT_FALSE(f.folder.Exists("plumet.rec"));
  EXPECT_TRUE(f.host.DialogLog.empty());
}

TEST(ProgressRecord, ClearingStageZeroWritesTheExactFile) {
  Fixture f;
  f.Load();
  f.Clear(0);
  std::vector<uint8_t> want(63, 0);
  want[0] = 0x07;
  want[1] = 0x01;
  want[57] = 0x01;
  want[59] = 0xC0;
  want[60] = 0x01;
  EXPECT_EQ(f.File(), want);
  EXPECT_EQ(f.g.RecordChecksum, 448);
  EXPECT_EQ(f.g.ClearedCount, 1);
}

TEST(ProgressRecord, ClearingAMarkedStageChangesAndWritesNothing) {
  Fixture f;
  f.Load();
  f.Clear(2);
  f.folder.Remove("plumet.rec");
  f.Clear(2);
  EXPECT_FALSE(f.folder.Exists("plumet.rec"));
  EXPECT_EQ(f.g.ClearedCount, 1);
}

TEST(ProgressRecord, AreasOpenInTurnAndTheCapsHold) {
  struct Case {
    const char* name;
    uint8_t highest, bonus;
    std::vector<int> marked;  // already cleared
    int clear;
    uint8_t want;
  } cases[] = {
      {"newest area opens the next", 7, 0, {0}, 5, 11},
      {"older area opens nothing", 11, 0, {0, 4}, 1, 11},
      {"one clear opens several areas in a row", 3, 0, {4, 8}, 0, 15},
      {"final area via the cap", 47, 0, {}, 45, 49},
      {"bonus open caps at 54", 47, 1, {}, 45, 54},
      {"never above 49 while closed", 49, 0, {}, 48, 49},
  };
  for (const Case& c : cases) {
    Fixture f;
    f.Load();
    f.g.HighestStage = c.highest;
    f.g.BonusAreaOpen = c.bonus;
    for (int s : c.marked) {
      f.g.StageCleared[s] = 1;
      ++f.g.ClearedCount;
    }
    f.Clear(c.clear);
    EXPECT_EQ(f.g.HighestStage, c.want) << c.name;
    EXPECT_EQ(f.g.RecordChecksum, RecordChecksumOf(f.g)) << c.name;
  }
}

TEST(ProgressRecord, AllClearNeedsStagesZeroToFortyNine) {
  for (int missing : {-1, 0, 49, 50}) {
    Fixture f;
    f.Load();
    for (int s = 0; s <= 54; ++s) f.g.StageCleared[s] = s == missing ? 0 : 1;
    RecordAllClear(f.g);
    bool opens = missing < 0 || missing >= 50;
    EXPECT_EQ(f.g.BonusAreaOpen, opens ? 1 : 0) << missing;
    EXPECT_EQ(f.g.HighestStage, opens ? 54 : 3) << missing;
    EXPECT_EQ(f.folder.Exists("plumet.rec"), opens) << missing;
  }
}

// Values the game never writes but keeps from a record that adds up take the steps as they are.
TEST(ProgressRecord, KeptOddValuesGoThroughTheSteps) {
  {
    Fixture f;  // a mark of 2 keeps its value, and clearing it still opens the next area
    f.Load();
    f.g.StageCleared[1] = 2;
    f.Clear(1);
    EXPECT_EQ(f.g.StageCleared[1], 2);
    EXPECT_EQ(f.g.ClearedCount, 0);
    EXPECT_EQ(f.g.HighestStage, 3) << "a mark of 2 opens nothing by itself";
    f.Clear(2);
    EXPECT_EQ(f.g.HighestStage, 7);
    EXPECT_EQ(f.File(), RecordBytes(f.g));
  }
  {
    Fixture f;  // a bonus flag of 2 is not "open": the all-clear opens it without the stage test
    f.Load();
    f.g.BonusAreaOpen = 2;
    OpenBonusArea(f.g);
    EXPECT_EQ(f.g.HighestStage, 3) << "only a closed area is opened by the chord";
    EXPECT_FALSE(f.folder.Exists("plumet.rec"));
    RecordAllClear(f.g);
    EXPECT_EQ(f.g.BonusAreaOpen, 1);
    EXPECT_EQ(f.g.HighestStage, 54);
    EXPECT_EQ(f.File(), RecordBytes(f.g));
  }
}

TEST(ProgressRecord, OpenBonusAreaKeepsTheCounts) {
  Fixture f;
  f.Load();
  f.Clear(0);
  OpenBonusArea(f.g);
  EXPECT_EQ(f.g.HighestStage, 54);
  EXPECT_EQ(f.g.BonusAreaOpen, 1);
  EXPECT_EQ(f.g.ClearedCount, 1);
  EXPECT_EQ(f.File(), RecordBytes(f.g));
}

TEST(ProgressRecord, DamagedFilesAreReportedResetAndRewritten) {
  TProgressRecord good;
  good.HighestStage = 11;
  good.StageCleared[0] = good.StageCleared[5] = 1;
  good.ClearedCount = 2;
  auto goodBytes = RecordBytes(good);
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    bool damaged;
    uint8_t highest;
  } cases[] = {
      {"intact", goodBytes, false, 11},
      {"one byte changed", [&] { auto b = goodBytes; b[5] ^= 1; return b; }(), true, 3},
      {"cut short", std::vector<uint8_t>(goodBytes.begin(), goodBytes.begin() + 40), true, 3},
      {"empty file holds zeros everywhere", {}, false, 0},
      {"longer than 63 bytes: the rest is ignored",
       [&] { auto b = goodBytes; b.push_back(9); return b; }(), false, 11},
  };
  for (const Case& c : cases) {
    Fixture f;
    f.folder.Write("plumet.rec", c.bytes);
    f.Load();
    EXPECT_EQ(f.g.HighestStage, c.highest) << c.name;
    if (c.damaged) {
      ASSERT_EQ(f.host.DialogLog.size(), 1u) << c.name;
      EXPECT_EQ(f.host.DialogLog[0], kDamaged) << c.name;
      TProgressRecord def;
      EXPECT_EQ(f.File(), RecordBytes(def)) << c.name;
    } else {
      EXPECT_TRUE(f.host.DialogLog.empty()) << c.name;
    }
  }
}

TEST(ProgressRecord, ASaveThatCannotBeWrittenKeepsTheOldFileAndTheGameGoesOn) {
  Fixture f;
  f.Load();
  f.Clear(0);
  // A folder in the record's place makes the rename over it fail, even for root.
  f.folder.Remove("plumet.rec");
  std::filesystem::create_directories(f.folder.File("plumet.rec/keep"));
  f.Clear(4);
  ASSERT_EQ(f.host.DialogLog.size(), 1u);
  EXPECT_NE(f.host.DialogLog[0].find("記録データを保存できませんでした。"), std::string::npos);
  EXPECT_EQ(f.g.StageCleared[4], 1) << "the record in memory is kept";
  EXPECT_TRUE(std::filesystem::is_directory(f.folder.File("plumet.rec")));
}

TEST(ProgressRecord, ARecordThatAddsUpIsKeptUnlessItLeavesTheCourse) {
  struct Case {
    const char* name;
    void (*set)(TProgressRecord&);
    bool damaged;
  } cases[] = {
      // Damaged: the stage picker would offer stages past the course.
      {"highest 255", [](TProgressRecord& r) { r.HighestStage = 255; }, true},
      {"highest 55 with the bonus area closed", [](TProgressRecord& r) { r.HighestStage = 55; }, true},
      {"highest 55 even with the bonus area open",
       [](TProgressRecord& r) { r.HighestStage = 55, r.BonusAreaOpen = 1; }, true},
      // Kept: the player's record, however it came to hold these values.
      {"default", [](TProgressRecord&) {}, false},
      {"highest 0", [](TProgressRecord& r) { r.HighestStage = 0; }, false},
      {"highest off the area steps", [](TProgressRecord& r) { r.HighestStage = 5; }, false},
      {"highest 49 closed", [](TProgressRecord& r) { r.HighestStage = 49; }, false},
      {"highest 50 with the bonus area closed", [](TProgressRecord& r) { r.HighestStage = 50; }, false},
      {"highest 54 with the bonus area closed", [](TProgressRecord& r) { r.HighestStage = 54; }, false},
      {"highest 54 open", [](TProgressRecord& r) { r.HighestStage = 54, r.BonusAreaOpen = 1; }, false},
      {"a mark other than 0 or 1", [](TProgressRecord& r) { r.StageCleared[7] = 2, r.ClearedCount = 1; }, false},
      {"a mark of 255", [](TProgressRecord& r) { r.StageCleared[0] = 255; }, false},
      {"index 55 marked", [](TProgressRecord& r) { r.StageCleared[55] = 1, r.ClearedCount = 1; }, false},
      {"count one more than the marks",
       [](TProgressRecord& r) { r.StageCleared[0] = 1, r.ClearedCount = 2, r.HighestStage = 7; }, false},
      {"count 55 with no marks", [](TProgressRecord& r) { r.ClearedCount = 55; }, false},
      {"count 255", [](TProgressRecord& r) { r.ClearedCount = 255; }, false},
      {"bonus flag 2", [](TProgressRecord& r) { r.BonusAreaOpen = 2, r.HighestStage = 54; }, false},
      {"bonus flag 255 with highest 3", [](TProgressRecord& r) { r.BonusAreaOpen = 255; }, false},
      {"all 55 stages", [](TProgressRecord& r) {
         r.HighestStage = 54, r.BonusAreaOpen = 1, r.ClearedCount = 55;
         for (int s = 0; s < 55; ++s) r.StageCleared[s] = 1;
       }, false},
  };
  for (const Case& c : cases) {
    TProgressRecord r;
    c.set(r);
    Fixture f;
    f.folder.Write("plumet.rec", RecordBytes(r));
    f.Load();
    EXPECT_EQ(RecordFieldsInRange(r), !c.damaged) << c.name;
    if (c.damaged) {
      ASSERT_EQ(f.host.DialogLog.size(), 1u) << c.name;
      EXPECT_EQ(f.host.DialogLog[0], kDamaged) << c.name;
      EXPECT_EQ(f.g.HighestStage, 3) << c.name;
      EXPECT_EQ(f.File(), RecordBytes(TProgressRecord{})) << c.name;
    } else {
      EXPECT_TRUE(f.host.DialogLog.empty()) << c.name;
      EXPECT_EQ(f.g.HighestStage, r.HighestStage) << c.name;
      EXPECT_EQ(f.File(), RecordBytes(r)) << c.name << ": the file is not rewritten";
    }
  }
}

TEST(ProgressRecord, ARecordThatIsNotARegularFileIsReportedAndLeftAlone) {
  struct Case {
    const char* name;
    void (*make)(const std::string&);
  } cases[] = {
      {"FIFO", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }},
      {"link to /dev/zero", [](const std::string& p) { std::filesystem::create_symlink("/dev/zero", p); }},
  };
  for (const Case& c : cases) {
    Fixture f;
    const std::string path = f.folder.File("plumet.rec");
    c.make(path);
    const auto type = std::filesystem::symlink_status(path).type();
    f.Load();  // a blocking open or an endless read would hang here
    ASSERT_EQ(f.host.DialogLog.size(), 1u) << c.name;
    EXPECT_NE(f.host.DialogLog[0].find("記録データを読みこめませんでした。"), std::string::npos) << c.name;
    EXPECT_EQ(f.g.HighestStage, 3) << c.name;
    EXPECT_EQ(std::filesystem::symlink_status(path).type(), type) << c.name;
  }
}
