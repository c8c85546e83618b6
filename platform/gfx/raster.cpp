// Software raster: block transfers, colour-on-colour stretch and 1-pixel-pen shapes on Bitmap.
#include "platform/api/raster.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace plat::gfx {
namespace {

constexpr uint32_t kColourBits = 0x00FFFFFF;
// Shapes whose coordinates lie beyond this draw nothing: it keeps the curve arithmetic exact
// and every loop short, whatever the arguments; the game's shapes stay within a few hundred.
constexpr int kShapeLimit = 1 << 20;

bool InShapeRange(int v) { return v >= -kShapeLimit && v <= kShapeLimit; }

// One row of a block operation: n pixels of s combined onto d.
void RopRow(uint32_t* d, const uint32_t* s, int n, Rop rop) {
  switch (rop) {
    case Rop::Copy:
      std::memcpy(d, s, static_cast<size_t>(n) * sizeof(uint32_t));
      break;
    case Rop::And:
      for (int i = 0; i < n; ++i) d[i] &= s[i];
      break;
    case Rop::Or:
      for (int i = 0; i < n; ++i) d[i] |= s[i];
      break;
    case Rop::NotOr:
      for (int i = 0; i < n; ++i) d[i] = ~(s[i] | d[i]) & kColourBits;
      break;
  }
}

// Whether an AND or OR of n pixels of s onto d would change any of them.
bool RopChanges(const uint32_t* d, const uint32_t* s, int n, Rop rop) {
  uint32_t diff = 0;
  if (rop == Rop::And) {
    for (int i = 0; i < n; ++i) diff |= d[i] & ~s[i];
  } else {
    for (int i = 0; i < n; ++i) diff |= s[i] & ~d[i];
  }
  return diff != 0;
}

// The pixels a shape touches, with per-row extents so a convex shape can be filled.
class ShapeCanvas {
 public:
  ShapeCanvas(Bitmap& dst, uint32_t colour, PenMode mode, bool keepSpans)
      : dst_(dst), colour_(colour & kColourBits), merge_(mode == PenMode::Merge), spans_(keepSpans) {
    if (spans_) {
      minX_.assign(static_cast<size_t>(dst.height), INT32_MAX);
      maxX_.assign(static_cast<size_t>(dst.height), INT32_MIN);
    }
  }

  // An outline pixel: drawn at once (outline shapes) or recorded for the fill (solid ones).
  void Plot(int x, int y) {
    if (y < 0 || y >= dst_.height) return;
    if (spans_) {
      size_t r = static_cast<size_t>(y);
      minX_[r] = std::min(minX_[r], x);
      maxX_[r] = std::max(maxX_[r], x);
      return;
    }
    if (x < 0 || x >= dst_.width) return;
    uint32_t& p = dst_.Row(y)[x];
    p = merge_ ? (p | colour_) : colour_;
  }

  // Pixels x0..x1 (inclusive) of row y, clipped.
  void Span(int y, int64_t x0, int64_t x1) {
    if (y < 0 || y >= dst_.height) return;
    x0 = std::max<int64_t>(x0, 0);
    x1 = std::min<int64_t>(x1, dst_.width - 1);
    if (x0 > x1) return;
    // Pixels that already hold what the span would give are skipped, and a span that would
    // change none writes nothing: the present need not look at a black field blacked again.
    x0 = FirstChange(static_cast<const Bitmap&>(dst_).Row(y), x0, x1);
    if (x0 > x1) return;
    uint32_t* p = dst_.Row(y);
    if (merge_) {
      for (int64_t x = x0; x <= x1; ++x) p[x] |= colour_;
    } else {
      std::fill(p + x0, p + x1 + 1, colour_);
    }
  }

  // Fills every row between its leftmost and rightmost recorded pixel.
  void FillSpans() {
    for (int y = 0; y < dst_.height; ++y) {
      size_t r = static_cast<size_t>(y);
      if (minX_[r] <= maxX_[r]) Span(y, minX_[r], maxX_[r]);
    }
  }

