// stub
#include "tools/artgen/art.h"
namespace artgen { void BuildTitle(Art& a) {
  a.Sheet("ImgTitle");
  a.Sheet("ImgChar12");
  a.Sheet("ImgChar13");
  a.Sheet("ImgChar18");
  a.Sheet("ImgChar19");
  a.Sheet("ImgChar20");
} }
