// Off-screen bitmap: 32-bit pixels 0x00BBGGRR (red in the low byte), row-major, top row first.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace plat {

struct Bitmap {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> px;

  Bitmap() { Renew(); }
  Bitmap(int w, int h, uint32_t fill = 0xFFFFFF) { Resize(w, h, fill); }
  // A copy is a new picture: nothing known of the old one carries over.
  Bitmap(const Bitmap& o) : width(o.width), height(o.height), px(o.px) { Renew(); }
  Bitmap(Bitmap&& o) noexcept : width(o.width), height(o.height), px(std::move(o.px)) { Renew(); }
  Bitmap& operator=(const Bitmap& o) {
    if (this != &o) {
      width = o.width;
      height = o.height;
      px = o.px;
      Renew();
    }
    return *this;
  }
  Bitmap& operator=(Bitmap&& o) noexcept {
    if (this != &o) {
      width = o.width;
      height = o.height;
      px = std::move(o.px);
      Renew();
    }
    return *this;
  }

  // A new or resized bitmap is white, as the window framework's were: the opening relies on it.
  void Resize(int w, int h, uint32_t fill = 0xFFFFFF) {
    width = w > 0 ? w : 0;
    height = h > 0 ? h : 0;
    px.assign(static_cast<size_t>(width) * static_cast<size_t>(height), fill);
    Renew();
  }
  bool Empty() const { return width == 0 || height == 0; }
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  // Every write goes through Row, Set, Resize or an assignment; each counts the rows it may
  // change, so others can tell a row is as it was (the present, a copy of the same pixels).
  uint32_t* Row(int y) {
    ++gen_[static_cast<size_t>(y)];
    return px.data() + static_cast<size_t>(y) * width;
  }
  const uint32_t* Row(int y) const { return px.data() + static_cast<size_t>(y) * width; }
  uint32_t At(int x, int y) const { return px[static_cast<size_t>(y) * width + x]; }
  void Set(int x, int y, uint32_t c) {
    ++gen_[static_cast<size_t>(y)];
    px[static_cast<size_t>(y) * width + x] = c;
  }

  // Which picture this is (new with every resize and assignment, never reused) and how often
  // each row has been handed out for writing since: same serial and count, same pixels.
  uint64_t Serial() const { return serial_; }
  uint32_t RowGen(int y) const { return gen_[static_cast<size_t>(y)]; }

  // What the last block copy left in a row: pixels [dstX, dstX + n) equal row srcRow of the
  // picture srcSerial from srcX, as that row stood at srcGen, and the row not written since
  // dstGen. Kept by the raster to skip copying the same pixels again.
  struct CopyNote {
    uint64_t srcSerial = 0;
    uint32_t srcGen = 0, dstGen = 0;
    int srcRow = 0, srcX = 0, dstX = 0, n = 0;
  };
  std::vector<CopyNote> copyNotes;

 private:
  void Renew() {
    static std::atomic<uint64_t> next{0};
    serial_ = ++next;
    gen_.assign(static_cast<size_t>(height), 0);
    copyNotes.clear();
  }
  uint64_t serial_ = 0;
  std::vector<uint32_t> gen_;
};

}  // namespace plat
