// Drawing helpers of the art generator: sprites painted at four times their size with
// antialiasing, then reduced to an image on black and a strictly two-valued mask.
#pragma once
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdint>
#include <vector>

#include "platform/api/bitmap.h"

namespace artgen {

using plat::Bitmap;

inline constexpr int kS = 4;  // supersampling factor

// 0x00BBGGRR from red, green, blue.
constexpr uint32_t Rgb(int r, int g, int b) {
  return uint32_t(r & 255) | (uint32_t(g & 255) << 8) | (uint32_t(b & 255) << 16);
}
// QColor from 0xRRGGBB as written in palettes.
inline QColor Hex(uint32_t rrggbb, int alpha = 255) {
  return QColor(int(rrggbb >> 16) & 255, int(rrggbb >> 8) & 255, int(rrggbb) & 255, alpha);
}
QColor Mix(const QColor& a, const QColor& b, double t);

// A transparent canvas of kS*w x kS*h pixels.
QImage NewHi(int w, int h);
// A painter on a hi-res canvas whose unit is one output pixel.
void BeginHi(QPainter& p, QImage& hi);

// A reduced sprite: colours and a coverage flag per pixel.
struct Cell {
  int w = 0, h = 0;
  std::vector<uint32_t> rgb;  // 0x00BBGGRR
  std::vector<uint8_t> on;    // 1 inside the sprite
  uint32_t At(int x, int y) const { return rgb[size_t(y) * w + x]; }
  bool On(int x, int y) const { return on[size_t(y) * w + x] != 0; }
};

// Inside where at least half of the samples are covered; colour = mean of covered samples.
Cell Reduce(const QImage& hi, int w, int h);
// Mean colour of every pixel, all inside (for opaque tiles drawn on a filled canvas).
Cell ReduceOpaque(const QImage& hi, int w, int h);
Cell Mirror(const Cell& c);
// Union of the coverage of several frames (a shared mask).
Cell UnionMask(const std::vector<Cell>& frames);
// Restrict a cell to a silhouette; pixels of the silhouette that the cell misses take `fill`.
Cell ClipTo(const Cell& c, const Cell& silhouette, uint32_t fill);

// Image block: the sprite on pure black.
void PutImage(Bitmap& s, const Cell& c, int x, int y);
// Mask block: black inside the sprite, white elsewhere.
void PutMask(Bitmap& s, const Cell& c, int x, int y);
void PutOpaque(Bitmap& s, const Cell& c, int x, int y);
// The sprite over a tile taken from `bg` at (bx, by): inside pixels from the sprite, the rest
// copied from the tile exactly.
void PutOver(Bitmap& s, const Cell& c, const Bitmap& bg, int bx, int by, int x, int y);

void FillRect(Bitmap& s, int x, int y, int w, int h, uint32_t c);
void CopyRect(Bitmap& dst, int dx, int dy, const Bitmap& src, int sx, int sy, int w, int h);
Bitmap FromQImage(const QImage& img);  // opaque
QImage ToQImage(const Bitmap& b);

// Five-point star path centred at (cx, cy).
QPainterPath StarPath(double cx, double cy, double outer, double inner, double rotDeg = -90);

}  // namespace artgen
