// The stage itself: cell codes, the two grid layouts, the style selectors, the built-in stage
// table and the current stage's file state.
#pragma once
#include <array>
#include <cstdint>
#include <string>

enum TCellCode : uint8_t {
  ccEmpty = 0,
  ccBlock = 1,
  ccLadder = 2,
  ccDoor = 3,
  ccPlayerStart = 4,
  ccBalloon = 5,
  ccJumpPad = 6,
  ccKey = 7,
  ccIce = 8,
  ccNoJump = 9,
  ccBall = 10,
  ccJailClosed = 11,
  ccJailOpen = 12,
  ccCloud = 13,
  ccConveyorRight = 14,
  ccConveyorLeft = 15,
  ccGoal = 16,
  ccBarrier = 17,
  ccDoorOpening = 30,
};

// Indexes of StageStyle.
enum TStageStyle : uint8_t {
  ssBackground = 0,
  ssBlock = 1,
  ssLadder = 2,
  ssBarrier = 3,
  ssIce = 4,
  ssNoJump = 5,
  ssKey = 6,
  ssBalloon = 7,
};

constexpr int kGridCols = 20;
constexpr int kGridRows = 15;
constexpr int kGridCells = kGridCols * kGridRows;
constexpr int kBuiltinStageCount = 56;
constexpr uint8_t kUserStageIndex = 255;
constexpr int kMapFolderBufSize = 151;

// The music theme (0..5) of each built-in stage; -1 for any other number.
constexpr int BuiltinStageTheme(int s) {
  constexpr int8_t kTheme[55] = {
      0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3,  // 0..15
      5, 5, 5, 5, 4, 3, 0, 0, 4, 4, 4, 4, 2, 2, 2, 2,  // 16..31
      1, 0, 5, 4, 1, 3, 5, 2, 3, 3, 0, 4, 5, 0, 4, 1,  // 32..47
      5, 0, 5, 4, 1, 4, 5,                             // 48..54
  };
  return s >= 0 && s < 55 ? kTheme[s] : -1;
}

// Column-major index of StageGrid; row-major index of StageGridRows.
constexpr int GridIndex(int x, int y) { return x * kGridRows + y; }
constexpr int RowsIndex(int x, int y) { return y * kGridCols + x; }

struct StageModel {
  std::array<uint8_t, kGridCells> StageGrid{};      // column by column: x*15 + y
  std::array<uint8_t, kGridCells> StageGridRows{};  // row by row: y*20 + x
  std::array<uint8_t, kBuiltinStageCount * kGridCells> BuiltinStages{};
  std::array<std::array<uint8_t, kBuiltinStageCount>, 8> StageStyleTable{};
  std::array<uint8_t, 8> StageStyle{};
  uint8_t StageTheme = 0;
  uint8_t StartFacing = 0;
  uint8_t StageIndex = 0;
  std::string UserStageFileName;
  int32_t UserStageCleared = 0;
  std::string MapFolder;
  std::array<char, kMapFolderBufSize> MapFolderBuf{};
};
