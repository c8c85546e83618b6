// Byte layouts of the stage data file and the user stage file.
#include "game/play/stage_format.h"

std::vector<uint8_t> EncodeUserStage(const TUserStage& s) {
  std::vector<uint8_t> out(s.Rows.begin(), s.Rows.end());
  for (int k : kFileSelectorOrder) out.push_back(s.Style[k]);
  out.push_back(s.Theme);
  out.push_back(s.Facing);
  const uint32_t c = static_cast<uint32_t>(s.Cleared);
  for (int i = 0; i < 4; i++) out.push_back(static_cast<uint8_t>(c >> (8 * i)));
  return out;
}

void DecodeUserStage(const std::vector<uint8_t>& bytes, TUserStage& s) {
  const size_t n = bytes.size();
  // Each field is a read of its full length that accepts a shorter result.
  for (size_t i = 0; i < kGridCells && i < n; i++) s.Rows[i] = bytes[i];
  size_t at = kGridCells;
  for (int k : kFileSelectorOrder) {
    if (at < n) s.Style[k] = bytes[at];
    at++;
  }
  if (at < n) s.Theme = bytes[at];
  at++;
  if (at < n) s.Facing = bytes[at];
  at++;
  if (at < n) {
    uint8_t b[4];
    const auto cur = static_cast<uint32_t>(s.Cleared);
    for (int i = 0; i < 4; i++) b[i] = at + i < n ? bytes[at + i] : static_cast<uint8_t>(cur >> (8 * i));
    s.Cleared = static_cast<int32_t>(b[0] | b[1] << 8 | b[2] << 16 | static_cast<uint32_t>(b[3]) << 24);
  }
}

std::vector<uint8_t> EncodeStageData(const TBuiltinStages& stages, const TStyleTable& styles) {
  std::vector<uint8_t> out(kStageDataFileSize, 0);
  for (int s = 0; s < kBuiltinStageCount; s++)
    for (int x = 0; x < kGridCols; x++)
      for (int y = 0; y < kGridRows; y++) out[y * 1120 + x * 56 + s] = stages[s * kGridCells + GridIndex(x, y)];
  size_t at = kStageDataCellBytes;
  for (int k : kFileSelectorOrder)
    for (int s = 0; s < kBuiltinStageCount; s++) out[at++] = styles[k][s];
  return out;
}

void DecodeStageData(const std::vector<uint8_t>& bytes, TBuiltinStages& stages, TStyleTable& styles) {
  std::vector<uint8_t> full(kStageDataFileSize, 0);
  for (size_t i = 0; i < bytes.size() && i < full.size(); i++) full[i] = bytes[i];
  for (int s = 0; s < kBuiltinStageCount; s++)
    for (int x = 0; x < kGridCols; x++)
      for (int y = 0; y < kGridRows; y++) stages[s * kGridCells + GridIndex(x, y)] = full[y * 1120 + x * 56 + s];
  size_t at = kStageDataCellBytes;
  for (int k : kFileSelectorOrder)
    for (int s = 0; s < kBuiltinStageCount; s++) styles[k][s] = full[at++];
}
