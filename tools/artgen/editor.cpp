// stub
#include "tools/artgen/art.h"
namespace artgen { void BuildEditor(Art& a) {
  a.Sheet("EditImgChar3");
  a.Sheet("EditImgChar4");
  a.Sheet("EditImgChar10");
  a.Sheet("EditPartsImage");
} }
