// The progress record: cleared stages, the highest choosable stage and the bonus area, kept in
// "plumet.rec" behind a checksum.
#pragma once
#include <array>
#include <cstdint>

struct Game;

struct TProgressRecord {
  uint8_t HighestStage = 3;
  std::array<uint8_t, 56> StageCleared{};
  uint8_t ClearedCount = 0;
  uint8_t BonusAreaOpen = 0;
  int32_t RecordChecksum = 168;
};

constexpr int kProgressRecordFileSize = 63;
// The last stage the picker may offer: 49 while the bonus area is closed, 54 once it is open.
constexpr int kLastCourseStage = 49;
constexpr int kLastBonusStage = 54;

// Checksum of the fields other than RecordChecksum.
int32_t RecordChecksumOf(const TProgressRecord& r);
// Whether every field holds a value the game can write: HighestStage at most 49 (54 with the
// bonus area open), each StageCleared 0 or 1 with index 55 never set, ClearedCount the number
// of marks, BonusAreaOpen 0 or 1. Any HighestStage from 0 up to the cap is kept (an empty file
// reads as all zeros and is a valid record).
bool RecordFieldsInRange(const TProgressRecord& r);
void ComputeRecordChecksum(Game& g);
void LoadProgressRecord(Game& g);
void SaveProgressRecord(Game& g);
void RecordStageClear(Game& g);
void RecordAllClear(Game& g);
void OpenBonusArea(Game& g);
