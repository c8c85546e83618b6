// The drawing primitives every scene uses: blits of the art, tinted silhouettes, shapes and text.
#include "game/shell/draw.h"

#include <cmath>

#include "game/game.h"
#include "platform/api/raster.h"

namespace gfx = plat::gfx;

namespace {

constexpr const char* kBackBufferFont = "ＭＳ 明朝";

// Out-of-range values saturate instead of overflowing the conversion.
int32_t ToInt32(double v) {
  if (!(v == v)) return 0;  // NaN
  if (v >= 2147483647.0) return INT32_MAX;
  if (v <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(v);
}

gfx::PenMode Pen(uint8_t penMode) { return penMode == pmMerge ? gfx::PenMode::Merge : gfx::PenMode::Copy; }
gfx::Fill Brush(uint8_t brushStyle) { return brushStyle == bsClear ? gfx::Fill::None : gfx::Fill::Solid; }

// The one-colour silhouette of the mask block at (maskX, maskY).
void Tint(Game& g, const Bitmap& src, int maskX, int maskY, int w, int h, Bitmap& dst, int dstX, int dstY,
          uint32_t colour) {
  Bitmap& s = g.ScratchBitmap;
  if (s.width < 100 || s.height < 100) s.Resize(100, 100);  // a game built without start-up
  gfx::Rectangle(s, 0, 0, 100, 100, colour, gfx::Fill::Solid, gfx::PenMode::Copy);
  gfx::BitBlt(s, 0, 0, w, h, src, maskX, maskY, gfx::Rop::NotOr);
  gfx::BitBlt(dst, dstX, dstY, w, h, s, 0, 0, gfx::Rop::Or);
}

}  // namespace

int32_t RoundToInt(float x) {
  // The half is added in wider precision, so 0.49999997 stays 0.
  double v = x;
  return ToInt32(v >= 0 ? v + 0.5 : v - 0.5);
}

int32_t RoundEven(float x) { return ToInt32(std::nearbyint(static_cast<double>(x))); }

void CopyBlt(const Bitmap& src, int srcX, int srcY, int w, int h, Bitmap& dst, int dstX, int dstY) {
  gfx::BitBlt(dst, dstX, dstY, w, h, src, srcX, srcY, gfx::Rop::Copy);
}

void MaskedBlt(const Bitmap& src, int srcX, int srcY, int maskY, int w, int h, Bitmap& dst, int dstX,
               int dstY) {
  gfx::BitBlt(dst, dstX, dstY, w, h, src, srcX, maskY, gfx::Rop::And);
  gfx::BitBlt(dst, dstX, dstY, w, h, src, srcX, srcY, gfx::Rop::Or);
}

void MaskedBltX(const Bitmap& src, int srcX, int maskX, int srcY, int w, int h, Bitmap& dst, int dstX,
                int dstY) {
  gfx::BitBlt(dst, dstX, dstY, w, h, src, maskX, srcY, gfx::Rop::And);
  gfx::BitBlt(dst, dstX, dstY, w, h, src, srcX, srcY, gfx::Rop::Or);
}

void StretchCopyBlt(const Bitmap& src, int srcX, int srcY, int dstW, int dstH, Bitmap& dst, int dstX,
                    int dstY, int srcW, int srcH) {
  gfx::StretchBlt(dst, dstX, dstY, dstW, dstH, src, srcX, srcY, srcW, srcH, gfx::Rop::Copy);
}

void StretchMaskedBlt(const Bitmap& src, int srcX, int srcY, int maskY, int dstW, int dstH, Bitmap& dst,
                      int dstX, int dstY, int srcW, int srcH) {
  gfx::StretchBlt(dst, dstX, dstY, dstW, dstH, src, srcX, maskY, srcW, srcH, gfx::Rop::And);
  gfx::StretchBlt(dst, dstX, dstY, dstW, dstH, src, srcX, srcY, srcW, srcH, gfx::Rop::Or);
}

void StretchMaskedBltX(const Bitmap& src, int srcX, int maskX, int srcY, int dstW, int dstH, Bitmap& dst,
                       int dstX, int dstY, int srcW, int srcH) {
  gfx::StretchBlt(dst, dstX, dstY, dstW, dstH, src, maskX, srcY, srcW, srcH, gfx::Rop::And);
  gfx::StretchBlt(dst, dstX, dstY, dstW, dstH, src, srcX, srcY, srcW, srcH, gfx::Rop::Or);
}

void TintedBlt(Game& g, const Bitmap& src, int srcX, int /*ignored*/, int maskY, int w, int h, Bitmap& dst,
               int dstX, int dstY, uint32_t colour) {
  Tint(g, src, srcX, maskY, w, h, dst, dstX, dstY, colour);
}

void TintedBltX(Game& g, const Bitmap& src, int /*ignored*/, int maskX, int srcY, int w, int h, Bitmap& dst,
                int dstX, int dstY, uint32_t colour) {
  Tint(g, src, maskX, srcY, w, h, dst, dstX, dstY, colour);
}

void DrawText(Game& g, float size, uint32_t colour, std::string_view text, float x, float y) {
  // The font height is the character cell's, in pixels at 96 per inch.
  int cellHeight = RoundToInt(size * 96.0f / 72.0f);
  g.host.DrawText(g.BackBuffer, kBackBufferFont, cellHeight, colour, RoundEven(x), RoundEven(y), text);
}

void DrawRect(Game& g, uint32_t colour, uint8_t brushStyle, uint8_t penMode, float x1, float y1, float x2,
              float y2) {
  gfx::Rectangle(g.BackBuffer, RoundEven(x1), RoundEven(y1), RoundEven(x2), RoundEven(y2), colour,
                 Brush(brushStyle), Pen(penMode));
}

void DrawRoundRect(Game& g, uint32_t colour, uint8_t brushStyle, uint8_t penMode, float x1, float y1,
                   float x2, float y2, float cornerW, float cornerH) {
  gfx::RoundRect(g.BackBuffer, RoundEven(x1), RoundEven(y1), RoundEven(x2), RoundEven(y2), RoundEven(cornerW),
                 RoundEven(cornerH), colour, Brush(brushStyle), Pen(penMode));
}

void DrawEllipse(Game& g, uint32_t colour, uint8_t brushStyle, uint8_t penMode, float x1, float y1,
                 float x2, float y2) {
  gfx::Ellipse(g.BackBuffer, RoundEven(x1), RoundEven(y1), RoundEven(x2), RoundEven(y2), colour,
               Brush(brushStyle), Pen(penMode));
}

void DrawArc(Game& g, uint32_t colour, uint8_t /*brushStyle: an arc is never filled*/, uint8_t penMode,
             float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4) {
  // The arc runs counter-clockwise from the radial towards (x4, y4) to the one towards (x3, y3),
  // so the raster's start and end radials are given in that order.
  gfx::Arc(g.BackBuffer, RoundEven(x1), RoundEven(y1), RoundEven(x2), RoundEven(y2), RoundEven(x4),
           RoundEven(y4), RoundEven(x3), RoundEven(y3), colour, Pen(penMode));
}

void DrawLine(Game& g, uint32_t colour, uint8_t penMode, float x1, float y1, float x2, float y2) {
  gfx::Line(g.BackBuffer, RoundEven(x1), RoundEven(y1), RoundEven(x2), RoundEven(y2), colour, Pen(penMode));
}

void DrawPolygon(Game& g, uint32_t colour, uint8_t penMode, float x1, float y1, float x2, float y2,
                 float x3, float y3, float x4, float y4) {
  const gfx::Point pts[4] = {{RoundEven(x1), RoundEven(y1)},
                             {RoundEven(x2), RoundEven(y2)},
                             {RoundEven(x3), RoundEven(y3)},
                             {RoundEven(x4), RoundEven(y4)}};
  gfx::Polygon(g.BackBuffer, pts, 4, colour, gfx::Fill::Solid, Pen(penMode));
}
