// The editor's own sheets: key, ball, cloud and barrier sprites on black with masks (the game holds
// them pre-drawn on the backgrounds instead), and the parts palette picture.
#include "tools/artgen/art.h"
#include "tools/artgen/layout.h"

namespace artgen {
namespace {

// The sprite at (sx, sy) with its mask at (mx, my) laid over dst as the programs draw it.
void MaskedOnto(Bitmap& dst, const Bitmap& src, int sx, int sy, int mx, int my, int w, int h, int dx, int dy) {
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i) {
      if (!dst.Contains(dx + i, dy + j) || !src.Contains(sx + i, sy + j) || !src.Contains(mx + i, my + j)) continue;
      dst.Set(dx + i, dy + j, (dst.At(dx + i, dy + j) & src.At(mx + i, my + j)) | src.At(sx + i, sy + j));
    }
}

}  // namespace

void BuildEditor(Art& a) {
  Bitmap& k = a.Sheet("EditImgChar3");
  for (int f = 0; f < 4; ++f) {
    for (int style = 0; style < 2; ++style) {
      const Cell& key = a.Sprite("Key" + std::to_string(style) + "_" + std::to_string(f));
      PutImage(k, key, 32 * f, 64 * style);
      PutMask(k, key, 32 * f, 64 * style + 32);
    }
    const Cell& ball = a.Sprite("Ball_" + std::to_string(f));
    PutImage(k, ball, 32 * f, 128);
    PutMask(k, ball, 32 * f, 160);
  }
  Bitmap& c = a.Sheet("EditImgChar4");
  PutImage(c, a.Sprite("Cloud"), 0, 0);
  PutMask(c, a.Sprite("Cloud"), 0, 32);
  Bitmap& b = a.Sheet("EditImgChar10");
  std::vector<Cell> styles;
  for (int s = 0; s < 3; ++s) {
    styles.push_back(a.Sprite("Barrier" + std::to_string(s)));
    PutImage(b, styles.back(), 0, 32 * s);
  }
  PutMask(b, UnionMask(styles), 0, 128);

  // Palette: the 18 parts in cell-code order, style 0 over background 0; spare column and row black.
  Bitmap& pal = a.Sheet("EditPartsImage");
  const Bitmap& m0 = a.sheets.at("ImgMap0");
  const Bitmap& m1 = a.sheets.at("ImgMap1");
  auto S = [&](const char* n) -> const Bitmap& { return a.sheets.at(n); };
  for (int code = 0; code < 18; ++code) {
    const int x = 32 * code;
    CopyRect(pal, x, 0, m0, 0, 0, 32, 32);
    switch (code) {
      case 1: CopyRect(pal, x, 0, m0, 96, 0, 32, 32); break;
      case 2: MaskedOnto(pal, m1, 0, 0, 0, 32, 32, 32, x, 0); break;
      case 3: MaskedOnto(pal, m1, 64, 0, 64, 32, 32, 32, x, 0); break;
      case 4: MaskedOnto(pal, S("ImgChar"), 0, 0, 0, 32, 32, 32, x, 0); break;
      case 5: MaskedOnto(pal, S("ImgChar1"), 0, 0, 128, 0, 32, 32, x, 0); break;
      case 6: MaskedOnto(pal, S("ImgChar2"), 0, 8, 0, 48, 32, 32, x, 0); break;
      case 7: MaskedOnto(pal, S("EditImgChar3"), 32, 0, 32, 32, 32, 32, x, 0); break;
      case 8: CopyRect(pal, x, 0, m0, 224, 0, 32, 32); break;
      case 9: CopyRect(pal, x, 0, m0, 288, 0, 32, 32); break;
      case 10: MaskedOnto(pal, S("EditImgChar3"), 0, 128, 0, 160, 32, 32, x, 0); break;
      case 11: MaskedOnto(pal, m1, 96, 0, 96, 32, 32, 32, x, 0); break;
      case 12: MaskedOnto(pal, m1, 128, 0, 128, 32, 32, 32, x, 0); break;
      case 13: MaskedOnto(pal, S("EditImgChar4"), 0, 0, 0, 32, 32, 32, x, 0); break;
      case 14: CopyRect(pal, x, 0, S("ImgChar6"), 0, 0, 32, 32); break;
      case 15: CopyRect(pal, x, 0, S("ImgChar6"), 128, 0, 32, 32); break;
      case 16: MaskedOnto(pal, S("ImgChar5"), 0, 0, 0, 32, 32, 32, x, 0); break;
      case 17: MaskedOnto(pal, S("EditImgChar10"), 0, 0, 0, 128, 32, 32, x, 0); break;
      default: break;
    }
  }
}

}  // namespace artgen
