// The plain-text stage format: one character per cell, 20 columns by 15 rows, with lines for
// the eight selectors, the theme and the starting facing (see tools/stagec/README.md).
#pragma once
#include <string>
#include <vector>

#include "game/play/stage_format.h"

// Cell characters, in code order 0..17: . # H D P B J k I N o X x C > < G !
char CellChar(uint8_t code);
// The code of a cell character; -1 when it is none.
int CellFromChar(char c);

// Parses a stage text; false with a message naming the line on an error.
bool ParseStageText(const std::string& text, TUserStage& out, std::string& error);
std::string FormatStageText(const TUserStage& s);
// Rows of cell characters (any size) laid into a 20x15 grid from the top-left corner; cells
// not given are blocks. Unknown characters become blocks.
std::array<uint8_t, kGridCells> RowsFromText(const std::vector<std::string>& rows);
