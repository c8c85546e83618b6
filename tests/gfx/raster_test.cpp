// Pixel tests of the software raster: raster operations, clipping, stretching and shapes.
#include "platform/api/raster.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>

#include "tests/gfx/pixel_rows.h"

using namespace plat;
using namespace plat::gfx;
using testpx::FromRows;
using testpx::ToRows;
using Rows = std::vector<std::string>;

namespace {

// Every pixel different, so a misplaced pixel shows.
Bitmap Numbered(int w, int h, uint32_t base) {
  Bitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.Set(x, y, base + static_cast<uint32_t>(y * 16 + x));
  return b;
}

}  // namespace

TEST(RasterBlt, EachRopCombinesOnlyTheBlock) {
  struct Case {
    Rop rop;
    uint32_t dst, src, want;
  } cases[] = {
      {Rop::Copy, 0x123456, 0x654321, 0x654321},
      {Rop::And, 0x0F0FF0, 0x00FF0F, 0x000F00},
      {Rop::Or, 0x0F0000, 0x0000F0, 0x0F00F0},
      {Rop::NotOr, 0x0F0F0F, 0x00F000, 0xF000F0},
      {Rop::NotOr, 0x000000, 0x000000, 0xFFFFFF},  // top byte stays 0
      {Rop::NotOr, 0xFFFFFF, 0x000000, 0x000000},
  };
  for (const auto& c : cases) {
    Bitmap dst(3, 1, c.dst), src(3, 1, 0x777777);
    src.Set(2, 0, c.src);
    BitBlt(dst, 1, 0, 1, 1, src, 2, 0, c.rop);
    EXPECT_EQ(dst.At(0, 0), c.dst) << static_cast<int>(c.rop);
    EXPECT_EQ(dst.At(1, 0), c.want) << static_cast<int>(c.rop);
    EXPECT_EQ(dst.At(2, 0), c.dst) << static_cast<int>(c.rop);
  }
}

TEST(RasterBlt, SourceOutsideItsBitmapLeavesDestinationAlone) {
  Bitmap src = FromRows({"rg", "by"});
  Bitmap dst(4, 4);
  // Column -1 and row 2 of the source do not exist.
  BitBlt(dst, 1, 1, 3, 3, src, -1, 0, Rop::Copy);
  EXPECT_EQ(ToRows(dst), (Rows{"....", "..rg", "..by", "...."}));
}

// Every placement of a block around both bitmaps, against the per-pixel rule: a pixel changes
// only when its source and destination both exist.
TEST(RasterBlt, ClipsAgainstBothBitmapsAtAllEdges) {
  const Bitmap src = Numbered(4, 3, 0x100000);
  const Bitmap dst0 = Numbered(5, 4, 0x200000);
  for (int w : {0, 1, 3, 6})
    for (int h : {0, 1, 2, 5})
      for (int dx = -6; dx <= 6; ++dx)
        for (int dy = -5; dy <= 5; ++dy)
          for (int sx = -5; sx <= 5; ++sx)
            for (int sy = -4; sy <= 4; ++sy) {
              Bitmap dst = dst0;
              BitBlt(dst, dx, dy, w, h, src, sx, sy, Rop::Or);
              Bitmap want = dst0;
              for (int j = 0; j < h; ++j)
                for (int i = 0; i < w; ++i)
                  if (want.Contains(dx + i, dy + j) && src.Contains(sx + i, sy + j))
                    want.Set(dx + i, dy + j, want.At(dx + i, dy + j) | src.At(sx + i, sy + j));
              ASSERT_EQ(dst.px, want.px) << "w" << w << " h" << h << " d" << dx << "," << dy << " s" << sx
                                         << "," << sy;
            }
}

