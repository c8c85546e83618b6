// Review pictures for the artist: every sheet at 2x on a 32-px grid, and composed sample screens
// (a play field with every cell kind on each background, the title menu, a select screen, a clear scene).
#include <algorithm>
#include <string>

#include "platform/api/raster.h"
#include "platform/qtgfx/qt_gfx.h"
#include "tools/artgen/art.h"
#include "tools/artgen/layout.h"

namespace artgen {
namespace {

using plat::gfx::BitBlt;
using plat::gfx::Rop;

void Masked(Bitmap& dst, const Bitmap& src, int sx, int sy, int mx, int my, int w, int h, int dx, int dy) {
  BitBlt(dst, dx, dy, w, h, src, mx, my, Rop::And);
  BitBlt(dst, dx, dy, w, h, src, sx, sy, Rop::Or);
}

void Text(Bitmap& dst, int size, uint32_t colour, int x, int y, const char* s) {
  plat::qtgfx::DrawText(dst, "ＭＳ 明朝", CellHeightFor(size), colour, x, y, s);
}

// Every cell kind on each background: three zones of six columns.
const char* kField[15] = {
    "####################",
    "#g.......K.....P.b.#",
    "#GGG...=====..~~~~~#",
    "#.....H.....L......#",
    "#..b..H.k...L..o...#",
    "#RRR..H>>>>.L.<<<<.#",
    "#.....H.....L......#",
    "#.o...ccc...xxx..J.#",
    "#BBB........xxx..O.#",
    "#...D...p.....p....#",
    "#nnnnn..hhhh..GGGGG#",
    "#......b.....b.....#",
    "#.k..xx...o.x.b.K..#",
    "#====BBBBBB~~~~nnnn#",
    "####################",
};

void DrawField(const Art& a, Bitmap& bb) {
  const Bitmap& m0 = a.sheets.at("ImgMap0");
  const Bitmap& m1 = a.sheets.at("ImgMap1");
  auto S = [&](const char* n) -> const Bitmap& { return a.sheets.at(n); };
  for (int y = 0; y < 15; ++y)
    for (int x = 0; x < 20; ++x) {
      const int bg = x <= 6 ? 0 : x <= 12 ? 1 : 2;
      const int px = 32 * x, py = 32 * y;
      BitBlt(bb, px, py, 32, 32, m0, 32 * bg, 0, Rop::Copy);
      const char c = kField[y][x];
      switch (c) {
        case '#': BitBlt(bb, px, py, 32, 32, m0, 96, 0, Rop::Copy); break;
        case 'B': BitBlt(bb, px, py, 32, 32, m0, 128, 0, Rop::Copy); break;
        case 'R': BitBlt(bb, px, py, 32, 32, m0, 160, 0, Rop::Copy); break;
        case 'G': BitBlt(bb, px, py, 32, 32, m0, 192, 0, Rop::Copy); break;
        case '=': BitBlt(bb, px, py, 32, 32, m0, 224, 0, Rop::Copy); break;
        case '~': BitBlt(bb, px, py, 32, 32, m0, 256, 0, Rop::Copy); break;
        case 'n': BitBlt(bb, px, py, 32, 32, m0, 288, 0, Rop::Copy); break;
        case 'h': BitBlt(bb, px, py, 32, 32, m0, 320, 0, Rop::Copy); break;
        case 'H': Masked(bb, m1, 0, 0, 0, 32, 32, 32, px, py); break;
        case 'L': Masked(bb, m1, 32, 0, 32, 32, 32, 32, px, py); break;
        case 'D': Masked(bb, m1, 64, 0, 64, 32, 32, 32, px, py); break;
        case 'J': Masked(bb, m1, 96, 0, 96, 32, 32, 32, px, py); break;
        case 'O': Masked(bb, m1, 128, 0, 128, 32, 32, 32, px, py); break;
        case 'k': BitBlt(bb, px, py, 32, 32, S("ImgChar3"), 32 * (x % 4), 32 * bg, Rop::Copy); break;
        case 'K': BitBlt(bb, px, py, 32, 32, S("ImgChar3"), 32 * (x % 4), 96 + 32 * bg, Rop::Copy); break;
        case 'o': BitBlt(bb, px, py, 32, 32, S("ImgChar3"), 32 * (x % 4), 192 + 32 * bg, Rop::Copy); break;
        case 'c': BitBlt(bb, px, py, 32, 32, S("ImgChar4"), 32 * (x % 6), 32 * bg, Rop::Copy); break;
        case 'x': BitBlt(bb, px, py, 32, 32, S("ImgChar10"), 32 * (y % 4), 96 * (x % 3) + 32 * bg, Rop::Copy); break;
        case '>': Masked(bb, S("ImgChar6"), 32 * (x % 4), 0, 256, 0, 32, 32, px, py); break;
        case '<': Masked(bb, S("ImgChar6"), 128 + 32 * (x % 4), 0, 256, 0, 32, 32, px, py); break;
        case 'b': Masked(bb, S("ImgChar1"), 32 * (y % 4), 32 * bg, 128, 32 * bg, 32, 32, px, py); break;
        case 'p': Masked(bb, S("ImgChar2"), 32 * (x % 4), 0, 32 * (x % 4), 40, 32, 40, px, py - 8); break;
        case 'g': Masked(bb, S("ImgChar5"), 0, 0, 0, 32, 32, 32, px, py); break;
        case 'P': Masked(bb, S("ImgChar"), 0, 64, 0, 96, 32, 32, px, py); break;
        default: break;
      }
    }
  // A few more player poses along the floors.
  Masked(bb, S("ImgChar"), 64, 0, 64, 32, 32, 32, 32 * 4, 32 * 1);
  Masked(bb, S("ImgChar"), 64, 192, 64, 224, 32, 32, 32 * 6, 32 * 4);
  Masked(bb, S("ImgChar14"), 96, 320, 96, 352, 32, 32, 32 * 9, 32 * 7);
  // The second character on the other two backgrounds too, where she must stand out as well.
  Masked(bb, S("ImgChar14"), 0, 0, 0, 32, 32, 32, 32 * 2, 32 * 9);
  Masked(bb, S("ImgChar14"), 0, 64, 0, 96, 32, 32, 32 * 16, 32 * 9);
  Masked(bb, S("ImgChar"), 32, 256, 32, 288, 32, 32, 32 * 10, 32 * 9);
  Masked(bb, S("ImgChar1"), 0, 0, 128, 0, 32, 32, 32 * 10, 32 * 8);
  Masked(bb, S("ImgChar"), 128, 128, 128, 160, 32, 32, 32 * 17, 32 * 12);
  // HUD on the border.
  Text(bb, 13, 0xFFFFFF, 280, 3, "STAGE 12");
  Masked(bb, S("ImgChar15"), 0, 0, 0, 32, 32, 32, 552, 0);
  Text(bb, 18, 0xFFFFFF, 586, 4, "×");
  Text(bb, 17, 0xFFFFFF, 600, 4, "2");
  Text(bb, 12, 0xFFFFFF, 570, 458, "FPS 40");
}

void DrawSelect(const Art& a, Bitmap& bb) {
  Bitmap board(640, 480, 0);
  DrawField(a, board);
  FillRect(bb, 0, 0, 640, 480, 0);
  // As the stage preview: every 32-px cell stretched to 28 px, rows and columns dropped.
  for (int y = 0; y < 15; ++y)
    for (int x = 0; x < 20; ++x)
      plat::gfx::StretchBlt(bb, 38 + 28 * x, 8 + 28 * y, 28, 28, board, 32 * x, 32 * y, 32, 32, Rop::Copy);
  BitBlt(bb, 0, 430, 640, 48, a.sheets.at("ImgChar18"), 0, 48, Rop::Copy);
  Text(bb, 30, kLit, 210, 435, "PLAY");
  Masked(bb, a.sheets.at("ImgChar7"), 0, 0, 96, 0, 32, 32, 177, 440);
  Text(bb, 13, 0xFFFFFF, 270, 14, "STAGE 12");
}

void DrawClear(const Art& a, Bitmap& bb) {
  FillRect(bb, 0, 0, 640, 480, 0);
  auto S = [&](const char* n) -> const Bitmap& { return a.sheets.at(n); };
  BitBlt(bb, 138, 340, 379, 35, S("ImgChar19"), 0, 0, Rop::Copy);
  for (int k = 0; k < 4; ++k) Masked(bb, S("ImgChar20"), 60 * k, 0, 60 * k, 60, 60, 60, 40 + 140 * k, 20);
  for (int k = 0; k < 7; ++k) Masked(bb, S("ImgChar20"), 32 * k, 120, 32 * k, 152, 32, 32, 40 + 70 * k, 100);
  for (int k = 0; k < 8; ++k) Masked(bb, S("ImgChar20"), 32 * k, 184, 32 * k, 216, 32, 32, 40 + 70 * k, 140);
  for (int k = 0; k < 4; ++k) Masked(bb, S("ImgChar8"), 32 * k, 0, 32 * k, 32, 32, 32, 60 + 40 * k, 200);
  for (int k = 0; k < 4; ++k) Masked(bb, S("ImgChar8"), 32 * k, 64, 32 * k, 96, 32, 32, 60 + 40 * k, 240);
  Masked(bb, S("ImgChar8"), 0, 128, 64, 128, 32, 32, 240, 200);
  Masked(bb, S("ImgChar8"), 32, 128, 96, 128, 32, 32, 280, 200);
  Masked(bb, S("ImgChar8"), 0, 160, 32, 160, 32, 32, 320, 200);
  Masked(bb, S("ImgChar8"), 64, 160, 96, 160, 32, 32, 360, 200);
  for (int k = 0; k < 5; ++k) Masked(bb, S("ImgChar9"), 15 * k, 0, 15 * k, 15, 15, 15, 420 + 20 * k, 210);
  for (int k = 0; k < 8; ++k) Masked(bb, S("ImgChar14"), 32 * k, 448, 32 * k, 480, 32, 32, 60 + 40 * k, 290);
  for (int k = 0; k < 6; ++k) Masked(bb, S("ImgChar17"), 32 * k, 0, 192, 0, 32, 32, 400 + 36 * k, 250);
  for (int r = 0; r < 3; ++r)
    for (int k = 0; k < 4; ++k) Masked(bb, S("ImgChar16"), 24 * k, 24 * r, 24 * k, 120 + 24 * r, 24, 24, 400 + 30 * k, 290 + 28 * r);
  for (int k = 0; k < 4; ++k) Masked(bb, S("ImgChar16"), 32 * k, 96, 32 * k, 216, 32, 24, 60 + 40 * k, 400);
  for (int k = 0; k < 4; ++k) Masked(bb, S("ImgChar15"), 32 * k, 192, 128, 192, 32, 32, 240 + 36 * k, 400);
  for (int k = 0; k < 4; ++k) Masked(bb, S("ImgChar15"), 32 * k, 224, 128, 224, 32, 32, 400 + 36 * k, 400);
  for (int k = 0; k < 5; ++k) Masked(bb, S("ImgChar11"), 32 * k, 0, 32 * k, 32, 32, 32, 60 + 40 * k, 440);
  for (int k = 0; k < 4; ++k) Masked(bb, S("ImgChar11"), 32 * k, 64, 32 * k, 96, 32, 32, 280 + 40 * k, 440);
}

}  // namespace

void WriteContactSheet(const Art& a, const std::string& path) {
  // Sheets stacked top to bottom at 2x, each on a mid-grey card with a 32-px grid.
  int height = 0, width = 0;
  for (const auto& s : kSheets) {
    height += 2 * s.h + 24;
    width = std::max(width, 2 * s.w + 8);
  }
  Bitmap out(width, height, Rgb(90, 90, 96));
  int y = 0;
  for (const auto& s : kSheets) {
    const Bitmap& b = a.sheets.at(s.name);
    Text(out, 12, 0xFFFFFF, 4, y + 4, s.name);
    y += 22;
    for (int j = 0; j < 2 * b.height; ++j)
      for (int i = 0; i < 2 * b.width; ++i) {
        uint32_t c = b.At(i / 2, j / 2);
        if ((i / 2) % 32 == 0 && i % 2 == 0 && j % 4 < 2) c = Rgb(255, 0, 255);
        if ((j / 2) % 32 == 0 && j % 2 == 0 && i % 4 < 2) c = Rgb(255, 0, 255);
        out.Set(4 + i, y + j, c);
      }
    y += 2 * s.h + 2;
  }
  plat::qtgfx::SavePng(path, out);
}

void WriteMockScreens(const Art& a, const std::string& path) {
  Bitmap out(1280, 960, 0);
  Bitmap screen(640, 480, 0);
  DrawField(a, screen);
  BitBlt(out, 0, 0, 640, 480, screen, 0, 0, Rop::Copy);
  BitBlt(screen, 0, 0, 640, 480, a.sheets.at("ImgTitle"), 0, 480, Rop::Copy);
  Text(screen, 30, kLit, 388, 340, "EDIT GAME");
  plat::gfx::Ellipse(screen, 450, 348, 490, 372, Rgb(238, 238, 176), plat::gfx::Fill::Solid,
                     plat::gfx::PenMode::Merge);
  Masked(screen, a.sheets.at("ImgChar11"), 0, 64, 0, 96, 32, 32, 307, 55);
  BitBlt(out, 640, 0, 640, 480, screen, 0, 0, Rop::Copy);
  DrawSelect(a, screen);
  BitBlt(out, 0, 480, 640, 480, screen, 0, 0, Rop::Copy);
  DrawClear(a, screen);
  BitBlt(out, 640, 480, 640, 480, screen, 0, 0, Rop::Copy);
  plat::qtgfx::SavePng(path, out);
  plat::qtgfx::SavePng(path.substr(0, path.size() - 4) + "_title_upper.png", [&] {
    Bitmap t(640, 480, 0);
    BitBlt(t, 0, 0, 640, 480, a.sheets.at("ImgTitle"), 0, 0, Rop::Copy);
    return t;
  }());
}

}  // namespace artgen