 private:
  // The first pixel of x0..x1 the span would change; x1 + 1 when none. In blocks of vectors
  // (the compiler leaves a loop that may stop early unvectorized), so the test of a long
  // unchanged run costs little more than reading it.
  int64_t FirstChange(const uint32_t* q, int64_t x0, int64_t x1) const {
    using V = uint32_t __attribute__((vector_size(16)));
    constexpr int kLanes = sizeof(V) / sizeof(uint32_t), kBlock = 4 * kLanes;
    const uint32_t c = colour_;
    int64_t x = x0;
    if (!merge_) {
      // Against a row of the colour, by the library's compare: faster than any loop here.
      thread_local std::vector<uint32_t> solid;
      thread_local uint32_t solidColour = 0;
      constexpr int64_t kRun = 256;
      if (solid.empty() || solidColour != c) solid.assign(kRun, solidColour = c);
      for (; x + kRun <= x1 + 1; x += kRun)
        if (std::memcmp(q + x, solid.data(), kRun * sizeof(uint32_t)) != 0) break;
      for (; x + kBlock <= x1 + 1; x += kBlock)
        if (std::memcmp(q + x, solid.data(), kBlock * sizeof(uint32_t)) != 0) break;
      while (x <= x1 && q[x] == c) ++x;
      return x;
    }
    for (; x + kBlock <= x1 + 1; x += kBlock) {
      V acc = {};
      for (int k = 0; k < kBlock; k += kLanes) {
        V v;
        std::memcpy(&v, q + x + k, sizeof v);
        acc |= c & ~v;
      }
      if ((acc[0] | acc[1] | acc[2] | acc[3]) != 0) break;
    }
    while (x <= x1 && (c & ~q[x]) == 0) ++x;
    return x;
  }

  Bitmap& dst_;
  uint32_t colour_;
  bool merge_;
  bool spans_;
  std::vector<int> minX_, maxX_;
};

// The outline of the ellipse whose extreme pixels are x0..x1, y0..y1 (inclusive), by the
// integer-error midpoint walk; the outline touches all four sides of the box for even and
// odd sizes alike. `plot` is called per pixel (a pixel may come more than once).
template <typename PlotFn>
void EllipseOutline(int64_t x0, int64_t y0, int64_t x1, int64_t y1, PlotFn plot) {
  int64_t a = x1 - x0, b = y1 - y0;
  int64_t b1 = b & 1;
  double dx = 4.0 * (1.0 - static_cast<double>(a)) * static_cast<double>(b) * static_cast<double>(b);
  double dy = 4.0 * static_cast<double>(b1 + 1) * static_cast<double>(a) * static_cast<double>(a);
  double err = dx + dy + static_cast<double>(b1) * static_cast<double>(a) * static_cast<double>(a);
  y0 += (b + 1) / 2;
  y1 = y0 - b1;
  double aa = 8.0 * static_cast<double>(a) * static_cast<double>(a);
  double bb = 8.0 * static_cast<double>(b) * static_cast<double>(b);
  do {
    plot(x1, y0);
    plot(x0, y0);
    plot(x0, y1);
    plot(x1, y1);
    double e2 = 2 * err;
    if (e2 <= dy) {
      ++y0;
      --y1;
      dy += aa;
      err += dy;
    }
    if (e2 >= dx || 2 * err > dy) {
      ++x0;
      --x1;
      dx += bb;
      err += dx;
    }
  } while (x0 <= x1);
  while (y0 - y1 <= b) {  // flat ellipses stop early: finish their tips
    plot(x0 - 1, y0);
    plot(x1 + 1, y0++);
    plot(x0 - 1, y1);
    plot(x1 + 1, y1--);
  }
}

// Box corners put in order; false when the box holds no pixel.
bool OrderBox(int& x1, int& y1, int& x2, int& y2) {
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  return x1 < x2 && y1 < y2;
}

// As OrderBox, also false when a corner is out of the range curves are drawn in.
bool NormaliseBox(int& x1, int& y1, int& x2, int& y2) {
  if (!InShapeRange(x1) || !InShapeRange(y1) || !InShapeRange(x2) || !InShapeRange(y2)) return false;
  return OrderBox(x1, y1, x2, y2);
}

template <typename PlotFn>
void LinePixels(int x1, int y1, int x2, int y2, PlotFn plot) {
  int64_t dx = std::abs(static_cast<int64_t>(x2) - x1), dy = std::abs(static_cast<int64_t>(y2) - y1);
  int sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
  int64_t steps = std::max(dx, dy);
  int64_t err = (dx > dy ? dx : -dy) / 2;
  int64_t x = x1, y = y1;
  for (int64_t i = 0; i < steps; ++i) {  // the end point is not drawn
    plot(x, y);
    int64_t e = err;
    if (e > -dx) {
      err -= dy;
      x += sx;
    }
    if (e < dy) {
      err += dx;
      y += sy;
    }
  }
}

}  // namespace

