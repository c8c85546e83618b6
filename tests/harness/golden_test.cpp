// The golden comparison: what a mismatch says and leaves, and the word about fonts.
#include "tests/harness/golden.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "platform/qtgfx/qt_gfx.h"

namespace {

namespace fs = std::filesystem;

struct GoldenFolder {
  GoldenFolder() {
    plat::qtgfx::EnsureGuiApplication();
    root = fs::temp_directory_path() / ("plumet-golden-" + std::to_string(::getpid()));
    fs::create_directories(root / "golden");
    const char* src = std::getenv("PLUMET_SOURCE");
    oldSource = src ? src : "";
    setenv("PLUMET_SOURCE", root.c_str(), 1);
    if (const char* update = std::getenv("PLUMET_UPDATE_GOLDEN")) oldUpdate = update;
    unsetenv("PLUMET_UPDATE_GOLDEN");  // these cases compare, whatever the run redraws
    plat::Bitmap picture(4, 3, 0x102030);
    plat::qtgfx::SavePng((root / "golden" / "pic.png").string(), picture);
  }
  ~GoldenFolder() {
    setenv("PLUMET_SOURCE", oldSource.c_str(), 1);
    if (!oldUpdate.empty()) setenv("PLUMET_UPDATE_GOLDEN", oldUpdate.c_str(), 1);
    fs::remove_all(root);
  }
  void NoteFonts(const std::string& note) { std::ofstream(root / "golden" / "fonts.txt") << note; }
  fs::path root;
  std::string oldSource, oldUpdate;
};

TEST(Golden, AMismatchWritesTheActualAndTheDiffAndNamesTheFontsOnlyWhenTheyChanged) {
  GoldenFolder f;
  plat::Bitmap same(4, 3, 0x102030), other(4, 3, 0x102030);
  other.Set(1, 1, 0xFFFFFF);
  const fs::path actual = fs::current_path() / "pic-actual.png", diff = fs::current_path() / "pic-diff.png";
  fs::remove(actual);
  fs::remove(diff);

  struct Case {
    const char* note;  // what fonts.txt holds; nullptr: the current fonts
    bool namesFonts;
  } cases[] = {{nullptr, false}, {"", false}, {"IPAGothic /old/font.ttf 1\n", true}};
  for (const Case& c : cases) {
    f.NoteFonts(c.note ? c.note : harness::FontNote());
    EXPECT_TRUE(harness::MatchesGolden(same, "golden", "pic"));
    const auto r = harness::MatchesGolden(other, "golden", "pic");
    ASSERT_FALSE(r);
    const std::string message = r.message();
    EXPECT_NE(message.find("1 pixels differ"), std::string::npos) << message;
    EXPECT_EQ(message.find("text fonts") != std::string::npos, c.namesFonts) << message;
    EXPECT_TRUE(fs::exists(actual) && fs::exists(diff));
  }
  fs::remove(actual);
  fs::remove(diff);
}

TEST(Golden, AMissingGoldenFailsAndKeepsTheActual) {
  GoldenFolder f;
  const auto r = harness::MatchesGolden(plat::Bitmap(2, 2), "golden", "absent");
  EXPECT_FALSE(r);
  EXPECT_NE(std::string(r.message()).find("no golden"), std::string::npos);
  EXPECT_TRUE(fs::exists(fs::current_path() / "absent-actual.png"));
  fs::remove(fs::current_path() / "absent-actual.png");
}

}  // namespace
