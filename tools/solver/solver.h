// The stage solver: the real play code run headless frame by frame, searched breadth-first
// over hashed play states for the shortest key sequence that reaches the goal.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

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
  int threads = 1;  // workers expanding the states of one frame side by side
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
  int frame = 0;     // the frame at which the move into it was made
  int cellX = 0, cellY = 0;  // the player's cell where it was made
  uint8_t keys = 0;  // the key of that move
};

struct Result {
  bool solved = false;
  bool complete = false;  // the whole reachable space was searched
  std::vector<Step> steps;
  int frames = 0;  // presented frames up to the goal arrival
  int moves = 0;   // frames on which a key was pressed
  size_t states = 0;
  double seconds = 0;
  size_t deadEndStates = 0;  // reachable states from which the goal cannot be reached
  size_t deadEndEntries = 0; // moves from a live state into a dead one
  std::vector<DeadEnd> deadEndExamples;
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
