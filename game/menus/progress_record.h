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
// The last stage of the course; the picker never offers one past it.
constexpr int kLastBonusStage = 54;

// Checksum of the fields other than RecordChecksum.
int32_t RecordChecksumOf(const TProgressRecord& r);
// Whether the record keeps the game inside the course: HighestStage at most 54. Every other
// field is kept as read, whatever its value (an empty file reads as all zeros and is valid).
bool RecordFieldsInRange(const TProgressRecord& r);
void ComputeRecordChecksum(Game& g);
void LoadProgressRecord(Game& g);
void SaveProgressRecord(Game& g);
void RecordStageClear(Game& g);
void RecordAllClear(Game& g);
void OpenBonusArea(Game& g);