TEST(RasterBlt, ExtremeArgumentsStayInsideMemory) {
  const Bitmap src = Numbered(4, 3, 0x100000);
  struct Case {
    int dx, dy, w, h, sx, sy;
    bool changes;
  } cases[] = {
      {0, 0, INT_MAX, INT_MAX, 0, 0, true},
      {INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, 0, false},
      {INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MIN, INT_MIN, false},
      {-2, -2, INT_MAX, INT_MAX, INT_MAX, INT_MAX, false},
      {0, 0, INT_MIN, INT_MIN, 0, 0, false},
      {1, 1, 2, 2, INT_MIN + 1, INT_MAX - 1, false},
  };
  for (const auto& c : cases) {
    Bitmap dst(5, 4, 0);
    BitBlt(dst, c.dx, c.dy, c.w, c.h, src, c.sx, c.sy, Rop::Copy);
    EXPECT_EQ(dst.px != Bitmap(5, 4, 0).px, c.changes) << c.dx << " " << c.w << " " << c.sx;
  }
  Bitmap dst(5, 4, 0);
  BitBlt(dst, 0, 0, INT_MAX, INT_MAX, src, 0, 0, Rop::Copy);
  EXPECT_EQ(dst.At(3, 2), src.At(3, 2));
  EXPECT_EQ(dst.At(4, 2), 0u);
}

TEST(RasterBlt, OverlappingBlocksOfOneBitmapReadTheOldPixels) {
  struct Case {
    int dx, dy, sx, sy, w, h;
    Rop rop;
    Rows start, want;
  } cases[] = {
      {1, 0, 0, 0, 4, 1, Rop::Copy, {"rgby.", "cmdk."}, {"rrgby", "cmdk."}},
      {0, 0, 1, 0, 4, 1, Rop::Copy, {"rgby.", "cmdk."}, {"gby..", "cmdk."}},
      {0, 1, 0, 0, 5, 1, Rop::Copy, {"rgby.", "cmdk."}, {"rgby.", "rgby."}},
      {0, 0, 0, 1, 5, 1, Rop::Copy, {"rgby.", "cmdk."}, {"cmdk.", "cmdk."}},
      {1, 0, 0, 0, 3, 2, Rop::Or, {"rgb#.", "#r#g."}, {"rycb.", "#rrg."}},
  };
  for (const auto& c : cases) {
    Bitmap b = FromRows(c.start);
    BitBlt(b, c.dx, c.dy, c.w, c.h, b, c.sx, c.sy, c.rop);
    EXPECT_EQ(ToRows(b), c.want) << c.dx << "," << c.dy << " from " << c.sx << "," << c.sy;
  }
}

TEST(RasterStretch, RepeatsOrDropsRowsAndColumnsWithoutBlending) {
  Bitmap up(4, 4);
  StretchBlt(up, 0, 0, 4, 4, FromRows({"rg", "by"}), 0, 0, 2, 2, Rop::Copy);
  EXPECT_EQ(ToRows(up), (Rows{"rrgg", "rrgg", "bbyy", "bbyy"}));

  Bitmap down(2, 2);
  StretchBlt(down, 0, 0, 2, 2, FromRows({"rgby", "cmdk", "bymr", "kdgc"}), 0, 0, 4, 4, Rop::Copy);
  EXPECT_EQ(ToRows(down), (Rows{"rb", "bm"}));

  // The two passes of a stretched sprite line up: mask and image sample the same offsets.
  Bitmap pic = FromRows({"yyyy", "yyyy", "yyyy"});
  Bitmap sheet = FromRows({"#r", "..", "#.", "##"});  // image rows 0-1, mask rows 2-3
  StretchBlt(pic, 0, 0, 4, 3, sheet, 0, 2, 2, 2, Rop::And);
  StretchBlt(pic, 0, 0, 4, 3, sheet, 0, 0, 2, 2, Rop::Or);
  EXPECT_EQ(ToRows(pic), (Rows{"##yy", "##yy", "...."}));
}

