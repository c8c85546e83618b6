// Tests of the game's drawing primitives: rounding, sprite blits, tinted silhouettes, shapes, text.
#include "game/shell/draw.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>

#include "game/game.h"
#include "platform/null/null_host.h"
#include "tests/gfx/pixel_rows.h"

using testpx::FromRows;
using testpx::ToRows;
using Rows = std::vector<std::string>;

namespace {

// Records the text calls instead of painting them.
class TextLogHost : public plat::NullHost {
 public:
  struct Call {
    std::string font;
    int height;
    uint32_t colour;
    int x, y;
    std::string text;
    const Bitmap* dst;
  };
  std::vector<Call> calls;
  void DrawText(Bitmap& dst, const std::string& fontName, int cellHeight, uint32_t colour, int x, int y,
                std::string_view utf8) override {
    calls.push_back({fontName, cellHeight, colour, x, y, std::string(utf8), &dst});
  }
};

struct DrawTest : ::testing::Test {
  TextLogHost host;
  Game g{host};
  DrawTest() { g.ScratchBitmap.Resize(100, 100); }
};

// A 3x2 sprite: image rows 0-1 (on black), mask rows 2-3 (black where the sprite is).
const Rows kSheetY = {"r#g", "#b#", "#.#", ".#."};
// The same sprite with its mask beside it: image columns 0-2, mask columns 3-5.
const Rows kSheetX = {"r#g#.#", "#b#.#."};

}  // namespace

TEST(DrawRounding, RoundToIntTakesHalvesAwayFromZero) {
  struct Case {
    float x;
    int32_t want;
  } cases[] = {{2.5f, 3},   {-2.5f, -3},      {-0.4f, 0},   {0.4f, 0},         {0.5f, 1},
               {-0.5f, -1}, {1.49999994f, 1}, {0.49999997f, 0}, {7.0f, 7},    {-7.75f, -8},
               {FLT_MAX, INT32_MAX}, {-FLT_MAX, INT32_MIN}};
  for (const auto& c : cases) EXPECT_EQ(RoundToInt(c.x), c.want) << c.x;
}

TEST(DrawRounding, RoundEvenTakesHalvesToEven) {
  struct Case {
    float x;
    int32_t want;
  } cases[] = {{2.5f, 2}, {3.5f, 4}, {0.5f, 0}, {1.5f, 2}, {-2.5f, -2}, {-3.5f, -4},
               {2.4f, 2}, {2.6f, 3}, {-0.4f, 0}, {FLT_MAX, INT32_MAX}};
  for (const auto& c : cases) EXPECT_EQ(RoundEven(c.x), c.want) << c.x;
}

TEST_F(DrawTest, MaskedBltsPutTheSpriteOverThePicture) {
  const Bitmap sheetY = FromRows(kSheetY), sheetX = FromRows(kSheetX);
  Bitmap a = FromRows({"yyyy", "cccc"}), b = FromRows({"yyyy", "cccc"});
  MaskedBlt(sheetY, 0, 0, 2, 3, 2, a, 1, 0);
  MaskedBltX(sheetX, 0, 3, 0, 3, 2, b, 1, 0);
  EXPECT_EQ(ToRows(a), (Rows{"yryg", "ccbc"}));
  EXPECT_EQ(ToRows(b), (Rows{"yryg", "ccbc"}));

  // Partly off the picture: only the visible part is drawn.
  Bitmap c = FromRows({"yyyy", "cccc"});
  MaskedBlt(sheetY, 0, 0, 2, 3, 2, c, -1, 1);
  EXPECT_EQ(ToRows(c), (Rows{"yyyy", "cgcc"}));
}

