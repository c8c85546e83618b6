// Test aid: small bitmaps written and compared as rows of text, one character per pixel.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "platform/api/bitmap.h"

namespace testpx {

// The palette of the fixtures: '.' white, '#' black, and a few named colours.
inline const std::map<char, uint32_t>& Palette() {
  static const std::map<char, uint32_t> p = {
      {'.', 0xFFFFFF}, {'#', 0x000000}, {'r', 0x0000FF}, {'g', 0x00FF00}, {'b', 0xFF0000},
      {'y', 0x00FFFF}, {'c', 0xFFFF00}, {'m', 0xFF00FF}, {'d', 0x202020}, {'k', 0xDFDFDF},
  };
  return p;
}

inline plat::Bitmap FromRows(const std::vector<std::string>& rows) {
  plat::Bitmap b(rows.empty() ? 0 : static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
  for (int y = 0; y < b.height; ++y)
    for (int x = 0; x < b.width; ++x) b.Set(x, y, Palette().at(rows[y][x]));
  return b;
}

// Colours outside the palette show as '?'.
inline std::vector<std::string> ToRows(const plat::Bitmap& b) {
  std::vector<std::string> rows;
  for (int y = 0; y < b.height; ++y) {
    std::string r;
    for (int x = 0; x < b.width; ++x) {
      char c = '?';
      for (const auto& [k, v] : Palette())
        if (v == b.At(x, y)) c = k;
      r += c;
    }
    rows.push_back(r);
  }
  return rows;
}

}  // namespace testpx
