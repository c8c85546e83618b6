// The decision graph and the simulated player (see the README's "Difficulty").
#include "tools/solver/measure.h"

#include <algorithm>
#include <numeric>
#include <queue>

namespace solver {

namespace {

constexpr uint32_t kNone = UINT32_MAX;
// The simulated player looks this far over the places he knows for one with something untried.
constexpr size_t kRecall = 256;
// The simulated player notices a dead end when stuck, or this many decisions after entering it.
constexpr int kNoticeAfter = 3;
// The moves into a dead end whose cells count as the trap's.
constexpr int kTrapMoves = 12;
constexpr int kRuns = 31;
constexpr int kCap = 20000;

struct Csr {
  std::vector<uint32_t> start, to;
  std::vector<uint8_t> flags;
};

Csr OutEdges(size_t n, const std::vector<GraphEdge>& edges) {
  Csr c;
  c.start.assign(n + 1, 0);
  for (const GraphEdge& e : edges) c.start[e.from + 1]++;
  for (size_t i = 1; i <= n; i++) c.start[i] += c.start[i - 1];
  c.to.resize(edges.size());
  c.flags.resize(edges.size());
  std::vector<uint32_t> fill(c.start.begin(), c.start.end() - 1);
  for (const GraphEdge& e : edges) {
    c.to[fill[e.from]] = e.to;
    c.flags[fill[e.from]++] = e.flags;
  }
  return c;
}

uint32_t Find(std::vector<uint32_t>& parent, uint32_t x) {
  while (parent[x] != x) x = parent[x] = parent[parent[x]];
  return x;
}

struct Rng {
  uint64_t s;
  uint64_t Next() {
    uint64_t z = (s += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
};

}  // namespace

void MeasureGraph(const GraphView& g, Measure& out) {
  const size_t n = g.states;
  if (n == 0) return;
  const std::vector<uint8_t>& live = *g.live;
  const std::vector<uint8_t>& toGoal = *g.toGoal;
  const Csr out_ = OutEdges(n, *g.edges);
  std::vector<std::pair<int, int>> cells(n);
  for (uint32_t u = 0; u < n; u++) cells[u] = g.cell(u);
  out.reachCells = cells;
  std::sort(out.reachCells.begin(), out.reachCells.end());
  out.reachCells.erase(std::unique(out.reachCells.begin(), out.reachCells.end()), out.reachCells.end());

  // Decision points: the start, a state that offers the goal, a junction of plain steps (three
  // cells or more), and a state with a keyed move that is neither a plain step nor a shortcut
  // along plain steps (taking, lifting, a jump up, a drop, a slide, a key spent...).
  std::vector<uint32_t> region(n);  // states joined by plain steps: one floor, ladders and all
  std::iota(region.begin(), region.end(), 0u);
  for (const GraphEdge& e : *g.edges)
    if (e.flags & kEdgePlain) region[Find(region, e.from)] = Find(region, e.to);
  for (uint32_t u = 0; u < n; u++) region[u] = Find(region, u);
  std::vector<uint8_t> decision(n, 0);
  for (uint32_t u = 0; u < n; u++) {
    bool d = u == 0 || toGoal[u];
    std::pair<int, int> seen[4];
    int distinct = 0;
    for (uint32_t x = out_.start[u]; x < out_.start[u + 1] && !d; x++) {
      const uint8_t f = out_.flags[x];
      const uint32_t v = out_.to[x];
      if (!(f & kEdgePlain)) {
        d = (f & kEdgeKeyed) && region[v] != region[u];
        continue;
      }
      const auto c = cells[v];
      if (c == cells[u] || std::find(seen, seen + distinct, c) != seen + distinct) continue;
      seen[distinct++] = c;
      d = distinct >= 3;
    }
    decision[u] = d;
  }

  // The other states form passages (walks and climbs with nothing to do); a move into a
  // passage ends, as one decision, at a decision point it leads out to.
  std::vector<uint32_t> comp(n);
  std::iota(comp.begin(), comp.end(), 0u);
  for (const GraphEdge& e : *g.edges)
    if (!decision[e.from] && !decision[e.to]) comp[Find(comp, e.from)] = Find(comp, e.to);
  for (uint32_t u = 0; u < n; u++) comp[u] = Find(comp, u);
  std::vector<std::pair<uint32_t, uint32_t>> exits;  // (passage, decision point)
  for (const GraphEdge& e : *g.edges)
    if (!decision[e.from] && decision[e.to]) exits.push_back({comp[e.from], e.to});
  std::sort(exits.begin(), exits.end());
  exits.erase(std::unique(exits.begin(), exits.end()), exits.end());

  std::vector<uint32_t> macro(n, kNone);
  uint32_t D = 0;
  for (uint32_t u = 0; u < n; u++)
    if (decision[u]) macro[u] = D++;
  const uint32_t goal = D, pit = D + 1;  // the goal, and a dead passage with no way out
  out.decisionPoints = static_cast<int>(D);
  std::vector<uint32_t> state(D);
  for (uint32_t u = 0; u < n; u++)
    if (decision[u]) state[macro[u]] = u;
  // The options at each decision point: the decision points (or the goal) one decision reaches.
  std::vector<uint32_t> optStart(D + 1, 0), opt;
  std::vector<uint32_t> targets;
  for (uint32_t d = 0; d < D; d++) {
    const uint32_t u = state[d];
    targets.clear();
    if (toGoal[u]) targets.push_back(goal);
    for (uint32_t x = out_.start[u]; x < out_.start[u + 1]; x++) {
      const uint32_t v = out_.to[x];
      if (decision[v]) {
        if (v != u) targets.push_back(macro[v]);
        continue;
      }
      auto it = std::lower_bound(exits.begin(), exits.end(), std::make_pair(comp[v], 0u));
      const size_t before = targets.size();
      for (; it != exits.end() && it->first == comp[v]; ++it)
        if (it->second != u) targets.push_back(macro[it->second]);
      if (targets.size() == before) targets.push_back(live[v] ? d : pit);  // leads only back, or nowhere
    }
    std::sort(targets.begin(), targets.end());
    targets.erase(std::unique(targets.begin(), targets.end()), targets.end());
    opt.insert(opt.end(), targets.begin(), targets.end());
    optStart[d + 1] = static_cast<uint32_t>(opt.size());
  }
  optStart.resize(D + 3, static_cast<uint32_t>(opt.size()));  // the goal and the pit offer nothing
  auto alive = [&](uint32_t m) { return m == goal || (m != pit && live[state[m]]); };
  const uint32_t start = macro[0];

  // The fewest decisions to the goal.
  {
    std::vector<int> dist(D + 2, -1);
    std::queue<uint32_t> q;
    dist[start] = 0;
    q.push(start);
    while (!q.empty() && dist[goal] < 0) {
      const uint32_t m = q.front();
      q.pop();
      for (uint32_t x = optStart[m]; x < optStart[m + 1]; x++)
        if (dist[opt[x]] < 0) {
          dist[opt[x]] = dist[m] + 1;
          if (opt[x] != goal) q.push(opt[x]);
        }
    }
    out.decisions = dist[goal];
  }

  // The simulated player: at each decision point an option not tried yet if there is one,
  // else one tried least, never an option it learnt leads into a dead end; a dead end is seen
  // when no option is left or kNoticeAfter decisions after entering it, and then the stage is
  // restarted, the option that entered it and the dead places seen kept in mind.
  {
    std::vector<int> totals;
    std::vector<uint32_t> tried(opt.size());
    std::vector<uint8_t> bad(opt.size()), deadKnown(D + 2);
    std::vector<uint32_t> visitedDead, pick, seenList;
    std::vector<int> hops(D + 2, -1);
    // What the player learns from a dead end he entered holds for the same move in other
    // positions too: from the same cell to the same cell.
    std::vector<uint8_t> badLike(1u << 18);
    auto cellCode = [&](uint32_t m) {
      if (m == goal) return 511u;
      if (m == pit) return 510u;
      const auto c = cells[state[m]];
      return static_cast<uint32_t>((c.first & 31) * 16 + (c.second & 15));
    };
    auto Like = [&](uint32_t m, uint32_t x) { return (cellCode(m) << 9) | cellCode(opt[x]); };
    for (int run = 0; run < kRuns; run++) {
      Rng rng{static_cast<uint64_t>(run) * 7919 + 1};
      std::fill(tried.begin(), tried.end(), 0);
      std::fill(bad.begin(), bad.end(), 0);
      std::fill(deadKnown.begin(), deadKnown.end(), 0);
      std::fill(badLike.begin(), badLike.end(), 0);
      visitedDead.clear();
      uint32_t at = start;
      int total = 0, inDead = 0;
      uint32_t entry = kNone, entryFrom = kNone;
      // The nearest decision point over options tried before (not into a known dead end) that
      // still has an option untried, within kRecall places; its distance in hops[].
      auto Nearest = [&](uint32_t from) {
        for (uint32_t m : seenList) hops[m] = -1;
        seenList.assign(1, from);
        hops[from] = 0;
        for (size_t head = 0; head < seenList.size() && seenList.size() < kRecall; head++) {
          const uint32_t m = seenList[head];
          for (uint32_t x = optStart[m]; x < optStart[m + 1]; x++) {
            const uint32_t t = opt[x];
            if (bad[x] || deadKnown[t] || t == goal || badLike[Like(m, x)]) continue;
            if (!tried[x]) {
              if (m != from) return m;
              continue;
            }
            if (hops[t] < 0) {
              hops[t] = hops[m] + 1;
              seenList.push_back(t);
            }
          }
        }
        return kNone;
      };
      auto restart = [&] {
        if (entry != kNone) {
          bad[entry] = 1;
          badLike[Like(entryFrom, entry)] = 1;
        }
        for (uint32_t m : visitedDead) deadKnown[m] = 1;
        visitedDead.clear();
        inDead = 0;
        entry = kNone;
        at = start;
      };
      while (at != goal && total < kCap) {
        // Ranks: an option not tried yet (0), one not tried yet but like one that led into a
        // dead end, from the same cell to the same cell (1), else by how often it was tried.
        pick.clear();
        uint32_t least = UINT32_MAX;
        for (uint32_t x = optStart[at]; x < optStart[at + 1]; x++) {
          if (bad[x] || deadKnown[opt[x]]) continue;
          const uint32_t rank = tried[x] ? tried[x] + 1 : badLike[Like(at, x)];
          if (rank < least) {
            least = rank;
            pick.clear();
          }
          if (rank == least) pick.push_back(x);
        }
        if (!pick.empty() && least > 0 && inDead == 0) {
          // Nothing fresh here: head for the nearest known place that has an option not tried yet.
          const uint32_t far = Nearest(at);
          if (far != kNone) {
            total += hops[far];
            at = far;
            continue;
          }
        }
        if (pick.empty() || (inDead > 0 && least > 1)) {  // stuck
          if (entry == kNone) break;  // cannot happen on a live point
          restart();
          continue;
        }
        const uint32_t x = pick[rng.Next() % pick.size()];
        tried[x]++;
        total++;
        const uint32_t t = opt[x];
        if (!alive(t)) {
          if (inDead++ == 0) {
            entry = x;
            entryFrom = at;
          }
          visitedDead.push_back(t);
        }
        at = t;
        if (inDead > kNoticeAfter) restart();
      }
      if (at != goal) out.searchCapped++;
      totals.push_back(total);
    }
    std::sort(totals.begin(), totals.end());
    out.search = totals[totals.size() / 2];
    out.searchRuns = kRuns;
    out.searchCap = kCap;
  }

  // The traps on the shortest solution: its decisions with an option into a dead end, and how
  // many decisions the deepest such dead end lets the player go on before he is stuck.
  {
    std::vector<int> depth(D + 2, -1);
    std::vector<int> memo(D + 2, -1);
    std::vector<uint32_t> touched;
    auto foundOut = [&](uint32_t t) {
      if (memo[t] >= 0) return memo[t];
      std::queue<uint32_t> q;
      touched.clear();
      depth[t] = 0;
      touched.push_back(t);
      q.push(t);
      int far = 0;
      while (!q.empty()) {
        const uint32_t m = q.front();
        q.pop();
        far = std::max(far, depth[m]);
        for (uint32_t x = optStart[m]; x < optStart[m + 1]; x++)
          if (!alive(opt[x]) && depth[opt[x]] < 0) {
            depth[opt[x]] = depth[m] + 1;
            touched.push_back(opt[x]);
            q.push(opt[x]);
          }
      }
      for (uint32_t m : touched) depth[m] = -1;
      return memo[t] = far + 1;
    };
    int k = 0;
    std::vector<uint32_t> deadSeeds;
    for (uint32_t u : g.solution) {
      if (!decision[u]) continue;
      k++;
      const uint32_t m = macro[u];
      int worst = 0;
      for (uint32_t x = optStart[m]; x < optStart[m + 1]; x++)
        if (!alive(opt[x])) worst = std::max(worst, foundOut(opt[x]));
      if (worst) out.traps.push_back({k, worst});
      for (uint32_t x = out_.start[u]; x < out_.start[u + 1]; x++)
        if (!live[out_.to[x]]) deadSeeds.push_back(out_.to[x]);
    }
    out.solutionDecisions = k;
    // The cells of the dead ends those decisions open, as far as a player goes into one before
    // he is stuck or notices (a dead world reaches far: only its first moves count).
    std::vector<uint8_t> seen(n, 0);
    std::vector<uint32_t> level, nextLevel;
    for (uint32_t s : deadSeeds)
      if (!seen[s]) {
        seen[s] = 1;
        level.push_back(s);
      }
    for (int step = 0; step <= kTrapMoves && !level.empty(); step++) {
      nextLevel.clear();
      for (uint32_t u : level) {
        out.trapCells.push_back(cells[u]);
        for (uint32_t x = out_.start[u]; x < out_.start[u + 1]; x++)
          if (const uint32_t v = out_.to[x]; !seen[v] && !live[v]) {
            seen[v] = 1;
            nextLevel.push_back(v);
          }
      }
      level.swap(nextLevel);
    }
    std::sort(out.trapCells.begin(), out.trapCells.end());
    out.trapCells.erase(std::unique(out.trapCells.begin(), out.trapCells.end()), out.trapCells.end());
  }
  out.known = true;
}

}  // namespace solver