TEST_F(DrawTest, StretchedMaskedBltsScaleMaskAndImageAlike) {
  const Rows bg = {"yyyyyy", "yyyyyy", "cccccc", "cccccc"};
  const Rows want = {"rryygg", "rryygg", "ccbbcc", "ccbbcc"};
  Bitmap a = FromRows(bg), b = FromRows(bg), c(6, 4);
  StretchMaskedBlt(FromRows(kSheetY), 0, 0, 2, 6, 4, a, 0, 0, 3, 2);
  StretchMaskedBltX(FromRows(kSheetX), 0, 3, 0, 6, 4, b, 0, 0, 3, 2);
  StretchCopyBlt(FromRows(kSheetY), 0, 0, 6, 4, c, 0, 0, 3, 2);
  EXPECT_EQ(ToRows(a), want);
  EXPECT_EQ(ToRows(b), want);
  EXPECT_EQ(ToRows(c), (Rows{"rr##gg", "rr##gg", "##bb##", "##bb##"}));
}

TEST_F(DrawTest, TintedBltLightensTheSpriteShapeOnly) {
  const Bitmap sheetY = FromRows(kSheetY), sheetX = FromRows(kSheetX);
  struct Case {
    uint32_t colour;
    Rows bg, want;
  } cases[] = {
      {0x000000, {"ddd", "ddd"}, {".d.", "d.d"}},  // white silhouette over dark
      {0x000000, {"...", "..."}, {"...", "..."}},  // over white: unchanged
      {0xFFFFFF, {"rgb", "#dk"}, {"rgb", "#dk"}},  // white tint changes nothing
      {0xDFDFDF, {"###", "###"}, {"d#d", "#d#"}},  // grey lightens towards its complement
  };
  for (const auto& c : cases) {
    g.ScratchBitmap.Resize(100, 100, 0x123456);  // whatever an earlier call left
    Bitmap a = FromRows(c.bg), b = FromRows(c.bg);
    TintedBlt(g, sheetY, 0, 99, 2, 3, 2, a, 0, 0, c.colour);
    TintedBltX(g, sheetX, 99, 3, 0, 3, 2, b, 0, 0, c.colour);
    EXPECT_EQ(ToRows(a), c.want) << std::hex << c.colour;
    EXPECT_EQ(ToRows(b), c.want) << std::hex << c.colour;
  }
}

TEST_F(DrawTest, ShapesRoundTheirCoordinatesHalfToEven) {
  g.BackBuffer.Resize(6, 5);
  // 0.5 -> 0, 4.5 -> 4, 3.5 -> 4 (halves away from zero would give 1, 5, 4).
  DrawRect(g, 0x000000, bsClear, pmCopy, 0.5f, 0.5f, 4.5f, 3.5f);
  EXPECT_EQ(ToRows(g.BackBuffer), (Rows{"####..", "#..#..", "#..#..", "####..", "......"}));

  g.BackBuffer.Resize(6, 5);
  DrawLine(g, 0x000000, pmCopy, 1.5f, 2.5f, 5.4f, 2.5f);
  EXPECT_EQ(ToRows(g.BackBuffer), (Rows{"......", "......", "..###.", "......", "......"}));
}

TEST_F(DrawTest, MergeShapesOrTheColour) {
  g.BackBuffer = FromRows({"rgb#", "cmdk", "yyyy"});
  DrawRect(g, 0xFFFFFF, bsSolid, pmMerge, 0, 0, 4, 3);
  EXPECT_EQ(ToRows(g.BackBuffer), (Rows{"....", "....", "...."}));

  g.BackBuffer = FromRows({"bbbb", "bbbb", "bbbb", "bbbb"});
  DrawEllipse(g, 0x0000FF, bsSolid, pmMerge, 0, 0, 4, 4);
  EXPECT_EQ(ToRows(g.BackBuffer), (Rows{"bmmb", "mmmm", "mmmm", "bmmb"}));

  g.BackBuffer = FromRows({"bbbbb", "bbbbb", "bbbbb", "bbbbb", "bbbbb"});
  DrawPolygon(g, 0x0000FF, pmMerge, 0, 0, 4, 0, 0, 4, 0, 4);
  EXPECT_EQ(ToRows(g.BackBuffer), (Rows{"mmmmm", "mmmmb", "mmmbb", "mmbbb", "mbbbb"}));
}

