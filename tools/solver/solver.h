// The stage solver: the real play code run headless frame by frame, searched breadth-first
// over hashed play states for the shortest key sequence that reaches the goal.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tools/solver/measure.h"

namespace solver {

// Keys one frame holds, as bits.
enum KeyBit : uint8_t { kLeft = 1, kRight = 2, kUp = 4, kDown = 8, kZ = 16, kX = 32, kShift = 64 };

// Where a stage comes from.
struct StageSource {
  enum Kind { Builtin, Krm, Text } kind = Text;
  std::string path;  // plumet.map, a .krm file or a stage text file
  int index = 0;     // built-in slot
};

struct Options {
  size_t maxStates = 3000000;
  double maxSeconds = 120;
  bool deadEnds = true;  // explore everything reachable to find the dead ends
  int threads = 1;  // workers expanding the rest states of one level side by side
  // Runs every input's frame whole, as the main loop does, in place of running the part before
  // the input once and skipping inputs that change nothing (a check on that shortcut).
  bool wholeFrames = false;
};

// One play frame of the solution: the keys it held and the frames presented in it (more
// than one when a cut-scene ran inside it).
struct Step {
  uint8_t keys = 0;
  int presents = 1;
};

struct DeadEnd {
  int move = 0;              // the fewest moves to the state the move into it was made from
  int cellX = 0, cellY = 0;  // the player's cell where it was made
  int toX = 0, toY = 0;      // the player's cell in the dead end
};

// One move of the solution: the keys of the frames that held any (comma-separated, short
// names: L R U D Z X S for Shift), the player's cells before and after (-1 at the goal).
struct MoveInfo {
  std::string keys;
  int fromX = 0, fromY = 0, toX = 0, toY = 0;
  int frames = 0;
};

struct Result {
  bool solved = false;
  bool complete = false;  // the whole reachable space was searched
  std::vector<Step> steps;
  int frames = 0;  // presented frames up to the goal arrival
  int moves = 0;   // moves from rest state to rest state (or the goal)
  std::vector<MoveInfo> path;
  size_t states = 0;  // rest states reached
  bool moveCapped = false;
  size_t framesSearched = 0;  // frames run by the moves' searches (each with its inputs)  // one move met more states than a move may search
  double seconds = 0;
  size_t deadEndStates = 0;  // reachable states from which the goal cannot be reached
  size_t deadEndEntries = 0; // moves from a live state into a dead one
  std::vector<DeadEnd> deadEndExamples;
  // The difficulty measure (with the dead ends) and the shortest solution's make-up.
  Measure measure;
  double walking = -1;  // share of its moves that walk or climb on as the move before did
  double rewalk = -1;   // share of its moves that repeat a step walked before
  std::vector<std::pair<int, int>> pathCells;  // every cell the player passes through
  std::string error;
};

// Loads the stage of `src` and searches it.
Result Solve(const StageSource& src, const Options& opt);
// The steps as a key script of the headless runner.
std::string KeyScript(const std::vector<Step>& steps);
std::string KeyNames(uint8_t keys);
// Replays `script` through the headless host's own key script on the stage of `src`, from
// the first play frame; the presented frame count at the goal arrival, or -1 when the goal
// is not reached within `limit` frames (error set when the stage or script is bad).
int ReplayToGoal(const StageSource& src, const std::string& script, int limit, std::string& error);

}  // namespace solver
