// The drawing primitives every scene uses on the back buffer and the art.
#pragma once
#include <cstdint>
#include <string_view>

#include "platform/api/bitmap.h"

struct Game;
using plat::Bitmap;

enum TBrushStyle : uint8_t { bsSolid = 0, bsClear = 1 };
enum TPenMode : uint8_t { pmCopy = 4, pmMerge = 10 };

// Halves away from zero; the rounding of every cell lookup from a fractional position.
int32_t RoundToInt(float x);
// Nearest integer with halves to even; the rounding of shape and text coordinates.
int32_t RoundEven(float x);

void CopyBlt(const Bitmap& src, int srcX, int srcY, int w, int h, Bitmap& dst, int dstX, int dstY);
void MaskedBlt(const Bitmap& src, int srcX, int srcY, int maskY, int w, int h, Bitmap& dst, int dstX,
               int dstY);
void MaskedBltX(const Bitmap& src, int srcX, int maskX, int srcY, int w, int h, Bitmap& dst, int dstX,
                int dstY);
void StretchCopyBlt(const Bitmap& src, int srcX, int srcY, int dstW, int dstH, Bitmap& dst, int dstX,
                    int dstY, int srcW, int srcH);
void StretchMaskedBlt(const Bitmap& src, int srcX, int srcY, int maskY, int dstW, int dstH, Bitmap& dst,
                      int dstX, int dstY, int srcW, int srcH);
void StretchMaskedBltX(const Bitmap& src, int srcX, int maskX, int srcY, int dstW, int dstH, Bitmap& dst,
                       int dstX, int dstY, int srcW, int srcH);
// One-colour silhouette of a sprite's mask, OR-ed onto dst; uses ScratchBitmap.
void TintedBlt(Game& g, const Bitmap& src, int srcX, int ignored, int maskY, int w, int h, Bitmap& dst,
               int dstX, int dstY, uint32_t colour);
void TintedBltX(Game& g, const Bitmap& src, int ignored, int maskX, int srcY, int w, int h, Bitmap& dst,
                int dstX, int dstY, uint32_t colour);

// Shapes and text, all on BackBuffer.
void DrawText(Game& g, float size, uint32_t colour, std::string_view text, float x, float y);
void DrawRect(Game& g, uint32_t colour, uint8_t brushStyle, uint8_t penMode, float x1, float y1, float x2,
              float y2);
void DrawRoundRect(Game& g, uint32_t colour, uint8_t brushStyle, uint8_t penMode, float x1, float y1,
                   float x2, float y2, float cornerW, float cornerH);
void DrawEllipse(Game& g, uint32_t colour, uint8_t brushStyle, uint8_t penMode, float x1, float y1,
                 float x2, float y2);
void DrawArc(Game& g, uint32_t colour, uint8_t brushStyle, uint8_t penMode, float x1, float y1, float x2,
             float y2, float x3, float y3, float x4, float y4);
void DrawLine(Game& g, uint32_t colour, uint8_t penMode, float x1, float y1, float x2, float y2);
void DrawPolygon(Game& g, uint32_t colour, uint8_t penMode, float x1, float y1, float x2, float y2,
                 float x3, float y3, float x4, float y4);

// Grey v: red, green and blue all v.
constexpr uint32_t Grey(uint32_t v) { return v | (v << 8) | (v << 16); }