TEST(RasterStretch, ClipsAgainstBothBitmaps) {
  const Bitmap src = FromRows({"rg", "by"});
  struct Case {
    int dx, dy, dw, dh, sx, sy, sw, sh;
    Rows want;
  } cases[] = {
      {0, 0, 4, 4, -1, 0, 2, 2, {"..rr", "..rr", "..bb", "..bb"}},  // source column -1 missing
      {0, 0, 4, 4, 0, 1, 2, 2, {"bbyy", "bbyy", "....", "...."}},  // source row 2 missing
      {-1, 0, 4, 2, 0, 0, 2, 2, {"rgg.", "byy.", "....", "...."}},  // destination column -1
      {0, 3, 4, 4, 0, 0, 2, 2, {"....", "....", "....", "rrgg"}},  // destination rows 4 on
      {0, 0, 0, 4, 0, 0, 2, 2, {"....", "....", "....", "...."}},  // non-positive sizes: nothing
      {0, 0, -4, 4, 0, 0, 2, 2, {"....", "....", "....", "...."}},
      {0, 0, 4, 4, 0, 0, 2, -2, {"....", "....", "....", "...."}},
      {0, 0, INT_MAX, INT_MAX, 0, 0, 1, 1, {"rrrr", "rrrr", "rrrr", "rrrr"}},
      {0, 0, 4, 4, INT_MIN, INT_MIN, INT_MAX, INT_MAX, {"....", "....", "....", "...."}},
      {INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, 0, 2, 2, {"....", "....", "....", "...."}},
  };
  for (const auto& c : cases) {
    Bitmap dst(4, 4);
    StretchBlt(dst, c.dx, c.dy, c.dw, c.dh, src, c.sx, c.sy, c.sw, c.sh, Rop::Copy);
    EXPECT_EQ(ToRows(dst), c.want) << c.dx << "," << c.dy << " " << c.dw << "x" << c.dh << " from " << c.sx
                                   << "," << c.sy;
  }
}

TEST(RasterShapes, RectangleExcludesRightAndBottomEdges) {
  struct Case {
    int x1, y1, x2, y2;
    Fill fill;
    Rows want;
  } cases[] = {
      {0, 0, 4, 3, Fill::None, {"####..", "#..#..", "####..", "......"}},
      {0, 0, 4, 3, Fill::Solid, {"####..", "####..", "####..", "......"}},
      {4, 3, 0, 0, Fill::None, {"####..", "#..#..", "####..", "......"}},  // corners in any order
      {1, 1, 2, 2, Fill::None, {"......", ".#....", "......", "......"}},
      {1, 1, 1, 3, Fill::Solid, {"......", "......", "......", "......"}},  // empty box
      {-1, 0, 3, 4, Fill::None, {"###...", "..#...", "..#...", "###..."}},  // off the left edge
      {3, -1, 7, 2, Fill::None, {"...#..", "...###", "......", "......"}},  // off the top and right
      {-10, -10, 100, 100, Fill::None, {"......", "......", "......", "......"}},
      {INT_MIN, INT_MIN, INT_MAX, INT_MAX, Fill::Solid, {"######", "######", "######", "######"}},
  };
  for (const auto& c : cases) {
    Bitmap b(6, 4);
    Rectangle(b, c.x1, c.y1, c.x2, c.y2, 0x000000, c.fill, PenMode::Copy);
    EXPECT_EQ(ToRows(b), c.want) << c.x1 << "," << c.y1 << "-" << c.x2 << "," << c.y2;
  }
}

TEST(RasterShapes, MergePenOrsTheColourOntoThePicture) {
  Bitmap b = FromRows({"rgb#", "cmdk"});
  Rectangle(b, 0, 0, 4, 2, 0xFFFFFF, Fill::Solid, PenMode::Merge);
  EXPECT_EQ(ToRows(b), (Rows{"....", "...."}));

  Bitmap c = FromRows({"rgb#", "#..."});
  Rectangle(c, 0, 0, 4, 1, 0x0000FF, Fill::None, PenMode::Merge);
  EXPECT_EQ(ToRows(c), (Rows{"rymr", "#..."}));
}

