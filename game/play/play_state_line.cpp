// The play fields of the headless runner's state line and the grid dump.
#include <cstdio>

#include "game/play/play_internal.h"

std::string PlayStateLine(const Game& g) {
  char buf[256];
  std::snprintf(buf, sizeof buf,
                "x=%g y=%g action=%d frames=%d facing=%d keys=%d balls=%d/%d held=%d goal=%d",
                static_cast<double>(g.PlayerX), static_cast<double>(g.PlayerY), g.ActionCode, g.ActionFrames,
                g.PlayerFacing, g.KeysHeld, g.BallsTaken, g.BallsInStage, g.HoldingObject ? g.HeldKind : 0,
                g.GoalArrived);
  return buf;
}

std::string CellsLine(const Game& g) {
  std::string s;
  s.reserve(kGridCells);
  for (int y = 0; y < kGridRows; y++)
    for (int x = 0; x < kGridCols; x++) {
      const uint8_t c = g.StageGrid[GridIndex(x, y)];
      s += c < 10 ? static_cast<char>('0' + c) : c <= 17 ? static_cast<char>('a' + c - 10) : c == 30 ? 'u' : '?';
    }
  return s;
}
