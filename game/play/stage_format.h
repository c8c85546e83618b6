// Byte layouts of the stage data file "plumet.map" and of a user stage file "*.krm", shared
// by the game, the editor and the stage compiler. No file access here.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "game/play/stage_data_file.h"
#include "game/play/stage_model.h"

constexpr int kUserStageFileSize = 314;
// The files keep the selectors in this order of StageStyle indexes (barrier last).
constexpr std::array<int, 8> kFileSelectorOrder = {ssBackground, ssBlock, ssLadder, ssIce,
                                                   ssNoJump,     ssKey,   ssBalloon, ssBarrier};

struct TUserStage {
  std::array<uint8_t, kGridCells> Rows{};  // row by row: y*20 + x
  std::array<uint8_t, 8> Style{};          // StageStyle order
  uint8_t Theme = 0;
  uint8_t Facing = 0;
  int32_t Cleared = 0;
  bool operator==(const TUserStage&) const = default;
};

std::vector<uint8_t> EncodeUserStage(const TUserStage& s);
// Fields are read in file order; a short file leaves the fields it lacks as they were.
void DecodeUserStage(const std::vector<uint8_t>& bytes, TUserStage& s);

// `stages`: 56 stages of 300 bytes in StageGrid layout; `styles`: selector k of every stage.
using TBuiltinStages = std::array<uint8_t, kBuiltinStageCount * kGridCells>;
using TStyleTable = std::array<std::array<uint8_t, kBuiltinStageCount>, 8>;
std::vector<uint8_t> EncodeStageData(const TBuiltinStages& stages, const TStyleTable& styles);
// What a short file lacks stays zero.
void DecodeStageData(const std::vector<uint8_t>& bytes, TBuiltinStages& stages, TStyleTable& styles);