TEST(RasterShapes, EllipseLiesInsideItsBoxTouchingEachSide) {
  struct Case {
    int w, h;
    Fill fill;
    Rows want;
  } cases[] = {
      {6, 4, Fill::None, {"..####..", ".#....#.", ".#....#.", "..####.."}},
      {6, 4, Fill::Solid, {"..####..", ".######.", ".######.", "..####.."}},
      {5, 5, Fill::None, {"..###..", ".#...#.", ".#...#.", ".#...#.", "..###.."}},
      {3, 3, Fill::Solid, {"..#..", ".###.", "..#.."}},
      {4, 1, Fill::None, {".####."}},
  };
  for (const auto& c : cases) {
    Bitmap b(c.w + 2, c.h + 2);
    Ellipse(b, 1, 1, 1 + c.w, 1 + c.h, 0x000000, c.fill, PenMode::Copy);
    Rows inner = ToRows(b);
    EXPECT_EQ(inner.front(), std::string(c.w + 2, '.'));
    EXPECT_EQ(inner.back(), std::string(c.w + 2, '.'));
    inner.erase(inner.begin());
    inner.pop_back();
    EXPECT_EQ(inner, c.want) << c.w << "x" << c.h;
  }
}

TEST(RasterShapes, RoundRectKeepsStraightSidesBetweenItsCorners) {
  Bitmap b(10, 7);
  RoundRect(b, 0, 0, 10, 7, 4, 4, 0x000000, Fill::None, PenMode::Copy);
  EXPECT_EQ(ToRows(b), (Rows{".########.", "#........#", "#........#", "#........#", "#........#",
                             "#........#", ".########."}));
  Bitmap s(10, 7);
  RoundRect(s, 0, 0, 10, 7, 6, 6, 0x000000, Fill::Solid, PenMode::Copy);
  EXPECT_EQ(ToRows(s), (Rows{"..######..", ".########.", "##########", "##########", "##########",
                             ".########.", "..######.."}));
  // Corners no bigger than the box: the whole shape is then an ellipse.
  Bitmap r(6, 4), e(6, 4);
  RoundRect(r, 0, 0, 6, 4, 100, 100, 0x000000, Fill::None, PenMode::Copy);
  Ellipse(e, 0, 0, 6, 4, 0x000000, Fill::None, PenMode::Copy);
  EXPECT_EQ(ToRows(r), ToRows(e));
}

TEST(RasterShapes, ArcRunsCounterClockwiseFromStartRadialToEndRadial) {
  Bitmap full(9, 9);
  Ellipse(full, 0, 0, 9, 9, 0x000000, Fill::None, PenMode::Copy);

  // From east to north: the upper right quarter, both ends included.
  Bitmap q(9, 9);
  Arc(q, 0, 0, 9, 9, 20, 4, 4, -20, 0x000000, PenMode::Copy);
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 9; ++x) {
      bool want = full.At(x, y) == 0 && x >= 4 && y <= 4;
      EXPECT_EQ(q.At(x, y) == 0, want) << x << "," << y;
    }

  // From north to east: the other three quarters.
  Bitmap rest(9, 9);
  Arc(rest, 0, 0, 9, 9, 4, -20, 20, 4, 0x000000, PenMode::Copy);
  EXPECT_EQ(rest.At(0, 4), 0u);
  EXPECT_EQ(rest.At(4, 8), 0u);
  EXPECT_EQ(rest.At(7, 1), 0xFFFFFFu);
  for (int i = 0; i < 81; ++i) EXPECT_EQ(full.px[i], q.px[i] & rest.px[i]) << i;

  // Equal radials: the whole ellipse.
  Bitmap whole(9, 9);
  Arc(whole, 0, 0, 9, 9, 3, 1, 3, 1, 0x000000, PenMode::Copy);
  EXPECT_EQ(ToRows(whole), ToRows(full));
}

TEST(RasterShapes, LineExcludesItsEndPoint) {
  struct Case {
    int x1, y1, x2, y2;
    Rows want;
  } cases[] = {
      {0, 0, 4, 0, {"####.", ".....", "....."}},
      {4, 0, 0, 0, {".####", ".....", "....."}},
      {0, 0, 0, 2, {"#....", "#....", "....."}},
      {0, 2, 0, 0, {".....", "#....", "#...."}},
      {0, 0, 2, 2, {"#....", ".#...", "....."}},
      {0, 0, 4, 2, {"##...", "..##.", "....."}},
      {2, 1, 2, 1, {".....", ".....", "....."}},
      {-3, 1, 8, 1, {".....", "#####", "....."}},  // cut at both sides
  };
  for (const auto& c : cases) {
    Bitmap b(5, 3);
    Line(b, c.x1, c.y1, c.x2, c.y2, 0x000000, PenMode::Copy);
    EXPECT_EQ(ToRows(b), c.want) << c.x1 << "," << c.y1 << "-" << c.x2 << "," << c.y2;
  }
}

