// The difficulty measure on small hand-made graphs of rest states: what counts as a decision,
// the passages between decision points, and the traps on the way.
#include <gtest/gtest.h>

#include "tools/solver/measure.h"

namespace {

using solver::GraphEdge;
using solver::kEdgeKeyed;
using solver::kEdgePlain;

// A stage graph built by hand: states with their cells, moves between them.
struct Graph {
  std::vector<std::pair<int, int>> cells;
  std::vector<GraphEdge> edges;
  std::vector<uint8_t> live, toGoal;
  uint32_t Add(int x, int y, bool isLive = true) {
    cells.push_back({x, y});
    live.push_back(isLive);
    toGoal.push_back(0);
    return static_cast<uint32_t>(cells.size() - 1);
  }
  void Walk(uint32_t a, uint32_t b) {  // a plain step both ways
    edges.push_back({a, b, kEdgePlain | kEdgeKeyed});
    edges.push_back({b, a, kEdgePlain | kEdgeKeyed});
  }
  void Move(uint32_t a, uint32_t b) { edges.push_back({a, b, kEdgeKeyed}); }
  // A floor of plain steps from (x0, y) to (x1, y), its states in order.
  std::vector<uint32_t> Floor(int x0, int x1, int y, bool isLive = true) {
    std::vector<uint32_t> s;
    for (int x = x0; x <= x1; x++) {
      s.push_back(Add(x, y, isLive));
      if (s.size() > 1) Walk(s[s.size() - 2], s.back());
    }
    return s;
  }
  solver::Measure Run(const std::vector<uint32_t>& solution) {
    solver::GraphView v;
    v.states = cells.size();
    v.edges = &edges;
    v.live = &live;
    v.toGoal = &toGoal;
    v.cell = [this](uint32_t u) { return cells[u]; };
    v.solution = solution;
    solver::Measure m;
    solver::MeasureGraph(v, m);
    return m;
  }
};

TEST(Measure, AWalkBetweenTwoPlacesWhereSomethingHappensIsOneDecision) {
  struct Case {
    const char* what;
    int length;
    bool junction;  // a side ladder halfway along the floor
    int decisions;
  };
  const Case cases[] = {
      {"a short floor", 3, false, 2},
      {"a long floor counts the same", 12, false, 2},
      {"a ladder off the floor is a branch to choose", 12, true, 3},
  };
  for (const Case& c : cases) {
    Graph g;
    std::vector<uint32_t> floor = g.Floor(0, c.length - 1, 10);
    g.toGoal[floor.back()] = 1;
    if (c.junction) {
      const uint32_t up = g.Add(c.length / 2, 9);
      g.Walk(floor[c.length / 2], up);
    }
    const solver::Measure m = g.Run(floor);
    ASSERT_TRUE(m.known) << c.what;
    // From the start to the goal's state, and the goal move.
    EXPECT_EQ(m.decisions, c.decisions) << c.what;
    EXPECT_EQ(m.solutionDecisions, c.decisions) << c.what;  // the goal move is made at the last
    EXPECT_GE(m.search, m.decisions) << c.what;
    EXPECT_TRUE(m.traps.empty()) << c.what;
  }
}

TEST(Measure, AHopAlongTheSameFloorIsNoDecisionButADropToAnotherIs) {
  Graph g;
  std::vector<uint32_t> top = g.Floor(0, 8, 5);
  std::vector<uint32_t> low = g.Floor(0, 8, 10);
  g.toGoal[top.back()] = 1;
  g.Move(top[2], top[4]);  // a hop two cells on: the same floor
  g.Move(top[6], low[6]);  // a drop to the floor below, with no way back up
  const solver::Measure m = g.Run(top);
  // The start, the drop's edge, the goal's state: the hop's cell is not among them.
  EXPECT_EQ(m.solutionDecisions, 3);
  // The floor below can still reach nothing: it is no trap while it is live...
  EXPECT_TRUE(m.traps.empty());
  Graph dead = g;
  for (uint32_t s : low) dead.live[s] = 0;
  const solver::Measure d = dead.Run(top);
  // ...and a trap at the drop (decision 2) once it is a dead end, found out at once: a floor
  // with nothing on it.
  ASSERT_EQ(d.traps.size(), 1u);
  EXPECT_EQ(d.traps[0].decision, 2);
  EXPECT_EQ(d.traps[0].foundOut, 1);
  // Its cells are the trap's.
  EXPECT_EQ(d.trapCells.size(), low.size());
  EXPECT_EQ(d.reachCells.size(), top.size() + low.size());
}

TEST(Measure, ADeadEndWithMoreToDoIsFoundOutLaterAndTheSimulatedPlayerPaysForIt) {
  // A trap that takes three more decisions to see through: a chain of drops, all dead.
  auto build = [](int depth) {
    Graph g;
    std::vector<uint32_t> top = g.Floor(0, 6, 1);
    g.toGoal[top.back()] = 1;
    uint32_t from = top[3];
    for (int i = 0; i < depth; i++) {
      std::vector<uint32_t> f = g.Floor(0, 6, 3 + 2 * i, false);
      g.Move(from, f[3]);
      from = f[5];
    }
    return std::make_pair(g, top);
  };
  auto [shallow, top1] = build(1);
  auto [deep, top2] = build(4);
  const solver::Measure a = shallow.Run(top1), b = deep.Run(top2);
  ASSERT_EQ(a.traps.size(), 1u);
  ASSERT_EQ(b.traps.size(), 1u);
  EXPECT_LT(a.traps[0].foundOut, b.traps[0].foundOut);
  EXPECT_EQ(a.decisions, b.decisions);
  EXPECT_LT(a.search, b.search);
  EXPECT_EQ(b.searchCapped, 0);
}

}  // namespace
