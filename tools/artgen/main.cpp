// plumet_artgen: draws every bitmap of the game and the editor and writes one PNG per sheet.
// Usage: plumet_artgen <out-dir> [--review <dir>]  (review: contact sheet and mock screens)
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/qtgfx/qt_gfx.h"
#include "tools/artgen/art.h"
#include "tools/artgen/layout.h"

namespace artgen {

Bitmap& Art::Sheet(const std::string& name) {
  auto it = sheets.find(name);
  if (it != sheets.end()) return it->second;
  const SheetSize* size = nullptr;
  for (const auto& s : kSheets)
    if (name == s.name) size = &s;
  if (!size) {
    std::fprintf(stderr, "artgen: no layout for %s\n", name.c_str());
    std::exit(2);
  }
  Bitmap b(size->w, size->h, 0);
  // Every mask block starts white, so cells left undrawn show nothing.
  for (const auto& r : kMaskYRows)
    if (name == r.sheet)
      for (int k = 0; k < r.count; ++k) FillRect(b, r.x0 + r.step * k, r.y + r.maskDy, r.w, r.h, 0xFFFFFF);
  for (const auto& s : kSharedStrips)
    if (name == s.sheet) FillRect(b, s.maskX, s.maskY, s.w, s.h, 0xFFFFFF);
  for (const auto& c : kMaskXCells)
    if (name == c.sheet) FillRect(b, c.mx, c.my, c.w, c.h, 0xFFFFFF);
  // Unused cell pairs: their mask halves white as well.
  if (name == "ImgChar15") FillRect(b, 0, 160, 160, 32, 0xFFFFFF);
  if (name == "ImgChar16") FillRect(b, 0, 120, 128, 120, 0xFFFFFF);
  return sheets.emplace(name, std::move(b)).first->second;
}

}  // namespace artgen

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <out-dir> [--review <dir>]\n", argv[0]);
    return 2;
  }
  plat::qtgfx::EnsureGuiApplication();
  const std::string out = argv[1];
  std::string review;
  for (int i = 2; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], "--review") == 0) review = argv[i + 1];

  artgen::Art art;
  artgen::BuildTiles(art);
  artgen::BuildObjects(art);
  artgen::BuildHero(art);
  artgen::BuildTitle(art);
  artgen::BuildEditor(art);

  int failures = 0;
  for (const auto& s : artgen::kSheets) {
    auto it = art.sheets.find(s.name);
    if (it == art.sheets.end()) {
      std::fprintf(stderr, "artgen: %s was not drawn\n", s.name);
      ++failures;
      continue;
    }
    if (!plat::qtgfx::SavePng(out + "/" + s.name + ".png", it->second)) {
      std::fprintf(stderr, "artgen: cannot write %s/%s.png\n", out.c_str(), s.name);
      ++failures;
    }
  }
  if (!review.empty()) {
    artgen::WriteContactSheet(art, review + "/contact.png");
    artgen::WriteMockScreens(art, review + "/mock.png");
  }
  return failures ? 1 : 0;
}
