// Text cell placement, exact glyph colour, clipping and the PNG round trip of the Qt graphics.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/qtgfx/qt_gfx.h"

namespace {

using plat::Bitmap;
namespace qg = plat::qtgfx;

constexpr uint32_t kBg = 0x00102030, kInk = 0x00ABCDEF;

struct Ink {
  int top = 1 << 30, bottom = -1, left = 1 << 30, right = -1, count = 0, stray = 0;
};

Ink InkOf(const Bitmap& b) {
  Ink k;
  for (int y = 0; y < b.height; ++y)
    for (int x = 0; x < b.width; ++x) {
      const uint32_t c = b.At(x, y);
      if (c == kBg) continue;
      if (c != kInk) { ++k.stray; continue; }
      ++k.count;
      k.top = std::min(k.top, y), k.bottom = std::max(k.bottom, y);
      k.left = std::min(k.left, x), k.right = std::max(k.right, x);
    }
  return k;
}

class QtGfx : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { qg::EnsureGuiApplication(); }
};

TEST_F(QtGfx, FaceNamesMapToInstalledFaces) {
  EXPECT_EQ(qg::FaceFor("ＭＳ 明朝"), "IPAMincho");
  EXPECT_EQ(qg::FaceFor("ＭＳ Ｐゴシック"), "IPAPGothic");
  EXPECT_EQ(qg::FaceFor("ＭＳ ゴシック"), "IPAGothic");
  EXPECT_EQ(qg::FaceFor("Sans"), "Sans");
}

// The height is the whole character cell: ink from the capitals to the lowest descender
// stays inside rows [y, y + cell), and a bigger cell gives taller letters.
TEST_F(QtGfx, TextFitsItsCellAndGrowsWithIt) {
  struct Case { const char* font; int cell; } cases[] = {
      {"ＭＳ 明朝", 12}, {"ＭＳ 明朝", 16}, {"ＭＳ 明朝", 21}, {"ＭＳ 明朝", 53},
      {"ＭＳ 明朝", 213}, {"ＭＳ Ｐゴシック", 12}, {"ＭＳ Ｐゴシック", 24}};
  std::string lastFont;
  int lastHeight = 0;
  for (int i = 0; i < int(std::size(cases)); ++i) {
    const auto& c = cases[i];
    Bitmap b(c.cell * 8, c.cell * 3, kBg);
    const int y = c.cell;
    qg::DrawText(b, c.font, c.cell, kInk, 5, y, "Hgjpy漢あ");
    const Ink k = InkOf(b);
    SCOPED_TRACE(std::string(c.font) + " " + std::to_string(c.cell));
    ASSERT_GT(k.count, 0);
    EXPECT_EQ(k.stray, 0) << "glyph pixels must be written in the colour exactly";
    EXPECT_GE(k.top, y);
    EXPECT_LT(k.bottom, y + c.cell);
    // The ink spans most of the cell (it is not drawn at the em size of a smaller font).
    EXPECT_GE(k.bottom - k.top + 1, c.cell * 3 / 4);
    EXPECT_GE(k.left, 5);
    EXPECT_LE(k.right - 5 + 1, qg::TextWidth(c.font, c.cell, "Hgjpy漢あ") + 1);
    if (lastFont == c.font) {
      EXPECT_GT(k.bottom - k.top + 1, lastHeight);
    }
    lastFont = c.font, lastHeight = k.bottom - k.top + 1;
  }
}

