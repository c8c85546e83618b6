// Checks the embedded art against the sheet layouts: sizes, mask rules, shared silhouettes,
// sheets pre-drawn on the backgrounds, the darkening tiles and the texts baked in dim.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "art/art_init.h"
#include "platform/qtgfx/qt_gfx.h"
#include "tools/artgen/layout.h"

namespace {

using plat::Bitmap;
using namespace artgen;

const Bitmap& Art(const std::string& name) {
  static std::map<std::string, Bitmap> cache;
  auto it = cache.find(name);
  if (it == cache.end()) {
    Bitmap b;
    plat::qtgfx::LoadArt(name, b);
    it = cache.emplace(name, std::move(b)).first;
  }
  return it->second;
}

// Counts faults of one masked sprite: grey mask pixels, and image pixels lit outside the mask.
struct MaskFaults {
  int grey = 0, bleed = 0;
};
MaskFaults CheckMasked(const Bitmap& b, int ix, int iy, int mx, int my, int w, int h) {
  MaskFaults f;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint32_t m = b.At(mx + x, my + y);
      if (m != 0 && m != 0xFFFFFF) ++f.grey;
      if (m == 0xFFFFFF && b.At(ix + x, iy + y) != 0) ++f.bleed;
    }
  return f;
}

TEST(Art, EverySheetIsEmbeddedAtItsLayoutSize) {
  plumet::InitArt();  // also registered by its static initialiser; a second registration is harmless
  for (const auto& s : kSheets) {
    Bitmap b;
    ASSERT_TRUE(plat::qtgfx::LoadArt(s.name, b)) << s.name;
    EXPECT_EQ(b.width, s.w) << s.name;
    EXPECT_EQ(b.height, s.h) << s.name;
  }
  Bitmap none;
  EXPECT_FALSE(plat::qtgfx::LoadArt("NoSuchSheet", none));
}

TEST(Art, MasksAreTwoValuedAndImagesBlackOutsideThem) {
  for (const auto& r : kMaskYRows)
    for (int k = 0; k < r.count; ++k) {
      const int x = r.x0 + r.step * k;
      const auto f = CheckMasked(Art(r.sheet), x, r.y, x, r.y + r.maskDy, r.w, r.h);
      EXPECT_EQ(f.grey, 0) << r.sheet << " cell " << x << "," << r.y;
      EXPECT_EQ(f.bleed, 0) << r.sheet << " cell " << x << "," << r.y;
    }
  for (const auto& s : kSharedStrips)
    for (int k = 0; k < s.count; ++k) {
      const int x = s.x0 + s.dx * k, y = s.y0 + s.dy * k;
      const auto f = CheckMasked(Art(s.sheet), x, y, s.maskX, s.maskY, s.w, s.h);
      EXPECT_EQ(f.grey, 0) << s.sheet << " frame " << x << "," << y;
      EXPECT_EQ(f.bleed, 0) << s.sheet << " frame " << x << "," << y;
    }
  for (const auto& c : kMaskXCells) {
    const auto f = CheckMasked(Art(c.sheet), c.ix, c.iy, c.mx, c.my, c.w, c.h);
    EXPECT_EQ(f.grey + f.bleed, 0) << c.sheet << " " << c.ix << "," << c.iy;
  }
}

TEST(Art, SpritesAreNotEmpty) {
  // Every used mask holds a sprite (a blank cell would draw nothing and pass the rules above).
  for (const auto& r : kMaskYRows)
    for (int k = 0; k < r.count; ++k) {
      const Bitmap& b = Art(r.sheet);
      int on = 0;
      for (int y = 0; y < r.h; ++y)
        for (int x = 0; x < r.w; ++x) on += b.At(r.x0 + r.step * k + x, r.y + r.maskDy + y) == 0;
      EXPECT_GT(on, 2) << r.sheet << " cell " << r.x0 + r.step * k << "," << r.y;
    }
}

