// Presents changed rectangles of the form's picture straight to its X window through shared
// memory, on a connection of our own: no repaint through Qt and no round trip per frame.
#pragma once
#include <QRect>

#include <cstdint>
#include <memory>
#include <vector>

namespace plat {

// 0x00BBGGRR to the window's (and Qt's) opaque 0xFFRRGGBB, for `n` pixels.
void ToWindowPixels(const uint32_t* src, uint32_t* dst, int n);

class XShmPresenter {
 public:
  // Null when the window system is not X, offers no shared memory, or the window's pixels are
  // not 32-bit 0xRRGGBB: the caller then paints through Qt.
  static std::unique_ptr<XShmPresenter> Open(uintptr_t window, int width, int height);
  ~XShmPresenter();

  // Shows `rects` of `pixels` (0x00BBGGRR, the window's size, rows without gaps) in one
  // request, so the window never holds part of one present and part of the next. False when
  // the connection has failed.
  bool Present(const uint32_t* pixels, const std::vector<QRect>& rects);

  struct Impl;

 private:
  explicit XShmPresenter(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace plat
