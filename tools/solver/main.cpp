// plumet-solver: the shortest key sequence that takes a stage to its goal, found with the
// game's own play code, and the dead ends a player can walk into.
//
//   plumet-solver (--map FILE --builtin N | --krm FILE | --text FILE) [--keys OUT]
//                 [--no-dead-ends] [--max-states N] [--max-seconds S] [--threads N] [--whole-frames] [--verify]
//
// Prints "solvable: yes|no|unknown", the solution's frames and moves, states searched,
// seconds, the dead-end count with examples, and the key script (also written to OUT).
#include <cstdio>
#include <fstream>
#include <iostream>
#include <thread>
#include <algorithm>

#include "tools/solver/solver.h"

namespace {

int Usage(const std::string& why) {
  std::cerr << "plumet-solver: " << why << "\n"
            << "usage: plumet-solver (--map FILE --builtin N | --krm FILE | --text FILE) [--keys OUT]\n"
            << "       [--no-dead-ends] [--max-states N] [--max-seconds S] [--threads N] [--whole-frames] [--verify]\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  solver::StageSource src;
  solver::Options opt;
  opt.threads = static_cast<int>(std::min(8u, std::max(1u, std::thread::hardware_concurrency())));
  std::string keysOut;
  bool haveStage = false, verify = false;
  int builtin = -1;
  for (int i = 1; i < argc; i++) {
    const std::string a = argv[i];
    auto next = [&](std::string& v) {
      if (i + 1 >= argc) return false;
      v = argv[++i];
      return true;
    };
    std::string v;
    try {
      if (a == "--map" || a == "--krm" || a == "--text") {
        if (!next(src.path)) return Usage(a + " needs a file");
        src.kind = a == "--map" ? solver::StageSource::Builtin
                   : a == "--krm" ? solver::StageSource::Krm
                                  : solver::StageSource::Text;
        haveStage = true;
      } else if (a == "--builtin") {
        if (!next(v)) return Usage("--builtin needs a stage index");
        builtin = std::stoi(v);
      } else if (a == "--keys") {
        if (!next(keysOut)) return Usage("--keys needs a file");
      } else if (a == "--no-dead-ends") {
        opt.deadEnds = false;
      } else if (a == "--max-states") {
        if (!next(v)) return Usage("--max-states needs a number");
        opt.maxStates = std::stoul(v);
      } else if (a == "--max-seconds") {
        if (!next(v)) return Usage("--max-seconds needs a number");
        opt.maxSeconds = std::stod(v);
      } else if (a == "--threads") {
        if (!next(v)) return Usage("--threads needs a number");
        opt.threads = std::stoi(v);
      } else if (a == "--whole-frames") {
        opt.wholeFrames = true;
      } else if (a == "--verify") {
        verify = true;
      } else {
        return Usage("unknown option " + a);
      }
    } catch (const std::exception&) {
      return Usage(a + " needs a number");
    }
  }
  if (!haveStage) return Usage("no stage given");
  if (src.kind == solver::StageSource::Builtin) {
    if (builtin < 0) return Usage("--map needs --builtin N");
    src.index = builtin;
  }

  const solver::Result r = solver::Solve(src, opt);
  if (!r.error.empty()) {
    std::cerr << "plumet-solver: " << r.error << "\n";
    return 2;
  }
  const std::string script = r.solved ? solver::KeyScript(r.steps) : "";
  std::cout << "solvable: " << (r.solved ? "yes" : r.complete ? "no" : "unknown") << "\n";
  if (r.solved) std::cout << "moves: " << r.moves << "\nframes: " << r.frames << "\n";
  std::cout << "states: " << r.states << (r.complete ? "" : " (search cut short)") << "\n";
  if (r.moveCapped) std::cout << "note: a move met more states than a move may search\n";
  if (opt.deadEnds) {
    if (!r.complete) {
      std::cout << "dead-ends: unknown\nwinnable: unknown\n";
    } else {
      std::cout << "dead-ends: " << r.deadEndStates << "\n";
      std::printf("winnable: %.3f\n", r.states ? 1.0 - static_cast<double>(r.deadEndStates) / r.states : 0.0);
      std::cout << "dead-end moves: " << r.deadEndEntries << "\n";
      for (const solver::DeadEnd& d : r.deadEndExamples)
        std::cout << "  dead end: after " << d.move << " moves, from cell (" << d.cellX << "," << d.cellY
                  << ") to (" << d.toX << "," << d.toY << ")\n";
    }
  }
  if (r.measure.known) {
    const solver::Measure& m = r.measure;
    std::cout << "decision points: " << m.decisionPoints << "\n";
    if (m.decisions >= 0) std::cout << "decisions: " << m.decisions << " (the shortest solution: " << m.solutionDecisions << ")\n";
    std::cout << "search: " << m.search << " (" << m.searchRuns << " runs, " << m.searchCapped << " capped at " << m.searchCap << ")\n";
    std::cout << "traps: " << m.traps.size();
    for (size_t i = 0; i < m.traps.size(); i++)
      std::cout << (i ? ", " : " (") << m.traps[i].decision << "+" << m.traps[i].foundOut;
    std::cout << (m.traps.empty() ? "" : ")") << "\n";
  }
  if (r.solved && r.walking >= 0) std::printf("walking: %.2f\nrewalk: %.2f\n", r.walking, r.rewalk);
  auto cells = [](const char* name, const std::vector<std::pair<int, int>>& v) {
    std::cout << name << ":";
    for (auto [x, y] : v) std::cout << " " << x << "," << y;
    std::cout << "\n";
  };
  if (r.solved) cells("cells", r.pathCells);
  if (r.measure.known) {
    cells("trap cells", r.measure.trapCells);
    cells("reach cells", r.measure.reachCells);
  }
  std::printf("seconds: %.2f\n", r.seconds);
  std::cout << "frames searched: " << r.framesSearched << "\n";
  if (r.solved) {
    std::cout << "solution:";
    for (const solver::MoveInfo& m : r.path) std::cout << " " << m.keys;
    std::cout << "\n";
    for (size_t i = 0; i < r.path.size(); i++) {
      const solver::MoveInfo& m = r.path[i];
      std::cout << "  " << i + 1 << ". (" << m.fromX << "," << m.fromY << ") " << m.keys << " -> ";
      if (m.toX < 0)
        std::cout << "goal";
      else
        std::cout << "(" << m.toX << "," << m.toY << ")";
      std::cout << ", " << m.frames << " frames\n";
    }
  }
  if (r.solved) {
    std::cout << "keys:\n" << script;
    if (!keysOut.empty()) {
      std::ofstream f(keysOut, std::ios::binary | std::ios::trunc);
      f << "# plumet-solver: " << r.moves << " moves, " << r.frames << " frames\n" << script;
      if (!f) {
        std::cerr << "plumet-solver: cannot write " << keysOut << "\n";
        return 2;
      }
    }
    if (verify) {
      std::string error;
      const int at = solver::ReplayToGoal(src, script, r.frames + 1000, error);
      std::cout << "replay: " << (at == r.frames ? "goal" : at < 0 ? "missed" : "goal at another frame") << "\n";
      if (at != r.frames) return 1;
    }
  }
  return r.solved ? 0 : (r.complete ? 3 : 4);
}