TEST(Art, SilhouettesLaidOverEachOtherAgree) {
  for (const auto& s : kSameMasks) {
    int diff = 0;
    for (int y = 0; y < s.h; ++y)
      for (int x = 0; x < s.w; ++x) diff += Art(s.sheetA).At(s.ax + x, s.ay + y) != Art(s.sheetB).At(s.bx + x, s.by + y);
    EXPECT_EQ(diff, 0) << s.sheetA << " vs " << s.sheetB << " " << s.bx << "," << s.by;
  }
}

TEST(Art, PreDrawnCellsShowTheirBackgroundTileAroundTheSprite) {
  // The rows come in threes (backgrounds 0, 1, 2) of one drawing. Every pixel either shows each
  // row's own background tile, or is a sprite pixel, the same on all three backgrounds.
  const Bitmap& map0 = Art("ImgMap0");
  const size_t n = std::size(kPreDrawn);
  ASSERT_EQ(n % 3, 0u);
  for (size_t r = 0; r < n; r += 3) {
    const Bitmap& b = Art(kPreDrawn[r].sheet);
    for (int f = 0; f < kPreDrawn[r].frames; ++f) {
      int faults = 0, sprite = 0;
      for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
          bool showsBg = true, same = true;
          const uint32_t first = b.At(32 * f + x, kPreDrawn[r].y + y);
          for (int k = 0; k < 3; ++k) {
            const auto& row = kPreDrawn[r + k];
            const uint32_t c = b.At(32 * f + x, row.y + y);
            showsBg &= c == map0.At(32 * row.bg + x, y);
            same &= c == first;
          }
          if (!showsBg) ++sprite;
          if (!showsBg && !same) ++faults;
        }
      EXPECT_EQ(faults, 0) << kPreDrawn[r].sheet << " row " << kPreDrawn[r].y << " frame " << f;
      EXPECT_GT(sprite, 8) << kPreDrawn[r].sheet << " row " << kPreDrawn[r].y << " frame " << f;
    }
  }
}

// The editor's masked sprites over background 0 give exactly the game's pre-drawn cells.
TEST(Art, EditorSpritesMatchTheGamesPreDrawnCells) {
  struct Case {
    const char* edSheet;
    int ix, iy, mx, my;
    const char* gameSheet;
    int gx, gy;
  } cases[] = {
      {"EditImgChar3", 32, 0, 32, 32, "ImgChar3", 32, 0},    {"EditImgChar3", 32, 64, 32, 96, "ImgChar3", 32, 96},
      {"EditImgChar3", 0, 128, 0, 160, "ImgChar3", 0, 192},  {"EditImgChar4", 0, 0, 0, 32, "ImgChar4", 0, 0},
      {"EditImgChar10", 0, 0, 0, 128, "ImgChar10", 0, 0},    {"EditImgChar10", 0, 32, 0, 128, "ImgChar10", 0, 96},
      {"EditImgChar10", 0, 64, 0, 128, "ImgChar10", 0, 192},
  };
  const Bitmap& map0 = Art("ImgMap0");
  for (const auto& c : cases) {
    const Bitmap& ed = Art(c.edSheet);
    const Bitmap& game = Art(c.gameSheet);
    int diff = 0;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) {
        const uint32_t drawn = (map0.At(x, y) & ed.At(c.mx + x, c.my + y)) | ed.At(c.ix + x, c.iy + y);
        diff += drawn != game.At(c.gx + x, c.gy + y);
      }
    EXPECT_EQ(diff, 0) << c.edSheet << " " << c.ix << "," << c.iy;
  }
}

TEST(Art, DarkeningTilesNestAndEndSolidBlack) {
  const Bitmap& a = Art("ImgAnten");
  int prevBlack = 0;
  for (int k = 0; k < 8; ++k) {
    int black = 0, other = 0, lost = 0;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) {
        const uint32_t c = a.At(32 * k + x, y);
        if (c == 0) ++black;
        else if (c != 0xFFFFFF) ++other;
        if (k > 0 && a.At(32 * (k - 1) + x, y) == 0 && c != 0) ++lost;  // black set of k-1 within k
      }
    EXPECT_EQ(other, 0) << "tile " << k;
    EXPECT_EQ(lost, 0) << "tile " << k;
    EXPECT_GT(black, prevBlack) << "tile " << k;
    prevBlack = black;
  }
  EXPECT_EQ(prevBlack, 32 * 32);
}

