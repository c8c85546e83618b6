// Software raster on Bitmap with the conventions of the classic Windows 2-D API: block
// transfers with raster operations, colour-on-colour stretching, and 1-pixel-pen shapes.
// Every operation clips against both bitmaps: pixels whose source lies outside the source
// bitmap, or whose destination lies outside the destination, are left as they were.
#pragma once
#include <cstdint>

#include "bitmap.h"

namespace plat::gfx {

enum class Rop {
  Copy,   // dst = src
  And,    // dst = dst & src
  Or,     // dst = dst | src
  NotOr,  // dst = ~(src | dst)   (colour bits only; the top byte stays 0)
};

// dst and src may be the same bitmap.
void BitBlt(Bitmap& dst, int dx, int dy, int w, int h, const Bitmap& src, int sx, int sy, Rop rop);
// Colour-on-colour stretch: rows and columns dropped or repeated, never blended.
void StretchBlt(Bitmap& dst, int dx, int dy, int dw, int dh, const Bitmap& src, int sx, int sy, int sw,
                int sh, Rop rop);

enum class PenMode { Copy, Merge };  // Merge: OR the colour onto the picture
enum class Fill { Solid, None };

struct Point {
  int x, y;
};

// Shapes follow the classic rules: the right and bottom edges of a box are excluded, an
// ellipse lies inside its box, arcs run counter-clockwise, a line excludes its end point.
// The pen is 1 pixel wide; a filled shape is drawn with its outline in the same colour.
void Rectangle(Bitmap& dst, int x1, int y1, int x2, int y2, uint32_t colour, Fill fill, PenMode mode);
void RoundRect(Bitmap& dst, int x1, int y1, int x2, int y2, int cw, int ch, uint32_t colour, Fill fill,
               PenMode mode);
void Ellipse(Bitmap& dst, int x1, int y1, int x2, int y2, uint32_t colour, Fill fill, PenMode mode);
void Arc(Bitmap& dst, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4, uint32_t colour,
         PenMode mode);
void Line(Bitmap& dst, int x1, int y1, int x2, int y2, uint32_t colour, PenMode mode);
void Polygon(Bitmap& dst, const Point* pts, int n, uint32_t colour, Fill fill, PenMode mode);

}  // namespace plat::gfx
