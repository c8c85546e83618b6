// The solver on hand-made stages: shortest lengths it must find, an unsolvable stage, a dead
// end, and its solutions replayed to the goal through the headless host's key script; then
// the small stages of the stage compiler, also through the headless runner when it can.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "game/play/stage_format.h"
#include "game/play/stage_text.h"
#include "tools/solver/solver.h"

namespace fs = std::filesystem;

namespace {

// Writes rows (padded with blocks to 20x15) as a stage text file and returns its source.
solver::StageSource TextStage(const std::string& name, const std::vector<std::string>& rows) {
  TUserStage s;
  s.Rows = RowsFromText(rows);
  const fs::path p = fs::temp_directory_path() / ("plumet-solver-test-" + name + ".txt");
  std::ofstream(p) << FormatStageText(s);
  solver::StageSource src;
  src.kind = solver::StageSource::Text;
  src.path = p.string();
  return src;
}

solver::Options Quick() {
  solver::Options o;
  o.maxStates = 600000;
  o.maxSeconds = 60;
  o.threads = 4;
  return o;
}

struct Known {
  const char* name;
  std::vector<std::string> rows;
  int frames, moves;
};

// After the 25 frames of the fade-in: three walks of 8 frames, the goal's arrival presenting
// one more frame; a jump onto the ladder's middle and two climbs.
const Known kKnown[] = {
    {"corridor", {"######", "#P..G#", "######"}, 50, 3},
    {"ladder", {"#####", "#.G.#", "#.H.#", "#.H.#", "#PH.#", "#####"}, 68, 3},
};

TEST(Solver, FindsTheKnownShortestSolutionAndItReplaysToTheGoal) {
  for (const Known& k : kKnown) {
    SCOPED_TRACE(k.name);
    const solver::StageSource src = TextStage(k.name, k.rows);
    const solver::Result r = solver::Solve(src, Quick());
    ASSERT_TRUE(r.error.empty()) << r.error;
    ASSERT_TRUE(r.solved);
    EXPECT_TRUE(r.complete);
    EXPECT_EQ(r.frames, k.frames);
    EXPECT_EQ(r.moves, k.moves);
    EXPECT_EQ(r.deadEndStates, 0u);
    std::string error;
    EXPECT_EQ(solver::ReplayToGoal(src, solver::KeyScript(r.steps), r.frames + 100, error), r.frames) << error;
  }
}

TEST(Solver, ReportsAWalledOffGoalAsUnsolvable) {
  const solver::Result r = solver::Solve(TextStage("walled", {"#######", "#P.#G.#", "#######"}), Quick());
  ASSERT_TRUE(r.error.empty()) << r.error;
  EXPECT_FALSE(r.solved);
  EXPECT_TRUE(r.complete);
  EXPECT_GT(r.states, 1u);
}

TEST(Solver, FindsTheDeadEndOfAPitTooDeepToLeave) {
  // Left walks to the goal; right drops into a two-deep pit no jump leaves.
  const solver::Result r =
      solver::Solve(TextStage("pit", {"########", "#G.P...#", "####.###", "####.###", "########"}), Quick());
  ASSERT_TRUE(r.solved);
  ASSERT_TRUE(r.complete);
  EXPECT_EQ(r.moves, 2);
  EXPECT_GT(r.deadEndStates, 0u);
  EXPECT_GT(r.deadEndEntries, 0u);
  ASSERT_FALSE(r.deadEndExamples.empty());
  // The first is the walk right from the start.
  EXPECT_EQ(r.deadEndExamples[0].move, 0);
  EXPECT_EQ(r.deadEndExamples[0].cellX, 3);
  EXPECT_EQ(r.deadEndExamples[0].toX, 4);
}

TEST(Solver, CountsTheDeadEndsBehindAOneWayJail) {
  // Left walks to the goal. Walking right through the jail shuts the player in the one cell
  // behind it, facing either way: two dead rest states, entered by the walk right from the cell
  // before the jail facing either way.
  const solver::Result r =
      solver::Solve(TextStage("jail", {"#########", "#G.P.x.#", "#########"}), Quick());
  ASSERT_TRUE(r.solved);
  ASSERT_TRUE(r.complete);
  EXPECT_EQ(r.moves, 2);
  EXPECT_EQ(r.deadEndStates, 2u);
  EXPECT_EQ(r.deadEndEntries, 2u);
  ASSERT_EQ(r.deadEndExamples.size(), 1u);
  EXPECT_EQ(r.deadEndExamples[0].toX, 6);
}

// Moves that the play code carries on by itself: each is one move from rest state to rest state.
struct Carried {
  const char* name;
  std::vector<std::string> rows;
  int moves;
  std::string path;  // the moves' keys
};

const Carried kCarried[] = {
    // Walked onto the belt, carried to its end in the same move.
    {"belt", {"#########", "#P.....G#", "###>>>###", "#########"}, 3, "R R R"},
    // Walked onto the ice, slid to the block in the same move.
    {"ice", {"#########", "#P.....G#", "###III###", "#########"}, 3, "R R R"},
    // Each cloud holds the player until he steps off it; it is gone behind him.
    {"clouds", {"########", "#P....G#", "###CC###", "###..###", "########"}, 5, "R R R R R"},
    // A jump up onto the step, its direction chosen during the wind-up.
    {"jump", {"######", "#..G.#", "#P.###", "######"}, 2, "R Z,R"},
};

TEST(Solver, CountsWhatThePlayCodeCarriesOnAsPartOfOneMove) {
  for (const Carried& c : kCarried) {
    SCOPED_TRACE(c.name);
    const solver::StageSource src = TextStage(c.name, c.rows);
    const solver::Result r = solver::Solve(src, Quick());
    ASSERT_TRUE(r.error.empty()) << r.error;
    ASSERT_TRUE(r.solved);
    EXPECT_TRUE(r.complete);
    EXPECT_EQ(r.moves, c.moves);
    std::string path;
    for (const solver::MoveInfo& m : r.path) path += (path.empty() ? "" : " ") + m.keys;
    EXPECT_EQ(path, c.path);
    std::string error;
    EXPECT_EQ(solver::ReplayToGoal(src, solver::KeyScript(r.steps), r.frames + 100, error), r.frames) << error;
  }
}

// The stage compiler's small stages, "NN-name.txt".
std::vector<fs::path> SmallStages() {
  std::vector<fs::path> out;
  const char* root = std::getenv("PLUMET_SOURCE");
  if (!root) return out;
  const fs::path dir = fs::path(root) / "tools/stagec/stages";
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(dir, ec))
    if (e.path().extension() == ".txt") out.push_back(e.path());
  std::sort(out.begin(), out.end());
  return out;
}