void BitBlt(Bitmap& dst, int dx, int dy, int w, int h, const Bitmap& src, int sx, int sy, Rop rop) {
  if (w <= 0 || h <= 0) return;
  // Offsets (i, j) inside the block whose source and destination pixels both exist.
  int64_t i0 = std::max<int64_t>({0, -int64_t{dx}, -int64_t{sx}});
  int64_t i1 = std::min<int64_t>({w, int64_t{dst.width} - dx, int64_t{src.width} - sx});
  int64_t j0 = std::max<int64_t>({0, -int64_t{dy}, -int64_t{sy}});
  int64_t j1 = std::min<int64_t>({h, int64_t{dst.height} - dy, int64_t{src.height} - sy});
  if (i0 >= i1 || j0 >= j1) return;
  int n = static_cast<int>(i1 - i0), rows = static_cast<int>(j1 - j0);
  int srcX = static_cast<int>(sx + i0), dstX = static_cast<int>(dx + i0);
  int srcY = static_cast<int>(sy + j0), dstY = static_cast<int>(dy + j0);

  if (&dst == &src) {  // the blocks may overlap: read the source from a copy
    std::vector<uint32_t> tmp(static_cast<size_t>(n) * rows);
    for (int j = 0; j < rows; ++j)
      std::memcpy(tmp.data() + static_cast<size_t>(j) * n, src.Row(srcY + j) + srcX,
                  static_cast<size_t>(n) * sizeof(uint32_t));
    for (int j = 0; j < rows; ++j) RopRow(dst.Row(dstY + j) + dstX, tmp.data() + static_cast<size_t>(j) * n, n, rop);
    return;
  }
  if (rop != Rop::Copy) {
    // An AND or OR that changes no pixel of a row writes nothing there, so the present need not
    // look at the row again: a darkened screen darkened once more stays as it was shown.
    const Bitmap& before = dst;
    for (int j = 0; j < rows; ++j) {
      const uint32_t* s = src.Row(srcY + j) + srcX;
      if ((rop == Rop::And || rop == Rop::Or) && !RopChanges(before.Row(dstY + j) + dstX, s, n, rop)) continue;
      RopRow(dst.Row(dstY + j) + dstX, s, n, rop);
    }
    return;
  }
  // A copy onto the same pixels writes nothing, so a present need not look at the row again:
  // scenes copy their whole background back every frame. A row known to hold these pixels
  // already (its note, neither row written since) is not even compared.
  if (dst.copyNotes.size() != static_cast<size_t>(dst.height)) dst.copyNotes.assign(static_cast<size_t>(dst.height), {});
  const Bitmap& before = dst;
  for (int j = 0; j < rows; ++j) {
    const int y = dstY + j, sr = srcY + j;
    Bitmap::CopyNote& note = dst.copyNotes[static_cast<size_t>(y)];
    if (note.srcSerial == src.Serial() && note.srcRow == sr && note.srcX == srcX && note.dstX == dstX &&
        note.n == n && note.srcGen == src.RowGen(sr) && note.dstGen == dst.RowGen(y))
      continue;
    const uint32_t* s = src.Row(sr) + srcX;
    if (std::memcmp(before.Row(y) + dstX, s, static_cast<size_t>(n) * sizeof(uint32_t)) != 0)
      RopRow(dst.Row(y) + dstX, s, n, rop);
    note = {src.Serial(), src.RowGen(sr), dst.RowGen(y), sr, srcX, dstX, n};
  }
}