TEST_F(DrawTest, RoundRectAndEllipseOutlines) {
  g.BackBuffer.Resize(10, 7);
  DrawRoundRect(g, 0x000000, bsClear, pmCopy, 0, 0, 10, 7, 4, 4);
  EXPECT_EQ(ToRows(g.BackBuffer), (Rows{".########.", "#........#", "#........#", "#........#",
                                        "#........#", "#........#", ".########."}));
  g.BackBuffer.Resize(8, 6);
  DrawEllipse(g, 0x000000, bsClear, pmCopy, 1, 1, 7, 5);
  EXPECT_EQ(ToRows(g.BackBuffer), (Rows{"........", "..####..", ".#....#.", ".#....#.", "..####..", "........"}));
}

// The arc runs counter-clockwise from the radial towards (X4, Y4) to the one towards (X3, Y3),
// and is never filled.
TEST_F(DrawTest, DrawArcRunsFromTheFourthPointToTheThird) {
  g.BackBuffer.Resize(9, 9);
  DrawArc(g, 0x000000, bsSolid, pmCopy, 0, 0, 9, 9, /*east*/ 20, 4, /*north*/ 4, -20);
  const Bitmap& b = g.BackBuffer;
  EXPECT_EQ(b.At(4, 0), 0u);          // north end
  EXPECT_EQ(b.At(0, 4), 0u);          // west
  EXPECT_EQ(b.At(4, 8), 0u);          // south
  EXPECT_EQ(b.At(8, 4), 0u);          // east end
  EXPECT_EQ(b.At(7, 1), 0xFFFFFFu);   // the upper right quarter is left out
  EXPECT_EQ(b.At(6, 0), 0xFFFFFFu);
  EXPECT_EQ(b.At(4, 4), 0xFFFFFFu);   // no fill
}

TEST_F(DrawTest, DrawTextAsksForTheCellHeightOfItsPointSize) {
  struct Case {
    float size, x, y;
    int height, wantX, wantY;
  } cases[] = {
      {12, 570, 458, 16, 570, 458},
      {18, 2.5f, 3.5f, 24, 2, 4},
      {17, 0, 0, 23, 0, 0},
      {30, -1.5f, 0.5f, 40, -2, 0},
  };
  for (const auto& c : cases) {
    host.calls.clear();
    DrawText(g, c.size, 0xE6FAFA, "ＳＴＡＧＥ", c.x, c.y);
    ASSERT_EQ(host.calls.size(), 1u);
    const auto& k = host.calls[0];
    EXPECT_EQ(k.height, c.height) << c.size;
    EXPECT_EQ(k.x, c.wantX) << c.x;
    EXPECT_EQ(k.y, c.wantY) << c.y;
    EXPECT_EQ(k.font, "ＭＳ 明朝");
    EXPECT_EQ(k.colour, 0xE6FAFAu);
    EXPECT_EQ(k.text, "ＳＴＡＧＥ");
    EXPECT_EQ(k.dst, &g.BackBuffer);
  }
}

// Through the headless host's real text painter: a 16-pixel line with its top at row 458.
TEST(DrawTextPainted, Size12LineSitsInItsSixteenPixelCell) {
  plat::NullHost host;
  Game g(host);
  g.BackBuffer.Resize(640, 480, 0x000000);
  DrawText(g, 12, 0xFFFFFF, "ＳＴＡＧＥ 12", 570, 458);
  int top = INT_MAX, bottom = INT_MIN, left = INT_MAX, lit = 0;
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) {
      uint32_t p = g.BackBuffer.At(x, y);
      if (p == 0) continue;
      EXPECT_EQ(p, 0xFFFFFFu) << "blended pixel at " << x << "," << y;
      top = std::min(top, y);
      bottom = std::max(bottom, y);
      left = std::min(left, x);
      ++lit;
    }
  ASSERT_GT(lit, 20);
  EXPECT_GE(top, 458);
  EXPECT_LT(bottom, 458 + 16);
  EXPECT_GE(left, 570);
}
