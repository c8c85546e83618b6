// Off-screen bitmap: 32-bit pixels 0x00BBGGRR (red in the low byte), row-major, top row first.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace plat {

struct Bitmap {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> px;

  Bitmap() = default;
  Bitmap(int w, int h, uint32_t fill = 0xFFFFFF) { Resize(w, h, fill); }

  // A new or resized bitmap is white, as the window framework's were: the opening relies on it.
  void Resize(int w, int h, uint32_t fill = 0xFFFFFF) {
    width = w > 0 ? w : 0;
    height = h > 0 ? h : 0;
    px.assign(static_cast<size_t>(width) * static_cast<size_t>(height), fill);
  }
  bool Empty() const { return width == 0 || height == 0; }
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  uint32_t* Row(int y) { return px.data() + static_cast<size_t>(y) * width; }
  const uint32_t* Row(int y) const { return px.data() + static_cast<size_t>(y) * width; }
  uint32_t At(int x, int y) const { return px[static_cast<size_t>(y) * width + x]; }
  void Set(int x, int y, uint32_t c) { px[static_cast<size_t>(y) * width + x] = c; }
};

}  // namespace plat
