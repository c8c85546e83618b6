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
  // A copy counts as written whole.
  Bitmap(const Bitmap& o) : width(o.width), height(o.height), px(o.px) { MarkAllWritten(); }
  Bitmap(Bitmap&& o) noexcept : width(o.width), height(o.height), px(std::move(o.px)) { MarkAllWritten(); }
  Bitmap& operator=(const Bitmap& o) {
    if (this != &o) {
      width = o.width;
      height = o.height;
      px = o.px;
      MarkAllWritten();
    }
    return *this;
  }
  Bitmap& operator=(Bitmap&& o) noexcept {
    if (this != &o) {
      width = o.width;
      height = o.height;
      px = std::move(o.px);
      MarkAllWritten();
    }
    return *this;
  }

  // A new or resized bitmap is white, as the window framework's were: the opening relies on it.
  void Resize(int w, int h, uint32_t fill = 0xFFFFFF) {
    width = w > 0 ? w : 0;
    height = h > 0 ? h : 0;
    px.assign(static_cast<size_t>(width) * static_cast<size_t>(height), fill);
    MarkAllWritten();
  }
  bool Empty() const { return width == 0 || height == 0; }
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  // Every write goes through Row, Set, Resize or a copy, which mark the rows they may change.
  uint32_t* Row(int y) {
    written_[static_cast<size_t>(y)] = 1;
    return px.data() + static_cast<size_t>(y) * width;
  }
  const uint32_t* Row(int y) const { return px.data() + static_cast<size_t>(y) * width; }
  uint32_t At(int x, int y) const { return px[static_cast<size_t>(y) * width + x]; }
  void Set(int x, int y, uint32_t c) {
    written_[static_cast<size_t>(y)] = 1;
    px[static_cast<size_t>(y) * width + x] = c;
  }

  // Rows that may have changed since the last ForgetWritten: a present compares only those
  // with the picture it showed last. Not part of the picture.
  bool RowWritten(int y) const { return written_[static_cast<size_t>(y)] != 0; }
  void ForgetWritten() const { written_.assign(static_cast<size_t>(height), 0); }

 private:
  void MarkAllWritten() { written_.assign(static_cast<size_t>(height), 1); }
  mutable std::vector<uint8_t> written_;
};

}  // namespace plat
