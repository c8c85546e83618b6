// The progress record and its file "plumet.rec" (63 bytes, checksum last).
#include "game/menus/progress_record.h"

#include <cerrno>
#include <vector>

#include "game/game.h"
#include "game/shell/program.h"
#include "platform/api/sys.h"

namespace {

constexpr const char* kRecordFile = "plumet.rec";
constexpr const char* kRecordDamaged = "記録データが壊れています。\rクリア記録は抹消されました。";

void SetDefaultRecord(TProgressRecord& r) {
  r.HighestStage = 3;
  r.StageCleared.fill(0);
  r.ClearedCount = 0;
  r.BonusAreaOpen = 0;
}

}  // namespace

int32_t RecordChecksumOf(const TProgressRecord& r) {
  uint32_t sum = 0;
  for (uint32_t i = 0; i < 56; ++i)
    sum += r.HighestStage + r.ClearedCount + 3u * i * r.StageCleared[i] + r.BonusAreaOpen;
  return static_cast<int32_t>(sum);
}

bool RecordFieldsInRange(const TProgressRecord& r) {
  // Only a stage past the bonus area would take the picker outside the course; odd marks,
  // counts or flags are the player's own record and are kept.
  return r.HighestStage <= kLastBonusStage;
}

void ComputeRecordChecksum(Game& g) { g.RecordChecksum = RecordChecksumOf(g); }

void LoadProgressRecord(Game& g) {
  EnterProgramFolder(g);
  TProgressRecord& r = g;
  // Fields a short file does not reach keep the value they had: zero at start-up.
  r.HighestStage = 0;
  r.StageCleared.fill(0);
  r.ClearedCount = 0;
  r.BonusAreaOpen = 0;
  r.RecordChecksum = 0;

  std::string path = ProgramFile(g, kRecordFile);
  std::vector<uint8_t> bytes;
  // Only the record's 63 bytes, and only from a regular file, so a FIFO or a device under its
  // name cannot block or flood the start.
  const int err = plat::ReadFileHead(path, kProgressRecordFileSize, bytes);
  if (err == ENOENT) {
    SetDefaultRecord(r);
    ComputeRecordChecksum(g);
  } else if (err != 0) {
    // An unreadable record is left alone on disk; this run starts from the default.
    ShowError(g, "記録データを読みこめませんでした。\r" + plat::ErrorText(err));
    SetDefaultRecord(r);
    ComputeRecordChecksum(g);
    return;
  } else {
    const size_t got = bytes.size();
    if (got >= 1) r.HighestStage = bytes[0];
    for (size_t i = 0; i < 56; ++i)
      if (got >= 2 + i) r.StageCleared[i] = bytes[1 + i];
    if (got >= 58) r.ClearedCount = bytes[57];
    if (got >= 59) r.BonusAreaOpen = bytes[58];
    // A read cut short fills only the first bytes of its field.
    uint32_t sum = 0;
    for (size_t i = 0; i < 4; ++i)
      if (got >= 60 + i) sum |= static_cast<uint32_t>(bytes[59 + i]) << (8 * i);
    if (got >= 60) r.RecordChecksum = static_cast<int32_t>(sum);
  }

  // A record that adds up but names a stage past the course is as damaged as one that does
  // not add up: the stage picker would offer stages that do not exist.
  if (RecordChecksumOf(r) != r.RecordChecksum || !RecordFieldsInRange(r)) {
    g.host.MessageBox(kRecordDamaged, kGameTitle, plat::MsgButtons::Ok, plat::MsgIcon::Error);
    SetDefaultRecord(r);
    ComputeRecordChecksum(g);
    SaveProgressRecord(g);
  }
}

void SaveProgressRecord(Game& g) {
  const TProgressRecord& r = g;
  uint8_t bytes[kProgressRecordFileSize];
  bytes[0] = r.HighestStage;
  for (size_t i = 0; i < 56; ++i) bytes[1 + i] = r.StageCleared[i];
  bytes[57] = r.ClearedCount;
  bytes[58] = r.BonusAreaOpen;
  uint32_t sum = static_cast<uint32_t>(r.RecordChecksum);
  for (int i = 0; i < 4; ++i) bytes[59 + i] = static_cast<uint8_t>(sum >> (8 * i));
  EnterProgramFolder(g);
  int err = plat::WriteFileAtomic(ProgramFile(g, kRecordFile), bytes, sizeof bytes);
  if (err != 0) {
    // The old file stays whole; the game goes on with the record in memory.
    ShowError(g, "記録データを保存できませんでした。\r" + plat::ErrorText(err));
  }
}

void RecordStageClear(Game& g) {
  int k = static_cast<int>(g.StageIndex) - 1;
  if (k < 0 || k >= 56) return;  // only a built-in stage that was just left can be marked
  if (g.StageCleared[k] == 0) {
    g.StageCleared[k] = 1;
    ++g.ClearedCount;
  } else if (g.StageCleared[k] == 1) {
    return;
  }
  for (int a = 0; a <= 12; ++a) {
    bool any = false;
    for (int s = 4 * a; s <= 4 * a + 3; ++s) any = any || g.StageCleared[s] == 1;
    if (any && g.HighestStage == 4 * a + 3) g.HighestStage = static_cast<uint8_t>(4 * a + 7);
  }
  if (g.HighestStage >= 50) g.HighestStage = g.BonusAreaOpen == 0 ? 49 : 54;
  ComputeRecordChecksum(g);
  SaveProgressRecord(g);
}

void RecordAllClear(Game& g) {
  if (g.BonusAreaOpen == 1) return;
  // Only a closed area (0) waits for every stage; a record's other values open at once.
  if (g.BonusAreaOpen == 0)
    for (int s = 0; s <= 49; ++s)
      if (g.StageCleared[s] == 0) return;
  g.BonusAreaOpen = 1;
  g.HighestStage = 54;
  ComputeRecordChecksum(g);
  SaveProgressRecord(g);
}

void OpenBonusArea(Game& g) {
  if (g.BonusAreaOpen != 0) return;
  g.HighestStage = 54;
  g.BonusAreaOpen = 1;
  ComputeRecordChecksum(g);
  SaveProgressRecord(g);
}
