// Reduction of supersampled sprites to image and mask blocks, and small bitmap helpers.
#include "tools/artgen/canvas.h"

#include <algorithm>
#include <cmath>

namespace artgen {

QColor Mix(const QColor& a, const QColor& b, double t) {
  auto l = [t](int x, int y) { return int(std::lround(x + (y - x) * t)); };
  return QColor(l(a.red(), b.red()), l(a.green(), b.green()), l(a.blue(), b.blue()), l(a.alpha(), b.alpha()));
}

QImage NewHi(int w, int h) {
  QImage img(w * kS, h * kS, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  return img;
}

void BeginHi(QPainter& p, QImage& hi) {
  p.begin(&hi);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.scale(kS, kS);
}

static Cell ReduceImpl(const QImage& src, int w, int h, bool opaque) {
  const QImage hi = src.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  Cell c;
  c.w = w;
  c.h = h;
  c.rgb.assign(size_t(w) * h, 0);
  c.on.assign(size_t(w) * h, 0);
  const int n = kS * kS;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      long r = 0, g = 0, b = 0, a = 0;
      for (int sy = 0; sy < kS; ++sy) {
        const auto* row = reinterpret_cast<const QRgb*>(hi.constScanLine(y * kS + sy));
        for (int sx = 0; sx < kS; ++sx) {
          const QRgb p = row[x * kS + sx];
          r += qRed(p);
          g += qGreen(p);
          b += qBlue(p);
          a += qAlpha(p);
        }
      }
      const size_t i = size_t(y) * w + x;
      if (opaque) {
        c.on[i] = 1;
        c.rgb[i] = Rgb(int((r + n / 2) / n), int((g + n / 2) / n), int((b + n / 2) / n));
      } else if (a * 2 >= 255L * n) {
        c.on[i] = 1;
        // Premultiplied sums over alpha: the colour as if the covered part were all there is.
        c.rgb[i] = Rgb(int(std::min(255L, (r * 255 + a / 2) / a)), int(std::min(255L, (g * 255 + a / 2) / a)),
                       int(std::min(255L, (b * 255 + a / 2) / a)));
      }
    }
  return c;
}

Cell Reduce(const QImage& hi, int w, int h) { return ReduceImpl(hi, w, h, false); }
Cell ReduceOpaque(const QImage& hi, int w, int h) { return ReduceImpl(hi, w, h, true); }

Cell Mirror(const Cell& c) {
  Cell m = c;
  for (int y = 0; y < c.h; ++y)
    for (int x = 0; x < c.w; ++x) {
      m.rgb[size_t(y) * c.w + x] = c.rgb[size_t(y) * c.w + (c.w - 1 - x)];
      m.on[size_t(y) * c.w + x] = c.on[size_t(y) * c.w + (c.w - 1 - x)];
    }
  return m;
}

Cell UnionMask(const std::vector<Cell>& frames) {
  Cell u = frames.front();
  for (const Cell& f : frames)
    for (size_t i = 0; i < u.on.size(); ++i) u.on[i] |= f.on[i];
  return u;
}

Cell ClipTo(const Cell& c, const Cell& sil, uint32_t fill) {
  Cell r = c;
  for (size_t i = 0; i < r.on.size(); ++i) {
    if (!sil.on[i]) {
      r.on[i] = 0;
      r.rgb[i] = 0;
    } else {
      if (!c.on[i]) r.rgb[i] = fill;
      r.on[i] = 1;
    }
  }
  return r;
}

void PutImage(Bitmap& s, const Cell& c, int x, int y) {
  for (int j = 0; j < c.h; ++j)
    for (int i = 0; i < c.w; ++i)
      if (s.Contains(x + i, y + j)) s.Set(x + i, y + j, c.On(i, j) ? c.At(i, j) : 0);
}

void PutMask(Bitmap& s, const Cell& c, int x, int y) {
  for (int j = 0; j < c.h; ++j)
    for (int i = 0; i < c.w; ++i)
      if (s.Contains(x + i, y + j)) s.Set(x + i, y + j, c.On(i, j) ? 0u : 0xFFFFFFu);
}

void PutOpaque(Bitmap& s, const Cell& c, int x, int y) {
  for (int j = 0; j < c.h; ++j)
    for (int i = 0; i < c.w; ++i)
      if (s.Contains(x + i, y + j)) s.Set(x + i, y + j, c.At(i, j));
}

void PutOver(Bitmap& s, const Cell& c, const Bitmap& bg, int bx, int by, int x, int y) {
  for (int j = 0; j < c.h; ++j)
    for (int i = 0; i < c.w; ++i)
      if (s.Contains(x + i, y + j)) s.Set(x + i, y + j, c.On(i, j) ? c.At(i, j) : bg.At(bx + i, by + j));
}

void FillRect(Bitmap& s, int x, int y, int w, int h, uint32_t c) {
  for (int j = y; j < y + h; ++j)
    for (int i = x; i < x + w; ++i)
      if (s.Contains(i, j)) s.Set(i, j, c);
}

void CopyRect(Bitmap& dst, int dx, int dy, const Bitmap& src, int sx, int sy, int w, int h) {
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i)
      if (dst.Contains(dx + i, dy + j) && src.Contains(sx + i, sy + j))
        dst.Set(dx + i, dy + j, src.At(sx + i, sy + j));
}

Bitmap FromQImage(const QImage& src) {
  const QImage img = src.convertToFormat(QImage::Format_RGB32);
  Bitmap b(img.width(), img.height(), 0);
  for (int y = 0; y < img.height(); ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
    for (int x = 0; x < img.width(); ++x) b.Set(x, y, Rgb(qRed(row[x]), qGreen(row[x]), qBlue(row[x])));
  }
  return b;
}

QImage ToQImage(const Bitmap& b) {
  QImage img(b.width, b.height, QImage::Format_RGB32);
  for (int y = 0; y < b.height; ++y) {
    auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = 0; x < b.width; ++x) {
      const uint32_t c = b.At(x, y);
      row[x] = qRgb(int(c & 255), int((c >> 8) & 255), int((c >> 16) & 255));
    }
  }
  return img;
}

QPainterPath StarPath(double cx, double cy, double outer, double inner, double rotDeg) {
  QPainterPath p;
  for (int k = 0; k < 10; ++k) {
    const double a = (rotDeg + 36.0 * k) * M_PI / 180.0;
    const double r = (k % 2) ? inner : outer;
    const QPointF pt(cx + r * std::cos(a), cy + r * std::sin(a));
    if (k == 0) p.moveTo(pt); else p.lineTo(pt);
  }
  p.closeSubpath();
  return p;
}

}  // namespace artgen