// Text partly outside the bitmap draws its visible part, the same pixels as unclipped.
// Strings are rendered once and copied in after: a string drawn from the cache, in another
// colour, or rendered anew after the bounded cache has dropped it gives the same pixels.
TEST_F(QtGfx, CachedTextDrawsAsRenderedAndTheCacheStaysBounded) {
  const std::string text = "ステージ 12  SCORE";
  auto draw = [&](uint32_t colour) {
    Bitmap b(320, 40, kBg);
    qg::DrawText(b, "ＭＳ 明朝", 24, colour, 3, 5, text);
    return b;
  };
  const Bitmap first = draw(kInk);
  {  // the rows it draws on are marked for the present
    Bitmap b(320, 40, kBg);
    qg::DrawText(b, "ＭＳ 明朝", 24, kInk, 3, 5, text);
    for (int y = 0; y < b.height; ++y)
      for (int x = 0; x < b.width; ++x)
        if (b.At(x, y) != kBg) {
          ASSERT_NE(b.RowGen(y), 0u) << y;
        }
  }
  const uint64_t renders = qg::TextCacheState().renders;
  EXPECT_EQ(draw(kInk).px, first.px);
  EXPECT_EQ(qg::TextCacheState().renders, renders) << "drawn again without rendering";
  // Another colour: the same glyph pixels, only their colour differs.
  const Bitmap other = draw(0x00000001);
  for (size_t i = 0; i < first.px.size(); ++i)
    ASSERT_EQ(other.px[i] == 0x00000001, first.px[i] == kInk) << i;
  // Far more strings than the cache keeps: it stays bounded and the first is rendered anew.
  Bitmap scratch(64, 32, kBg);
  for (int i = 0; i < 2000; ++i) qg::DrawText(scratch, "ＭＳ 明朝", 16, kInk, 0, 0, std::to_string(i));
  const qg::TextCacheStats after = qg::TextCacheState();
  EXPECT_LE(after.entries, 512u);
  EXPECT_LE(after.bytes, 2u << 20);
  EXPECT_EQ(draw(kInk).px, first.px);
  EXPECT_EQ(qg::TextCacheState().renders, after.renders + 1);
}

TEST_F(QtGfx, TextClipsAtEveryEdge) {
  const int cell = 16;
  Bitmap whole(200, 60, kBg);
  qg::DrawText(whole, "ＭＳ 明朝", cell, kInk, 40, 20, "ぷかぷか");
  const int w = qg::TextWidth("ＭＳ 明朝", cell, "ぷかぷか");
  struct Case { int x, y; } cases[] = {{-w / 2, -cell / 2}, {-w - 10, 0}, {20, 10}, {30 - w / 2, 40}};
  for (const auto& c : cases) {
    Bitmap part(30, 20, kBg);
    qg::DrawText(part, "ＭＳ 明朝", cell, kInk, c.x, c.y, "ぷかぷか");
    for (int y = 0; y < part.height; ++y)
      for (int x = 0; x < part.width; ++x) {
        const int wx = x - c.x + 40, wy = y - c.y + 20;
        const uint32_t want = whole.Contains(wx, wy) ? whole.At(wx, wy) : kBg;
        ASSERT_EQ(part.At(x, y), want) << c.x << "," << c.y << " at " << x << "," << y;
      }
  }
  Bitmap empty;
  qg::DrawText(empty, "ＭＳ 明朝", cell, kInk, 0, 0, "あ");  // must not crash
}

TEST_F(QtGfx, TextWidthAddsUp) {
  const int a = qg::TextWidth("ＭＳ 明朝", 16, "ABC"), b = qg::TextWidth("ＭＳ 明朝", 16, "ABCABC");
  EXPECT_GT(a, 0);
  EXPECT_EQ(b, 2 * a);
  EXPECT_EQ(qg::TextWidth("ＭＳ 明朝", 16, ""), 0);
  EXPECT_GT(qg::TextWidth("ＭＳ 明朝", 32, "ABC"), a);
}

TEST_F(QtGfx, PngRoundTripKeepsChannels) {
  Bitmap b(7, 3, 0);
  const uint32_t colours[] = {0x000000FF, 0x0000FF00, 0x00FF0000, 0x00123456, 0x00FFFFFF, 0};
  for (int i = 0; i < 21; ++i) b.px[i] = colours[i % 6] ^ uint32_t(i);
  const std::string path = ::testing::TempDir() + "qtgfx_round.png";
  ASSERT_TRUE(qg::SavePng(path, b));
  Bitmap back;
  ASSERT_TRUE(qg::LoadPng(path, back));
  EXPECT_EQ(back.width, 7);
  EXPECT_EQ(back.height, 3);
  EXPECT_EQ(back.px, b.px);
  std::remove(path.c_str());
}

TEST_F(QtGfx, MissingPicturesReportFalse) {
  Bitmap b;
  EXPECT_FALSE(qg::LoadPng(::testing::TempDir() + "no-such-file.png", b));
  EXPECT_FALSE(qg::LoadArt("NoSuchArtName", b));
  EXPECT_FALSE(qg::SavePng(::testing::TempDir() + "empty.png", Bitmap()));
}

}  // namespace