void StretchBlt(Bitmap& dst, int dx, int dy, int dw, int dh, const Bitmap& src, int sx, int sy, int sw,
                int sh, Rop rop) {
  // Mirroring by negative sizes is not used by the programs: non-positive sizes draw nothing.
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
  if (dw == sw && dh == sh) {
    BitBlt(dst, dx, dy, dw, dh, src, sx, sy, rop);
    return;
  }
  const Bitmap* from = &src;
  Bitmap copy;
  if (&dst == &src) {
    copy = src;
    from = &copy;
  }
  // Destination pixel i samples source offset floor(i * sw / dw): the first row and column of
  // the source are always kept. Both maps are monotonic, so the usable range is contiguous.
  auto range = [](int d, int dSize, int dLimit, int s, int sSize, int sLimit, std::vector<int>& map) {
    int64_t lo = std::max<int64_t>(0, -int64_t{d});
    int64_t hi = std::min<int64_t>(dSize, int64_t{dLimit} - d);
    map.clear();
    int first = -1;
    for (int64_t i = lo; i < hi; ++i) {
      int64_t so = int64_t{s} + i * sSize / dSize;
      if (so < 0) continue;
      if (so >= sLimit) break;
      if (first < 0) first = static_cast<int>(d + i);
      map.push_back(static_cast<int>(so));
    }
    return first;
  };
  std::vector<int> colMap, rowMap;
  int firstX = range(dx, dw, dst.width, sx, sw, from->width, colMap);
  int firstY = range(dy, dh, dst.height, sy, sh, from->height, rowMap);
  if (firstX < 0 || firstY < 0) return;
  int n = static_cast<int>(colMap.size());
  std::vector<uint32_t> row(static_cast<size_t>(n));
  for (size_t j = 0; j < rowMap.size(); ++j) {
    const uint32_t* s = from->Row(rowMap[j]);
    for (int i = 0; i < n; ++i) row[static_cast<size_t>(i)] = s[colMap[static_cast<size_t>(i)]];
    RopRow(dst.Row(firstY + static_cast<int>(j)) + firstX, row.data(), n, rop);
  }
}

void Rectangle(Bitmap& dst, int x1, int y1, int x2, int y2, uint32_t colour, Fill fill, PenMode mode) {
  if (!OrderBox(x1, y1, x2, y2)) return;  // spans are clipped, so any corners are safe
  ShapeCanvas c(dst, colour, mode, false);
  if (fill == Fill::Solid) {
    for (int y = std::max(y1, 0); y < std::min(y2, dst.height); ++y) c.Span(y, x1, x2 - 1);
    return;
  }
  c.Span(y1, x1, x2 - 1);
  if (y2 - 1 != y1) c.Span(y2 - 1, x1, x2 - 1);
  for (int y = std::max(y1 + 1, 0); y < std::min(y2 - 1, dst.height); ++y) {
    c.Span(y, x1, x1);
    if (x2 - 1 != x1) c.Span(y, x2 - 1, x2 - 1);
  }
}

void Ellipse(Bitmap& dst, int x1, int y1, int x2, int y2, uint32_t colour, Fill fill, PenMode mode) {
  if (!NormaliseBox(x1, y1, x2, y2)) return;
  bool solid = fill == Fill::Solid;
  ShapeCanvas c(dst, colour, mode, solid);
  // The outline of a solid shape is only recorded: plotting it too would OR twice in the same
  // colour, which changes nothing, but recording keeps each pixel to one write.
  EllipseOutline(x1, y1, x2 - 1, y2 - 1,
                 [&](int64_t x, int64_t y) { c.Plot(static_cast<int>(x), static_cast<int>(y)); });
  if (solid) c.FillSpans();
}

void RoundRect(Bitmap& dst, int x1, int y1, int x2, int y2, int cw, int ch, uint32_t colour, Fill fill,
               PenMode mode) {
  if (!NormaliseBox(x1, y1, x2, y2)) return;
  cw = static_cast<int>(std::min<int64_t>(std::abs(int64_t{cw}), x2 - x1));
  ch = static_cast<int>(std::min<int64_t>(std::abs(int64_t{ch}), y2 - y1));
  if (cw < 2 || ch < 2) {
    Rectangle(dst, x1, y1, x2, y2, colour, fill, mode);
    return;
  }
  bool solid = fill == Fill::Solid;
  ShapeCanvas c(dst, colour, mode, solid);
  // The corner ellipse's left/top half goes to the box's left/top corners, its right/bottom
  // half to the opposite ones; an odd middle column or row belongs to both.
  int64_t shiftX = int64_t{x2} - x1 - cw, shiftY = int64_t{y2} - y1 - ch;
  auto plot = [&](int64_t ex, int64_t ey) {
    int64_t ox = ex - x1, oy = ey - y1;
    for (int hx = 0; hx < 2; ++hx) {
      bool inHalfX = hx == 0 ? ox <= (cw - 1) / 2 : ox >= cw / 2;
      if (!inHalfX) continue;
      for (int hy = 0; hy < 2; ++hy) {
        bool inHalfY = hy == 0 ? oy <= (ch - 1) / 2 : oy >= ch / 2;
        if (!inHalfY) continue;
        c.Plot(static_cast<int>(ex + hx * shiftX), static_cast<int>(ey + hy * shiftY));
      }
    }
  };
  EllipseOutline(x1, y1, x1 + cw - 1, y1 + ch - 1, plot);
  // The straight sides between the corners.
  int64_t left = x1 + (cw - 1) / 2, right = x2 - cw + cw / 2;
  int64_t top = y1 + (ch - 1) / 2, bottom = y2 - ch + ch / 2;
  for (int64_t x = left; x <= right; ++x) {
    c.Plot(static_cast<int>(x), y1);
    c.Plot(static_cast<int>(x), y2 - 1);
  }
  for (int64_t y = std::max<int64_t>(top, 0); y <= std::min<int64_t>(bottom, dst.height - 1); ++y) {
    c.Plot(x1, static_cast<int>(y));
    c.Plot(x2 - 1, static_cast<int>(y));
  }
  if (solid) c.FillSpans();
}

