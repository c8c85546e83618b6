// The generator's working set: every sheet by name, and the sprites shared between sheets.
#pragma once
#include <map>
#include <string>

#include "tools/artgen/canvas.h"

namespace artgen {

struct Art {
  std::map<std::string, Bitmap> sheets;
  std::map<std::string, Cell> cells;  // sprites reused by later sheets (editor, palette, review)

  // The named sheet, created on first use at its layout size: image areas black, mask areas white.
  Bitmap& Sheet(const std::string& name);
  const Cell& Sprite(const std::string& name) const { return cells.at(name); }
};

// Builders, in the order main runs them (later ones read what earlier ones made).
void BuildTiles(Art& a);    // ImgAnten, ImgMap0, ImgMap1
void BuildObjects(Art& a);  // ImgChar1..7, 9, 10, 11, 15, 17
void BuildHero(Art& a);     // ImgChar, ImgChar8, ImgChar14, ImgChar16
void BuildTitle(Art& a);    // ImgTitle, ImgChar12, ImgChar13, ImgChar18, ImgChar19, ImgChar20
void BuildEditor(Art& a);   // EditImgChar3, EditImgChar4, EditImgChar10, EditPartsImage

// Review pictures: every sheet at 2x on a grid, and a composed play field and title.
void WriteContactSheet(const Art& a, const std::string& path);
void WriteMockScreens(const Art& a, const std::string& path);

}  // namespace artgen