TEST(RasterShapes, PolygonFillsInsideItsOutline) {
  Bitmap sq(6, 5);
  const Point square[4] = {{1, 1}, {4, 1}, {4, 3}, {1, 3}};
  Polygon(sq, square, 4, 0x000000, Fill::Solid, PenMode::Copy);
  EXPECT_EQ(ToRows(sq), (Rows{"......", ".####.", ".####.", ".####.", "......"}));

  Bitmap ring(6, 5);
  Polygon(ring, square, 4, 0x000000, Fill::None, PenMode::Copy);
  EXPECT_EQ(ToRows(ring), (Rows{"......", ".####.", ".#..#.", ".####.", "......"}));

  // A triangle given as four points, the last two equal.
  Bitmap tri(5, 5);
  const Point t[4] = {{0, 0}, {4, 0}, {0, 4}, {0, 4}};
  Polygon(tri, t, 4, 0x000000, Fill::Solid, PenMode::Copy);
  EXPECT_EQ(ToRows(tri), (Rows{"#####", "####.", "###..", "##...", "#...."}));

  // Merge: fill and outline are both OR-ed, each pixel once in effect.
  Bitmap m = FromRows({"bbbbb", "bbbbb", "bbbbb", "bbbbb", "bbbbb"});
  Polygon(m, t, 4, 0x0000FF, Fill::Solid, PenMode::Merge);
  EXPECT_EQ(ToRows(m), (Rows{"mmmmm", "mmmmb", "mmmbb", "mmbbb", "mbbbb"}));
}

// A shape cut by any edge of the bitmap shows exactly the part of the uncut shape that lies
// inside; nothing is written outside the bitmap.
TEST(RasterShapes, ClippingAtEachEdgeKeepsTheVisiblePart) {
  using Draw = std::function<void(Bitmap&, int, int)>;
  const Point tri[4] = {{0, 0}, {8, 3}, {2, 8}, {2, 8}};
  std::vector<std::pair<const char*, Draw>> shapes = {
      {"rect", [](Bitmap& b, int x, int y) { Rectangle(b, x, y, x + 8, y + 7, 0, Fill::None, PenMode::Copy); }},
      {"ellipse", [](Bitmap& b, int x, int y) { Ellipse(b, x, y, x + 8, y + 7, 0, Fill::Solid, PenMode::Copy); }},
      {"ring", [](Bitmap& b, int x, int y) { Ellipse(b, x, y, x + 9, y + 6, 0, Fill::None, PenMode::Copy); }},
      {"roundrect",
       [](Bitmap& b, int x, int y) { RoundRect(b, x, y, x + 9, y + 8, 4, 4, 0, Fill::Solid, PenMode::Copy); }},
      {"arc", [](Bitmap& b, int x, int y) { Arc(b, x, y, x + 9, y + 9, x + 9, y, x, y + 9, 0, PenMode::Copy); }},
      {"line", [](Bitmap& b, int x, int y) { Line(b, x, y + 1, x + 8, y + 6, 0, PenMode::Copy); }},
      {"polygon",
       [&tri](Bitmap& b, int x, int y) {
         Point p[4];
         for (int k = 0; k < 4; ++k) p[k] = {tri[k].x + x, tri[k].y + y};
         Polygon(b, p, 4, 0, Fill::Solid, PenMode::Copy);
       }},
  };
  const int offsets[][2] = {{-4, 1}, {6, 1}, {1, -4}, {1, 6}, {-5, -5}, {7, 7}};
  for (const auto& [name, draw] : shapes) {
    Bitmap big(30, 30);
    draw(big, 10, 10);
    for (const auto& o : offsets) {
      Bitmap small(10, 10);
      draw(small, o[0], o[1]);
      for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
          ASSERT_EQ(small.At(x, y), big.At(x - o[0] + 10, y - o[1] + 10))
              << name << " at " << o[0] << "," << o[1] << " pixel " << x << "," << y;
    }
  }
}

