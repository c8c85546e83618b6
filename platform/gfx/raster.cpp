// Software raster (to be filled in).
#include "platform/api/raster.h"

namespace plat::gfx {
void BitBlt(Bitmap&, int, int, int, int, const Bitmap&, int, int, Rop) {}
void StretchBlt(Bitmap&, int, int, int, int, const Bitmap&, int, int, int, int, Rop) {}
void Rectangle(Bitmap&, int, int, int, int, uint32_t, Fill, PenMode) {}
void RoundRect(Bitmap&, int, int, int, int, int, int, uint32_t, Fill, PenMode) {}
void Ellipse(Bitmap&, int, int, int, int, uint32_t, Fill, PenMode) {}
void Arc(Bitmap&, int, int, int, int, int, int, int, int, uint32_t, PenMode) {}
void Line(Bitmap&, int, int, int, int, uint32_t, PenMode) {}
void Polygon(Bitmap&, const Point*, int, uint32_t, Fill, PenMode) {}
}  // namespace plat::gfx
