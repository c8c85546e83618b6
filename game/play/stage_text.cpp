// The plain-text stage format.
#include "game/play/stage_text.h"

#include <sstream>

namespace {

constexpr char kChars[] = ".#HDPBJkINoXxC><G!";
constexpr const char* kSelectorNames[8] = {"background", "block", "ladder", "barrier",
                                           "ice",        "nojump", "key",   "balloon"};

std::string Trim(const std::string& s) {
  const size_t a = s.find_first_not_of(" \t\r");
  if (a == std::string::npos) return "";
  const size_t b = s.find_last_not_of(" \t\r");
  return s.substr(a, b - a + 1);
}

}  // namespace

char CellChar(uint8_t code) {
  if (code < 18) return kChars[code];
  return code == ccDoorOpening ? 'u' : '?';
}

int CellFromChar(char c) {
  for (int i = 0; i < 18; i++)
    if (kChars[i] == c) return i;
  return -1;
}

std::array<uint8_t, kGridCells> RowsFromText(const std::vector<std::string>& rows) {
  std::array<uint8_t, kGridCells> cells;
  cells.fill(ccBlock);
  for (size_t y = 0; y < rows.size() && y < kGridRows; y++)
    for (size_t x = 0; x < rows[y].size() && x < kGridCols; x++) {
      const int c = CellFromChar(rows[y][x]);
      cells[RowsIndex(static_cast<int>(x), static_cast<int>(y))] = static_cast<uint8_t>(c < 0 ? ccBlock : c);
    }
  return cells;
}

bool ParseStageText(const std::string& text, TUserStage& out, std::string& error) {
  TUserStage s;
  std::istringstream in(text);
  std::string line;
  int lineNo = 0, row = -1;
  auto fail = [&](const std::string& why) {
    error = "line " + std::to_string(lineNo) + ": " + why;
    return false;
  };
  while (std::getline(in, line)) {
    lineNo++;
    if (row >= 0) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (row >= kGridRows) {
        if (Trim(line).empty()) continue;
        return fail("more than 15 grid rows");
      }
      if (line.size() != kGridCols) return fail("a grid row needs exactly 20 cells");
      for (int x = 0; x < kGridCols; x++) {
        const int c = CellFromChar(line[x]);
        if (c < 0) return fail(std::string("unknown cell '") + line[x] + "'");
        s.Rows[RowsIndex(x, row)] = static_cast<uint8_t>(c);
      }
      row++;
      continue;
    }
    const std::string t = Trim(line.substr(0, line.find(';')));
    if (t.empty()) continue;
    if (t == "grid") {
      row = 0;
      continue;
    }
    std::istringstream kv(t);
    std::string key, value;
    kv >> key >> value;
    if (value.empty()) return fail("'" + key + "' needs a value");
    if (key == "facing") {
      if (value == "right" || value == "0")
        s.Facing = 0;
      else if (value == "left" || value == "1")
        s.Facing = 1;
      else
        return fail("facing is right or left");
      continue;
    }
    if (key == "name") continue;  // a label for people
    int n;
    try {
      n = std::stoi(value);
    } catch (const std::exception&) {
      return fail("'" + key + "' needs a number");
    }
    if (n < 0 || n > 255) return fail("'" + key + "' is out of 0..255");
    bool known = false;
    for (int k = 0; k < 8; k++)
      if (key == kSelectorNames[k]) {
        s.Style[k] = static_cast<uint8_t>(n);
        known = true;
      }
    if (key == "theme") {
      s.Theme = static_cast<uint8_t>(n);
      known = true;
    } else if (key == "cleared") {
      s.Cleared = n;
      known = true;
    }
    if (!known) return fail("unknown field '" + key + "'");
  }
  if (row < kGridRows) {
    error = "the grid needs 15 rows of 20 cells after a 'grid' line";
    return false;
  }
  out = s;
  return true;
}

std::string FormatStageText(const TUserStage& s) {
  std::string t;
  for (int k = 0; k < 8; k++) t += std::string(kSelectorNames[k]) + " " + std::to_string(s.Style[k]) + "\n";
  t += "theme " + std::to_string(s.Theme) + "\n";
  t += std::string("facing ") + (s.Facing == 0 ? "right" : s.Facing == 1 ? "left" : std::to_string(s.Facing)) + "\n";
  t += "cleared " + std::to_string(s.Cleared) + "\n";
  t += "grid\n";
  for (int y = 0; y < kGridRows; y++) {
    for (int x = 0; x < kGridCols; x++) t += CellChar(s.Rows[RowsIndex(x, y)]);
    t += "\n";
  }
  return t;
}