// The shortcut of running the frame's part before the input once must change nothing: the
// whole-frame search finds the same states, solution and dead ends.
TEST(Solver, SkippingInputsThatChangeNothingMatchesRunningEveryFrameWhole) {
  // A balloon to lift onto a wall to hop up, then ice and a conveyor to the goal.
  const std::vector<std::string> mixed = {"##########", "#........#", "#........#", "#P.B#.I>G#", "##########"};
  for (const auto& src : {TextStage("pit-again", {"########", "#G.P...#", "####.###", "####.###", "########"}),
                          TextStage("mixed", mixed)}) {
    SCOPED_TRACE(src.path);
    solver::Options o = Quick();
    const solver::Result a = solver::Solve(src, o);
    o.wholeFrames = true;
    const solver::Result b = solver::Solve(src, o);
    ASSERT_TRUE(a.complete && b.complete);
    EXPECT_TRUE(a.solved);
    EXPECT_EQ(a.solved, b.solved);
    EXPECT_EQ(a.frames, b.frames);
    EXPECT_EQ(a.states, b.states);
    EXPECT_EQ(a.deadEndStates, b.deadEndStates);
    EXPECT_EQ(solver::KeyScript(a.steps), solver::KeyScript(b.steps));
  }
  // The first three thousand states of each small stage, in the same order both ways.
  for (const fs::path& p : SmallStages()) {
    SCOPED_TRACE(p.filename().string());
    solver::StageSource src{solver::StageSource::Text, p.string(), 0};
    solver::Options o = Quick();
    o.deadEnds = false;
    o.maxStates = 3000;
    const solver::Result a = solver::Solve(src, o);
    o.wholeFrames = true;
    const solver::Result b = solver::Solve(src, o);
    EXPECT_EQ(a.states, b.states);
    EXPECT_EQ(a.solved, b.solved);
    EXPECT_EQ(a.frames, b.frames);
  }
}

