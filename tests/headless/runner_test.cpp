// The runner's contract as its usage text gives it: a stage's key script counts from the first
// play frame (after the intro or with --from play alike), and relative paths are the caller's.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

#include "game/play/stage_format.h"
#include "game/play/stage_text.h"

namespace fs = std::filesystem;

namespace {

// A floor to walk on, far from any wall: the player starts at column 2.
std::string WalkStageText() {
  std::string t = "facing right\ngrid\n";
  t += "####################\n";
  for (int r = 1; r < 12; r++) t += "#..................#\n";
  t += "#.P...............G#\n";
  t += "####################\n";
  t += "####################\n";
  return t;
}

struct RunResult {
  std::string out;
  int status = -1;
  double x = -1;
};

// Runs the runner in `cwd` (so relative paths are relative to it).
RunResult RunIn(const fs::path& cwd, const std::string& args) {
  const std::string dist = std::getenv("PLUMET_DIST");
  // The game writes its settings beside itself: it runs on the copy of the shipped data.
  const std::string folder = std::getenv("PLUMET_TEST_FOLDER");
  const std::string cmd = "cd '" + cwd.string() + "' && '" + dist + "/plumet-headless' --folder '" + folder + "' " +
                          args + " 2>/dev/null";
  RunResult r;
  if (FILE* f = popen(cmd.c_str(), "r")) {
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) r.out.append(buf, n);
    const int st = pclose(f);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  }
  // The player's x from the "state" line.
  if (size_t line = r.out.find("\nstate "); line != std::string::npos) {
    size_t x = r.out.find(" x=", line);
    if (x != std::string::npos && x < r.out.find('\n', line + 1)) r.x = std::stod(r.out.substr(x + 3));
  }
  return r;
}

class Runner : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("plumet-runner-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    TUserStage stage;
    std::string error;
    ASSERT_TRUE(ParseStageText(WalkStageText(), stage, error)) << error;
    const auto bytes = EncodeUserStage(stage);
    std::ofstream(dir_ / "walk.krm", std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }
  void TearDown() override { fs::remove_all(dir_); }
  void Keys(const std::string& text) { std::ofstream(dir_ / "k.keys") << text; }
  fs::path dir_;
};

}  // namespace

TEST_F(Runner, AStageScriptCountsFromTheFirstPlayFrame) {
  struct Case {
    const char* keys;
    const char* from;  // "--from play" or the intro
    double x;
  } cases[] = {
      {"8 Right\n", "--from play", 3},  // one cell takes eight frames
      {"9 Right\n", "--from play", 4},  // the ninth frame starts the second
      {"1 Right\n", "--from play", 3},  // the first frame already acts
      {"1 -\n8 Right\n", "--from play", 3},
      {"8 Right\n", "", 3},  // after the fade-in and the intro, the same
      {"9 Right\n", "", 4},
  };
  for (const Case& c : cases) {
    Keys(c.keys);
    const RunResult r = RunIn(dir_, std::string("--stage walk.krm ") + c.from + " --keys k.keys --frames 500");
    EXPECT_EQ(r.x, c.x) << c.keys << c.from << "\n" << r.out;
  }
}

TEST_F(Runner, RelativePathsAreTakenFromTheCallersFolder) {
  Keys("8 Right\n");
  const RunResult r = RunIn(dir_, "--stage walk.krm --from play --keys k.keys --capture caps --at 3 --audio out.raw --frames 20");
  EXPECT_NE(r.out.find("stage=255"), std::string::npos) << r.out;
  EXPECT_EQ(r.x, 3) << r.out;
  EXPECT_TRUE(fs::exists(dir_ / "caps" / "frame-3.png"));
  EXPECT_GT(fs::file_size(dir_ / "out.raw"), 0u);
}

TEST_F(Runner, AnUnreadableStageOrScriptIsAUsageError) {
  Keys("8 Sideways\n");
  for (const char* args : {"--stage walk.krm --keys k.keys", "--stage none.krm", "--stage walk.krm --keys none.keys"}) {
    const RunResult r = RunIn(dir_, args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_EQ(r.out.find("exit:"), std::string::npos) << args << "\n" << r.out;
  }
}