TEST(RasterShapes, ExtremeCoordinatesStayInsideMemory) {
  Bitmap b(4, 4);
  const int v[] = {INT_MIN, -1000000000, -1, 0, 3, 1000000000, INT_MAX};
  for (int a : v)
    for (int c : v) {
      Ellipse(b, a, a, c, c, 0, Fill::Solid, PenMode::Copy);
      RoundRect(b, a, 0, c, 4, a, c, 0, Fill::None, PenMode::Merge);
      Arc(b, a, a, c, c, a, c, c, a, 0, PenMode::Copy);
      Line(b, a, c, c, a, 0, PenMode::Copy);
      const Point p[4] = {{a, a}, {c, a}, {c, c}, {a, c}};
      Polygon(b, p, 4, 0, Fill::Solid, PenMode::Copy);
    }
  Polygon(b, nullptr, 4, 0, Fill::Solid, PenMode::Copy);
  SUCCEED();
}

// The present compares only rows written since the last one: every operation that changes a
// pixel must have marked its row. Each case runs on a busy picture, so any write shows.
TEST(RasterWrittenRows, EveryChangedRowIsMarked) {
  Bitmap src(64, 64, 0);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) src.Set(x, y, uint32_t(x * 7 + y * 131) & 0xFFFFFF);
  const struct {
    const char* name;
    void (*op)(Bitmap& dst, const Bitmap& src);
  } cases[] = {
      {"BitBlt", [](Bitmap& d, const Bitmap& s) { BitBlt(d, 10, 20, 30, 7, s, 3, 4, Rop::Copy); }},
      {"BitBlt self", [](Bitmap& d, const Bitmap&) { BitBlt(d, 0, 30, 20, 9, d, 5, 2, Rop::NotOr); }},
      {"BitBlt And", [](Bitmap& d, const Bitmap& s) { BitBlt(d, 3, 0, 61, 64, s, 0, 0, Rop::And); }},
      {"BitBlt Or", [](Bitmap& d, const Bitmap& s) { BitBlt(d, 0, 5, 64, 50, s, 0, 9, Rop::Or); }},
      {"StretchBlt", [](Bitmap& d, const Bitmap& s) { StretchBlt(d, -5, 50, 40, 20, s, 0, 0, 9, 5, Rop::Or); }},
      {"Rectangle", [](Bitmap& d, const Bitmap&) { Rectangle(d, 2, 3, 40, 9, 0x123456, Fill::None, PenMode::Copy); }},
      {"RoundRect", [](Bitmap& d, const Bitmap&) { RoundRect(d, 1, 1, 60, 30, 9, 7, 0xFFFFFF, Fill::Solid, PenMode::Merge); }},
      {"Ellipse", [](Bitmap& d, const Bitmap&) { Ellipse(d, 10, 40, 50, 70, 0x00FF00, Fill::Solid, PenMode::Copy); }},
      {"Arc", [](Bitmap& d, const Bitmap&) { Arc(d, 0, 0, 63, 63, 60, 0, 0, 60, 0x0000FF, PenMode::Copy); }},
      {"Line", [](Bitmap& d, const Bitmap&) { Line(d, 0, 63, 63, 5, 0xABCDEF, PenMode::Copy); }},
      {"Polygon", [](Bitmap& d, const Bitmap&) {
         const Point q[] = {{5, 40}, {30, 33}, {50, 60}, {12, 63}};
         Polygon(d, q, 4, 0x345678, Fill::Solid, PenMode::Copy);
       }},
  };
  auto gens = [](const Bitmap& b) {
    std::vector<uint32_t> g;
    for (int y = 0; y < b.height; ++y) g.push_back(b.RowGen(y));
    return g;
  };
  for (const auto& c : cases) {
    Bitmap dst = src;
    const Bitmap before = dst;
    const std::vector<uint32_t> was = gens(dst);
    c.op(dst, src);
    int changedRows = 0;
    for (int y = 0; y < dst.height; ++y) {
      const bool changed =
          std::memcmp(dst.px.data() + y * dst.width, before.px.data() + y * dst.width, dst.width * 4) != 0;
      changedRows += changed;
      if (changed) {
        EXPECT_NE(dst.RowGen(y), was[y]) << c.name << ": row " << y << " changed unmarked";
      }
    }
    EXPECT_GT(changedRows, 0) << c.name;
  }
  // Copying the same pixels back writes nothing; a row changed since is copied again, and a
  // changed source row too.
  {
    Bitmap same = src;
    const std::vector<uint32_t> was = gens(same);
    BitBlt(same, 0, 0, 64, 64, src, 0, 0, Rop::Copy);
    EXPECT_EQ(gens(same), was);
    EXPECT_EQ(same.px, src.px);
    same.Set(3, 10, 0x010203);
    Bitmap changedSrc = src;
    BitBlt(same, 0, 0, 64, 64, changedSrc, 0, 0, Rop::Copy);  // another picture: compared, not trusted
    EXPECT_EQ(same.px, src.px);
    BitBlt(same, 0, 0, 64, 64, changedSrc, 0, 0, Rop::Copy);  // noted now: skipped
    changedSrc.Set(7, 20, 0x040506);
    same.Set(9, 30, 0x070809);
    BitBlt(same, 0, 0, 64, 64, changedSrc, 0, 0, Rop::Copy);
    EXPECT_EQ(same.px, changedSrc.px);
  }
  // An AND or OR, or a filled shape, that changes no pixel of a row writes nothing there: a
  // black screen darkened or blacked again, a white one lightened; a row where one pixel
  // changes is marked and gets the whole span.
  {
    Bitmap black(64, 64, 0), white(64, 64, 0xFFFFFF);
    const std::vector<uint32_t> wasBlack = gens(black), wasWhite = gens(white);
    Rectangle(black, -5, 3, 70, 60, 0, Fill::Solid, PenMode::Copy);
    Ellipse(white, 4, 4, 60, 50, 0x00FF00, Fill::Solid, PenMode::Merge);
    EXPECT_EQ(gens(black), wasBlack);
    EXPECT_EQ(gens(white), wasWhite);
    for (int x : {0, 17, 63}) {
      black.Set(x, 30, 0x010101);
      const std::vector<uint32_t> before = gens(black);
      Rectangle(black, 0, 10, 64, 40, 0, Fill::Solid, PenMode::Copy);
      EXPECT_EQ(black.px, std::vector<uint32_t>(64 * 64, 0)) << x;
      for (int y = 0; y < 64; ++y) EXPECT_EQ(black.RowGen(y) != before[y], y == 30) << x << " row " << y;
    }
  }
  {
    Bitmap black(64, 64, 0), white(64, 64, 0xFFFFFF), mask(32, 32, 0x7F7F7F);
    const std::vector<uint32_t> wasBlack = gens(black), wasWhite = gens(white);
    BitBlt(black, 0, 0, 32, 32, mask, 0, 0, Rop::And);
    BitBlt(white, 16, 16, 32, 32, mask, 0, 0, Rop::Or);
    EXPECT_EQ(gens(black), wasBlack);
    EXPECT_EQ(gens(white), wasWhite);
    black.Set(40, 12, 0xFFFFFF);
    const std::vector<uint32_t> before = gens(black);
    BitBlt(black, 20, 0, 32, 32, mask, 0, 0, Rop::And);
    EXPECT_EQ(black.At(40, 12), 0x7F7F7Fu);
    for (int y = 0; y < 64; ++y)
      if (y == 12) {
        EXPECT_NE(black.RowGen(y), before[y]);
      } else {
        EXPECT_EQ(black.RowGen(y), before[y]) << y;
      }
  }
  // Reading counts nothing; a copy or a resize is a new picture.
  const Bitmap& ro = src;
  const uint32_t g5 = src.RowGen(5);
  (void)ro.Row(5);
  (void)ro.At(1, 1);
  EXPECT_EQ(src.RowGen(5), g5);
  Bitmap copy = src;
  EXPECT_NE(copy.Serial(), src.Serial());
  const uint64_t serial = src.Serial();
  src.Resize(8, 2);
  EXPECT_NE(src.Serial(), serial);
}