TEST(Solver, ASolutionThatStopsShortIsNoReplayToTheGoal) {
  const solver::StageSource src = TextStage("corridor-short", {"######", "#P..G#", "######"});
  std::string error;
  EXPECT_EQ(solver::ReplayToGoal(src, "1 -\n1 Right\n7 -\n1 Right\n", 200, error), -1);
  EXPECT_EQ(solver::ReplayToGoal(src, "1 Nope\n", 200, error), -1);
  EXPECT_FALSE(error.empty());
}

// A small stage as a user stage file (.krm), which the headless runner starts with --stage.
struct SmallSolve {
  solver::StageSource src;
  solver::Result result;
  std::string error;
};

SmallSolve SolveSmall(const fs::path& p) {
  SmallSolve s;
  std::ifstream in(p);
  std::stringstream text;
  text << in.rdbuf();
  TUserStage stage;
  if (!ParseStageText(text.str(), stage, s.error)) return s;
  const fs::path krm = fs::temp_directory_path() / ("plumet-solver-" + p.stem().string() + ".krm");
  const std::vector<uint8_t> bytes = EncodeUserStage(stage);
  std::ofstream(krm, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                             static_cast<std::streamsize>(bytes.size()));
  s.src = {solver::StageSource::Krm, krm.string(), 0};
  solver::Options o = Quick();
  o.deadEnds = false;
  s.result = solver::Solve(s.src, o);
  return s;
}

std::string RunCapture(const std::string& cmd) {
  std::string out;
  if (FILE* f = popen((cmd + " 2>&1").c_str(), "r")) {
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
    pclose(f);
  }
  return out;
}

// Each small stage solved once; its script replayed through the headless host's key script and
// through the headless runner itself (tests run as separate processes, so one test does both).
TEST(Solver, SolvesEachSmallStageAndItsScriptReachesTheGoalInTheHeadlessRunner) {
  const char* dist = std::getenv("PLUMET_DIST");
  const char* folder = std::getenv("PLUMET_TEST_FOLDER");  // a copy of the shipped data
  ASSERT_NE(dist, nullptr);
  ASSERT_NE(folder, nullptr);
  const std::string headless = std::string(dist) + "/plumet-headless";
  const auto stages = SmallStages();
  if (stages.empty()) GTEST_SKIP() << "no small stages in tools/stagec/stages";
  for (const fs::path& p : stages) {
    SCOPED_TRACE(p.filename().string());
    const SmallSolve s = SolveSmall(p);
    ASSERT_TRUE(s.error.empty()) << s.error;
    const solver::Result& r = s.result;
    ASSERT_TRUE(r.error.empty()) << r.error;
    ASSERT_TRUE(r.solved);
    const std::string script = solver::KeyScript(r.steps);
    std::string error;
    EXPECT_EQ(solver::ReplayToGoal(s.src, script, r.frames + 100, error), r.frames) << error;
    const fs::path keys = fs::temp_directory_path() / ("plumet-solver-" + p.stem().string() + ".keys");
    std::ofstream(keys) << script;
    const std::string out = RunCapture(headless + " --folder " + folder + " --stage " + s.src.path +
                                       " --from play --keys " + keys.string() + " --stop-at-goal");
    EXPECT_NE(out.find("exit: goal"), std::string::npos) << out;
  }
}

}  // namespace