// Counter-clockwise as seen on the screen, from the crossing with the radial towards (x3, y3)
// to the crossing with the radial towards (x4, y4); equal radials give the whole ellipse.
void Arc(Bitmap& dst, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4, uint32_t colour,
         PenMode mode) {
  if (!NormaliseBox(x1, y1, x2, y2)) return;
  // Angles as seen on the screen (y up), about the centre of the box's pixels.
  double cx = (static_cast<double>(x1) + x2 - 1) / 2, cy = (static_cast<double>(y1) + y2 - 1) / 2;
  constexpr double kTwoPi = 6.283185307179586;
  auto angle = [&](double x, double y) {
    double a = std::atan2(cy - y, x - cx);
    return a < 0 ? a + kTwoPi : a;
  };
  double start = angle(x3, y3), end = angle(x4, y4);
  double sweep = end - start;
  if (sweep <= 0) sweep += kTwoPi;  // equal radials: the whole ellipse
  ShapeCanvas c(dst, colour, mode, false);
  EllipseOutline(x1, y1, x2 - 1, y2 - 1, [&](int64_t x, int64_t y) {
    double d = angle(static_cast<double>(x), static_cast<double>(y)) - start;
    if (d < 0) d += kTwoPi;
    if (d <= sweep) c.Plot(static_cast<int>(x), static_cast<int>(y));
  });
}

void Line(Bitmap& dst, int x1, int y1, int x2, int y2, uint32_t colour, PenMode mode) {
  if (!InShapeRange(x1) || !InShapeRange(y1) || !InShapeRange(x2) || !InShapeRange(y2)) return;
  ShapeCanvas c(dst, colour, mode, false);
  LinePixels(x1, y1, x2, y2,
             [&](int64_t x, int64_t y) { c.Plot(static_cast<int>(x), static_cast<int>(y)); });
}

void Polygon(Bitmap& dst, const Point* pts, int n, uint32_t colour, Fill fill, PenMode mode) {
  if (pts == nullptr || n < 2) return;
  for (int k = 0; k < n; ++k)
    if (!InShapeRange(pts[k].x) || !InShapeRange(pts[k].y)) return;
  ShapeCanvas c(dst, colour, mode, false);
  if (fill == Fill::Solid && n >= 3) {
    // Even-odd rule, sampled at whole pixel positions; like a box, the right and bottom edges
    // are left to the outline.
    int top = pts[0].y, bottom = pts[0].y;
    for (int k = 1; k < n; ++k) {
      top = std::min(top, pts[k].y);
      bottom = std::max(bottom, pts[k].y);
    }
    std::vector<double> xs;
    for (int y = std::max(top, 0); y < std::min(bottom, dst.height); ++y) {
      xs.clear();
      for (int k = 0; k < n; ++k) {
        const Point& a = pts[k];
        const Point& b = pts[(k + 1) % n];
        if (a.y == b.y) continue;
        int lo = std::min(a.y, b.y), hi = std::max(a.y, b.y);
        if (y < lo || y >= hi) continue;
        xs.push_back(a.x + static_cast<double>(y - a.y) * (b.x - a.x) / (b.y - a.y));
      }
      std::sort(xs.begin(), xs.end());
      for (size_t k = 0; k + 1 < xs.size(); k += 2) {
        int64_t from = static_cast<int64_t>(std::ceil(xs[k]));
        int64_t to = static_cast<int64_t>(std::ceil(xs[k + 1])) - 1;
        c.Span(y, from, to);
      }
    }
  }
  for (int k = 0; k < n; ++k) {
    const Point& a = pts[k];
    const Point& b = pts[(k + 1) % n];
    LinePixels(a.x, a.y, b.x, b.y,
               [&](int64_t x, int64_t y) { c.Plot(static_cast<int>(x), static_cast<int>(y)); });
  }
}

}  // namespace plat::gfx
