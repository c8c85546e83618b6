// The difficulty measure: the rest-state graph the search built, read as the decisions a
// player makes on it, and a simulated player who explores it.
#pragma once
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace solver {

// A move between two rest states as the measure sees it.
enum : uint8_t {
  kEdgePlain = 1,  // the player walked or climbed one cell or turned on the spot; nothing else changed
  kEdgeKeyed = 2,  // a key started it (waiting and the start's settling hold none)
};
struct GraphEdge {
  uint32_t from, to;
  uint8_t flags;
};

struct Trap {
  int decision = 0;  // the decision on the shortest solution (1 is the first)
  int foundOut = 0;  // decisions after it until the player is stuck in the dead end (the deepest one)
};

struct Measure {
  bool known = false;
  int decisionPoints = 0;
  int decisions = -1;          // fewest decisions to the goal
  int solutionDecisions = -1;  // decisions along the shortest solution (in moves)
  int search = -1;             // the simulated player's median decisions to the goal
  int searchRuns = 0, searchCapped = 0, searchCap = 0;
  std::vector<Trap> traps;
  std::vector<std::pair<int, int>> trapCells;   // cells of the dead ends the traps lead into
  std::vector<std::pair<int, int>> reachCells;  // every cell the player can come to rest in
};

struct GraphView {
  size_t states = 0;
  const std::vector<GraphEdge>* edges = nullptr;
  const std::vector<uint8_t>* live = nullptr;    // the state can still reach the goal
  const std::vector<uint8_t>* toGoal = nullptr;  // a move from the state reaches the goal
  std::function<std::pair<int, int>(uint32_t)> cell;
  std::vector<uint32_t> solution;  // the shortest solution's states from the start (0)
};

void MeasureGraph(const GraphView& g, Measure& out);

}  // namespace solver
