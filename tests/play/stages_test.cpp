// Every stage of the built-in course sources is played to its goal from its key script.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "game/play/play.h"
#include "game/play/stage_text.h"
#include "tests/play/play_fixture.h"
#include "tools/headless/key_script.h"

using namespace playtest;
namespace fs = std::filesystem;

namespace {

std::string ReadText(const fs::path& p) {
  std::ifstream f(p);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

}  // namespace

TEST(Stages, EveryStageIsPlayedToItsGoalFromItsKeyScript) {
  const fs::path stages = fs::path(PLUMET_SOURCE_DIR) / "tools/stagec/stages";
  const fs::path scripts = fs::path(PLUMET_SOURCE_DIR) / "tests/play/scripts";
  int played = 0;
  for (const auto& e : fs::directory_iterator(stages)) {
    if (e.path().extension() != ".txt") continue;
    const std::string name = e.path().stem().string();
    TUserStage stage;
    std::string error;
    ASSERT_TRUE(ParseStageText(ReadText(e.path()), stage, error)) << name << ": " << error;
    const fs::path script = scripts / (name + ".keys");
    ASSERT_TRUE(fs::exists(script)) << name << " has no key script";
    std::vector<plat::NullHost::KeyStep> steps;
    ASSERT_TRUE(ParseKeyScript(ReadText(script), steps, error)) << name << ": " << error;
    int total = 0;
    for (const auto& s : steps) total += s.frames;
    PlayBoard b(stage);
    b.host.SetKeyScript(steps);
    const bool trace = std::getenv("PLAY_TRACE") != nullptr;
    while (!b.ReachedGoal && b.host.Frames() < total) {
      b.Frame();
      if (trace) std::printf("%s %d %s\n", name.c_str(), b.host.Frames(), PlayStateLine(b.g).c_str());
    }
    EXPECT_TRUE(b.ReachedGoal) << name << " ended at " << PlayStateLine(b.g);
    played++;
  }
  EXPECT_GE(played, 5);
}
