// Golden pictures and the font note beside them.
#include "tests/harness/golden.h"

#include <fontconfig/fontconfig.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "platform/qtgfx/qt_gfx.h"

namespace harness {

namespace {

// Where failure pictures go: the folder the test program started in (its build folder under
// ctest), whatever folder a fixture has moved to since.
const std::string kStartFolder = std::filesystem::current_path().string();

// The families the host maps the game's fonts to.
constexpr const char* kTextFamilies[] = {"IPAGothic", "IPAPGothic"};

std::string FontFile(const char* family) {
  FcConfig* config = FcInitLoadConfigAndFonts();
  std::string file = "(none)";
  if (FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family))) {
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    if (FcPattern* match = FcFontMatch(config, pattern, &result)) {
      FcChar8* path = nullptr;
      if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) file = reinterpret_cast<char*>(path);
      FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
  }
  FcConfigDestroy(config);
  return file;
}

uint64_t FileHash(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  uint64_t h = 1469598103934665603ull;  // FNV-1a
  for (std::istreambuf_iterator<char> it(in), end; it != end; ++it) {
    h ^= static_cast<unsigned char>(*it);
    h *= 1099511628211ull;
  }
  return h;
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace

std::string FontNote() {
  std::ostringstream out;
  for (const char* family : kTextFamilies) {
    const std::string file = FontFile(family);
    out << family << ' ' << file << ' ' << std::hex << FileHash(file) << std::dec << '\n';
  }
  return out.str();
}

::testing::AssertionResult MatchesGolden(const plat::Bitmap& frame, const std::string& folder,
                                         const std::string& name) {
  const char* src = std::getenv("PLUMET_SOURCE");
  const std::string dir = std::string(src ? src : ".") + "/" + folder;
  const std::string golden = dir + "/" + name + ".png";
  const std::string fontsFile = dir + "/fonts.txt";
  const char* update = std::getenv("PLUMET_UPDATE_GOLDEN");
  if (update && std::string(update) == "1") {
    plat::qtgfx::SavePng(golden, frame);
    std::ofstream(fontsFile) << FontNote();
    return ::testing::AssertionSuccess() << "rewrote " << golden;
  }
  const std::string actual = kStartFolder + "/" + name + "-actual.png";
  plat::Bitmap want;
  if (!plat::qtgfx::LoadPng(golden, want)) {
    plat::qtgfx::SavePng(actual, frame);
    return ::testing::AssertionFailure() << "no golden " << golden << " (actual written to " << actual << ")";
  }
  if (want.width != frame.width || want.height != frame.height)
    return ::testing::AssertionFailure() << name << ": size differs";
  plat::Bitmap diff(frame.width, frame.height, 0);
  int differing = 0;
  for (int y = 0; y < frame.height; ++y)
    for (int x = 0; x < frame.width; ++x) {
      const bool same = (want.At(x, y) & 0xFFFFFF) == (frame.At(x, y) & 0xFFFFFF);
      diff.Set(x, y, same ? (frame.At(x, y) >> 2 & 0x3F3F3F) : 0x0000FFu);
      differing += !same;
    }
  if (differing == 0) return ::testing::AssertionSuccess();
  const std::string diffFile = kStartFolder + "/" + name + "-diff.png";
  plat::qtgfx::SavePng(actual, frame);
  plat::qtgfx::SavePng(diffFile, diff);
  auto failure = ::testing::AssertionFailure() << name << ": " << differing << " pixels differ (" << actual
                                               << " and " << diffFile << " written)";
  const std::string drawnWith = ReadText(fontsFile), now = FontNote();
  if (!drawnWith.empty() && drawnWith != now)
    failure << "; the text fonts are not the ones the goldens were drawn with, so text may be what "
               "differs (a font package change; PLUMET_UPDATE_GOLDEN=1 redraws them):\n was:\n"
            << drawnWith << " now:\n" << now;
  return failure;
}

}  // namespace harness