// Lit text drawn by the game at the baked place covers exactly the baked dim glyphs.
TEST(Art, BakedTextsCoincideWithTheGamesText) {
  auto check = [](const BakedText& t, uint32_t colour) {
    const Bitmap& sheet = Art(t.sheet);
    Bitmap probe(sheet.width, sheet.height, 0);
    const int cell = CellHeightFor(t.size);
    plat::qtgfx::DrawText(probe, "ＭＳ 明朝", cell, 0xFFFFFF, t.x, t.y, t.text);
    const int w = plat::qtgfx::TextWidth("ＭＳ 明朝", cell, t.text);
    int glyph = 0, missing = 0, extra = 0;
    for (int y = t.y; y < t.y + cell; ++y)
      for (int x = t.x; x < t.x + w; ++x) {
        const bool ink = probe.At(x, y) != 0, baked = sheet.At(x, y) == colour;
        glyph += ink;
        missing += ink && !baked;
        extra += baked && !ink;
      }
    EXPECT_GT(glyph, 20) << t.text;
    EXPECT_EQ(missing, 0) << t.sheet << " " << t.text;
    EXPECT_EQ(extra, 0) << t.sheet << " " << t.text;
  };
  for (const auto& t : kBakedDim) check(t, kDim);
  for (const auto& t : kBakedLit) check(t, kLit);
}

TEST(Art, TitlePicturesAgreeUnderTheHiddenSprite) {
  const Bitmap& t = Art("ImgTitle");
  int diff = 0;
  for (int y = 55; y < 87; ++y)
    for (int x = 307; x < 339; ++x) diff += t.At(x, y) != t.At(x, y + 480);
  EXPECT_EQ(diff, 0);
}

TEST(Art, SpareAreasAreBlack) {
  struct Area {
    const char* sheet;
    int x, y, w, h;
  } areas[] = {
      {"ImgChar10", 128, 0, 32, 288}, {"ImgChar8", 0, 192, 128, 4}, {"ImgChar15", 0, 128, 160, 32},
      {"ImgChar16", 0, 72, 128, 24}, {"EditImgChar10", 0, 96, 32, 32}, {"EditPartsImage", 576, 0, 1, 33},
      {"EditPartsImage", 0, 32, 577, 1},
  };
  for (const auto& a : areas) {
    int lit = 0;
    for (int y = a.y; y < a.y + a.h; ++y)
      for (int x = a.x; x < a.x + a.w; ++x) lit += Art(a.sheet).At(x, y) != 0;
    EXPECT_EQ(lit, 0) << a.sheet << " " << a.x << "," << a.y;
  }
  // The bonus marker's top row may hold colour only in columns 10..21 (only they are erased).
  const Bitmap& m = Art("ImgChar11");
  for (int x = 0; x < 32; ++x) {
    if (x < 10 || x > 21) {
      EXPECT_EQ(m.At(128 + x, 0), 0u) << "column " << x;
    }
  }
}

TEST(Art, BannerIsTheLandedLettersWithBlackSeparators) {
  const Bitmap& b = Art("ImgChar19");
  for (int x : {20, 60, 96, 133, 170, 232, 269, 306, 345})
    for (int y = 0; y < 35; ++y) EXPECT_EQ(b.At(x, y), 0u) << "column " << x;
  // Inside its slot each letter is the game's own size-40 letter at its landing place.
  for (const auto& s : kBannerSlots) {
    Bitmap probe(379, 35, 0);
    const char text[2] = {s.letter, 0};
    plat::qtgfx::DrawText(probe, "ＭＳ 明朝", CellHeightFor(40), 0xFFFFFF, s.landX - 138, -10, text);
    int diff = 0, ink = 0;
    for (int y = 0; y < 35; ++y)
      for (int x = s.x0; x <= s.x1; ++x) {
        diff += probe.At(x, y) != b.At(x, y);
        ink += b.At(x, y) != 0;
      }
    EXPECT_EQ(diff, 0) << s.letter << " at " << s.x0;
    EXPECT_GT(ink, 30) << s.letter << " at " << s.x0;
  }
}

}  // namespace
