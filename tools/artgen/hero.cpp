// stub
#include "tools/artgen/art.h"
namespace artgen { void BuildHero(Art& a) {
  a.Sheet("ImgChar");
  a.Sheet("ImgChar8");
  a.Sheet("ImgChar14");
  a.Sheet("ImgChar16");
} }
