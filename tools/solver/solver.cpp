// The stage solver's search: a headless host that presents nothing, a compact encoding of
// every play field the rules read, and a frame-by-frame shortest-time search.
#include "tools/solver/solver.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string_view>
#include <thread>

#include "game/game.h"
#include "game/play/play.h"
#include "game/play/stage_format.h"
#include "game/play/stage_text.h"
#include "game/scenes.h"
#include "game/shell/main_loop.h"
#include "platform/api/keys.h"
#include "platform/null/null_host.h"
#include "tools/headless/key_script.h"

namespace solver {

namespace {

struct GoalStop {};

constexpr int kKeyCodes[7] = {plat::kVkLeft, plat::kVkRight, plat::kVkUp, plat::kVkDown,
                              plat::kVkZ,    plat::kVkX,     plat::kVkShift};
constexpr const char* kKeyNames[7] = {"Left", "Right", "Up", "Down", "Z", "X", "Shift"};

// The inputs tried on every frame, plain arrows before the rest so ties keep simple keys. Each
// adds one key to an earlier input, its base: when the base's frame never asked about the
// added key, the frame runs exactly as the base's did and is not run again.
struct Input {
  uint8_t keys;
  int base;  // index of the base input, -1 for none
};
constexpr Input kInputs[] = {{0, -1},         {kLeft, 0},      {kRight, 0},     {kUp, 0},
                             {kDown, 0},      {kZ, 0},         {kX, 0},         {kShift | kLeft, 1},
                             {kShift | kRight, 2}, {kZ | kLeft, 1}, {kZ | kRight, 2}};

// Presents nothing and draws no text, so a frame costs only the play logic; the keys of a
// frame go down at its first present, as the headless runner's key script does it, and every
// later present of the same frame (a cut-scene inside it) holds none.
class SolverHost : public plat::NullHost {
 public:
  const Game* game = nullptr;
  bool stopAtGoal = true;
  uint8_t pending = 0;
  int presentsInFrame = 0;
  // The keys the play logic asked about while `tracking` is set, as key bits.
  bool tracking = false;
  uint8_t queried = 0;

  void Present(const plat::Bitmap&) override {
    ++presentsInFrame;
    if (stopAtGoal && game && game->GoalArrived) throw GoalStop{};
    SetKeys(presentsInFrame == 1 ? pending : 0);
  }
  short AsyncKeyState(int vk) override {
    if (tracking)
      for (int i = 0; i < 7; i++)
        if (kKeyCodes[i] == vk) queried |= static_cast<uint8_t>(1u << i);
    return NullHost::AsyncKeyState(vk);
  }
  void DrawText(plat::Bitmap&, const std::string&, int, uint32_t, int, int, std::string_view) override {}
  int TextWidth(const std::string&, int, std::string_view) override { return 0; }

  void SetKeys(uint8_t bits) {
    const uint8_t change = bits ^ down_;
    for (int i = 0; i < 7; i++) {
      if (!(change & (1u << i))) continue;
      if (bits & (1u << i))
        KeyDown(kKeyCodes[i]);
      else
        KeyUp(kKeyCodes[i]);
    }
    down_ = bits;
  }

 private:
  uint8_t down_ = 0;
};

bool ReadFile(const std::string& path, std::string& out) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return false;
  out.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
  return true;
}

// Lays the stage into the game and starts play as the stage intro leaves it.
bool StartStage(Game& g, const StageSource& src, std::string& error) {
  std::string bytes;
  if (!ReadFile(src.path, bytes)) {
    error = "cannot read " + src.path;
    return false;
  }
  switch (src.kind) {
    case StageSource::Builtin: {
      if (src.index < 0 || src.index >= kBuiltinStageCount) {
        error = "stage index out of 0.." + std::to_string(kBuiltinStageCount - 1);
        return false;
      }
      DecodeStageData(std::vector<uint8_t>(bytes.begin(), bytes.end()), g.BuiltinStages, g.StageStyleTable);
      g.StageIndex = static_cast<uint8_t>(src.index);
      LoadStage(g);
      g.AltMode = g.StageIndex >= 50 ? 1 : 0;  // the bonus stages are played in the alternate mode
      break;
    }
    case StageSource::Krm: {
      if (!ReadUserStageFile(g, src.path)) {
        error = "cannot read " + src.path;
        return false;
      }
      g.StageIndex = kUserStageIndex;
      g.AltMode = 0;
      UserStageToGrid(g);
      break;
    }
    case StageSource::Text: {
      TUserStage s;
      if (!ParseStageText(bytes, s, error)) {
        error = src.path + ": " + error;
        return false;
      }
      g.StageGridRows = s.Rows;
      g.StageStyle = s.Style;
      g.StageTheme = s.Theme;
      g.StartFacing = s.Facing;
      g.StageIndex = kUserStageIndex;
      g.AltMode = 0;
      UserStageToGrid(g);
      break;
    }
  }
  bool start = false, goal = false;
  for (uint8_t c : g.StageGrid) {
    start = start || c == ccPlayerStart;
    goal = goal || c == ccGoal;
  }
  if (!start || !goal) {
    error = src.path + ": the stage has no " + (start ? "goal" : "player start");
    return false;
  }
  g.OwnWindow = g.LastActiveWindow = g.host.FormWindowId();
  ResetPlayState(g);
  SetupPlayBoard(g);
  // As the stage select's PLAY leaves it, with the intro's end: the screen still to fade in.
  g.FrameCounter = 0;
  g.FadeInPending = 1;
  g.StageGrid[GridIndex(static_cast<int>(g.PlayerX), static_cast<int>(g.PlayerY))] = ccEmpty;
  g.SceneId = scPlay;
  g.KeyLatch = 0;
  return true;
}

// ---- state encoding ----

template <typename T>
void Put(std::string& s, const T& v) {
  s.append(reinterpret_cast<const char*>(&v), sizeof v);
}
template <typename T>
void Get(const char*& p, T& v) {
  std::memcpy(&v, p, sizeof v);
  p += sizeof v;
}

// Cell lists whose entries carry states (positions and counts never change during play).
std::array<TCellList PlayState::*, 5> kStateLists = {&PlayState::KeyList, &PlayState::DoorList, &PlayState::BallList,
                                                     &PlayState::JailList, &PlayState::CloudList};

// Everything the play rules read and write, in a string; the first `logicBytes` are the
// fields the rules decide by, the rest the animation counters that only the pictures use.
void Encode(const Game& g, std::string& s, size_t& logicBytes) {
  s.clear();
  s.append(reinterpret_cast<const char*>(g.StageGrid.data()), g.StageGrid.size());
  for (auto m : kStateLists) {
    const TCellList& l = g.*m;
    s.append(reinterpret_cast<const char*>(&l.State[1]), l.Count);
  }
  for (const TLiftList* l : {&g.BalloonList, &g.JumpPadList})
    for (int i = 1; i <= l->Count; i++) {
      Put(s, l->X[i]);
      Put(s, l->Y[i]);
      Put(s, l->State[i]);
      Put(s, l->FallTimer[i]);
      Put(s, l->Pose[i]);
    }
  Put(s, g.PlayerX);
  Put(s, g.PlayerY);
  const uint8_t bytes[] = {g.PlayerFacing, g.PrevFacing,   g.ActionCode,    g.ActionFrames, g.PlayerBusy,
                           g.PlayerFlash,  g.JumpDirection, g.PadDirection, g.PadIndex,     g.PadLaunchCut,
                           g.HoldingObject, g.HeldKind,     g.HeldIndex,     g.KeysHeld,     g.BallsTaken,
                           g.BallsInStage, g.BarrierGone,   g.KeyLatch};
  s.append(reinterpret_cast<const char*>(bytes), sizeof bytes);
  // The fade-in of the first frames keeps the renderer from marking opened doors done.
  Put(s, g.FadeInPending);
  Put(s, g.FadeInCount);
  logicBytes = s.size();
  Put(s, g.FrameCounter);
  const uint8_t anim[] = {g.PlayerAnimFrame, g.BarrierBlinkTick, g.ObjAnimFrame, g.ItemAnimFrame, g.GoalAnimFrame};
  s.append(reinterpret_cast<const char*>(anim), sizeof anim);
}

void Decode(Game& g, const std::string& s) {
  const char* p = s.data();
  std::memcpy(g.StageGrid.data(), p, g.StageGrid.size());
  p += g.StageGrid.size();
  for (auto m : kStateLists) {
    TCellList& l = g.*m;
    std::memcpy(&l.State[1], p, l.Count);
    p += l.Count;
  }
  for (TLiftList* l : {&g.BalloonList, &g.JumpPadList})
    for (int i = 1; i <= l->Count; i++) {
      Get(p, l->X[i]);
      Get(p, l->Y[i]);
      Get(p, l->State[i]);
      Get(p, l->FallTimer[i]);
      Get(p, l->Pose[i]);
    }
  Get(p, g.PlayerX);
  Get(p, g.PlayerY);
  uint8_t* fields[] = {&g.PlayerFacing, &g.PrevFacing,    &g.ActionCode,    &g.ActionFrames, &g.PlayerBusy,
                       &g.PlayerFlash,  &g.JumpDirection, &g.PadDirection,  &g.PadIndex,     &g.PadLaunchCut,
                       &g.HoldingObject, &g.HeldKind,     &g.HeldIndex,     &g.KeysHeld,     &g.BallsTaken,
                       &g.BallsInStage, &g.BarrierGone,   &g.KeyLatch};
  for (uint8_t* f : fields) Get(p, *f);
  Get(p, g.FadeInPending);
  Get(p, g.FadeInCount);
  Get(p, g.FrameCounter);
  uint8_t* anim[] = {&g.PlayerAnimFrame, &g.BarrierBlinkTick, &g.ObjAnimFrame, &g.ItemAnimFrame, &g.GoalAnimFrame};
  for (uint8_t* f : anim) Get(p, *f);
}

struct Hash128 {
  uint64_t a, b;
  bool operator==(const Hash128& o) const { return a == o.a && b == o.b; }
};

uint64_t Mix(uint64_t x) {
  x ^= x >> 33;
  x *= 0xFF51AFD7ED558CCDull;
  x ^= x >> 33;
  x *= 0xC4CEB9FE1A85EC53ull;
  return x ^ (x >> 33);
}

// Two independent 64-bit hashes of the bytes, eight at a time.
Hash128 HashOf(std::string_view v) {
  uint64_t a = 0x9E3779B97F4A7C15ull ^ v.size(), b = 0xD6E8FEB86659FD93ull;
  size_t i = 0;
  for (; i + 8 <= v.size(); i += 8) {
    uint64_t w;
    std::memcpy(&w, v.data() + i, 8);
    a = Mix(a ^ w);
    b = (b ^ w) * 0x100000001B3ull + (b >> 29);
  }
  uint64_t w = 0;
  std::memcpy(&w, v.data() + i, v.size() - i);
  return {Mix(a ^ w), Mix(b ^ w ^ 0x5851F42D4C957F2Dull)};
}

// Hashes of the states met so far and their ids: open addressing, kept at most half full.
class StateIndex {
 public:
  static constexpr uint32_t kNone = UINT32_MAX;
  StateIndex() { Resize(1u << 16); }
  uint32_t Find(const Hash128& h) const {
    for (size_t i = h.a & mask_;; i = (i + 1) & mask_) {
      if (ids_[i] == kNone) return kNone;
      if (keys_[i] == h) return ids_[i];
    }
  }
  void Insert(const Hash128& h, uint32_t id) {
    if (2 * (count_ + 1) > ids_.size()) Resize(2 * ids_.size());
    Place(h, id);
    count_++;
  }

 private:
  void Place(const Hash128& h, uint32_t id) {
    size_t i = h.a & mask_;
    while (ids_[i] != kNone) i = (i + 1) & mask_;
    keys_[i] = h;
    ids_[i] = id;
  }
  void Resize(size_t n) {
    std::vector<Hash128> keys(n);
    std::vector<uint32_t> ids(n, kNone);
    keys.swap(keys_);
    ids.swap(ids_);
    mask_ = n - 1;
    for (size_t i = 0; i < ids.size(); i++)
      if (ids[i] != kNone) Place(keys[i], ids[i]);
  }
  std::vector<Hash128> keys_;
  std::vector<uint32_t> ids_;
  size_t mask_ = 0, count_ = 0;
};

// One game on the solver host, with the stage's start kept to return to.
struct Runner {
  SolverHost host;
  Game g{host};
  std::string scratch, mid, noneInput;  // reused by the expansion, so it allocates little
  CutsceneState cutsAtStart;
  std::string start;
  size_t startLogic = 0;

  bool Start(const StageSource& src, std::string& error) {
    if (!StartStage(g, src, error)) return false;
    if (g.GoalArrived) {
      error = src.path + ": the player starts on the goal";
      return false;
    }
    host.game = &g;
    cutsAtStart = static_cast<CutsceneState&>(g);
    Encode(g, start, startLogic);
    return true;
  }
  void Restore(const std::string& enc) {
    static_cast<CutsceneState&>(g) = cutsAtStart;
    Decode(g, enc);
    g.GoalArrived = 0;
  }
  // One play frame as the main loop runs it, with its tail's latch release and key flush.
  // The frames presented; `goal` is set when the goal was reached in it.
  int Frame(uint8_t keys, bool& goal) {
    host.pending = keys;
    host.presentsInFrame = 0;
    host.queried = 0;
    goal = false;
    try {
      BeginFrame(g);
      host.tracking = true;
      RunSceneFrame(g);
      ReleaseKeyLatch(g);
      host.tracking = false;
      FlushKeys(g);
    } catch (const GoalStop&) {
      goal = true;
    }
    host.tracking = false;
    return host.presentsInFrame;
  }

  // The same frame in two parts, so the part before the input runs once for all inputs: the
  // picture, the animation tick and the falling objects (no key is read there).
  void BeforeInput() {
    host.pending = 0;
    host.presentsInFrame = 0;
    BeginFrame(g);
    DrawPlayField(g);
    TickAnimation(g);
    UpdateFallingObjects(g);
  }
  // From the state BeforeInput left (restored): the input with `keys`, then the rest of the
  // frame when `rest` says so after seeing the state the input left. The frames presented.
  template <typename Rest>
  int FromInput(uint8_t keys, bool& goal, bool& skipped, Rest rest) {
    host.presentsInFrame = 1;
    host.SetKeys(keys);
    host.queried = 0;
    goal = skipped = false;
    try {
      host.tracking = true;
      HandlePlayInput(g);
      host.tracking = false;
      if (!rest()) {
        skipped = true;
        return host.presentsInFrame;
      }
      host.tracking = true;
      StepPlayerAction(g);
      if (g.ActionCode == 0 && g.ActionFrames == 0) ChooseNextAction(g);
      ReleaseKeyLatch(g);
      host.tracking = false;
      FlushKeys(g);
    } catch (const GoalStop&) {
      goal = true;
    }
    host.tracking = false;
    return host.presentsInFrame;
  }
};

struct Node {
  uint32_t parent;
  int32_t dist;  // frames presented from the start
  uint8_t keys;
  uint8_t cellX, cellY;
  bool expanded;
  uint16_t presents;
};

// What one input does from a state: the goal, or a new state with its hash.
struct Successor {
  uint8_t keys;
  int presents;
  bool goal;
  Hash128 hash;
  std::string enc;
  uint8_t cellX, cellY;
};

// Runs every input from the state `here`, keeping those whose frame differs from the frame
// without keys.
void Expand(Runner& run, const std::string& here, std::vector<Successor>& out, bool wholeFrames,
            const StateIndex& index) {
  Hash128 none{};
  uint8_t asked[std::size(kInputs)] = {};
  std::string& e = run.scratch;
  std::string& mid = run.mid;
  std::string& noneInput = run.noneInput;
  size_t logic = 0;
  if (!wholeFrames) {
    run.Restore(here);
    run.BeforeInput();
    Encode(run.g, mid, logic);
  }
  for (size_t k = 0; k < std::size(kInputs); k++) {
    const Input in = kInputs[k];
    if (in.base >= 0 && !(asked[in.base] & (in.keys & ~kInputs[in.base].keys))) continue;
    bool goal = false;
    int presents;
    if (wholeFrames) {
      run.Restore(here);
      presents = run.Frame(in.keys, goal);
    } else {
      // An input that leaves the state as no key does, and holds neither Z nor X (which the
      // latch release reads later in the frame), ends the frame as no key does.
      run.Restore(mid);
      bool skipped;
      presents = run.FromInput(in.keys, goal, skipped, [&] {
        if (run.host.presentsInFrame != 1) return true;
        Encode(run.g, e, logic);
        if (k == 0) {
          noneInput.assign(e, 0, logic);
          return true;
        }
        return (in.keys & (kZ | kX)) != 0 || std::string_view(e.data(), logic) != noneInput;
      });
      if (skipped) {
        // The rest of its frame would have asked what the frame without keys asked.
        asked[k] = static_cast<uint8_t>(run.host.queried | asked[0]);
        continue;
      }
    }
    asked[k] = run.host.queried;
    if (goal) {
      out.push_back({in.keys, presents, true, {}, {}, 0, 0});
      continue;
    }
    if (run.g.SceneId != scPlay) continue;
    Encode(run.g, e, logic);
    const Hash128 h = HashOf(std::string_view(e.data(), logic));
    if (k == 0)
      none = h;
    else if (h == none)
      continue;
    // A state already known needs no copy (the index is not written while workers run).
    out.push_back({in.keys, presents, false, h, index.Find(h) == StateIndex::kNone ? e : std::string(),
                   static_cast<uint8_t>(run.g.PlayerX), static_cast<uint8_t>(run.g.PlayerY)});
  }
}

}  // namespace

std::string KeyNames(uint8_t keys) {
  std::string s;
  // Shift first, so "Shift+Left" reads as it is typed.
  const int order[7] = {6, 0, 1, 2, 3, 4, 5};
  for (int i : order)
    if (keys & (1u << i)) {
      if (!s.empty()) s += '+';
      s += kKeyNames[i];
    }
  return s.empty() ? "-" : s;
}

std::string KeyScript(const std::vector<Step>& steps) {
  std::vector<std::pair<int, uint8_t>> runs;
  auto add = [&](int n, uint8_t k) {
    if (n <= 0) return;
    if (!runs.empty() && runs.back().second == k)
      runs.back().first += n;
    else
      runs.push_back({n, k});
  };
  for (const Step& s : steps) {
    add(1, s.keys);
    add(s.presents - 1, 0);
  }
  std::string out;
  for (auto [n, k] : runs) out += std::to_string(n) + " " + KeyNames(k) + "\n";
  return out;
}

Result Solve(const StageSource& src, const Options& opt) {
  Result r;
  const auto t0 = std::chrono::steady_clock::now();
  auto elapsed = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count(); };
  auto first = std::make_unique<Runner>();
  if (!first->Start(src, r.error)) return r;

  std::vector<Node> nodes;
  std::vector<std::string> enc;
  struct Edge {
    uint32_t from, to;
    uint8_t keys;
  };
  std::vector<Edge> edges;  // every move between two states, for the dead ends
  std::vector<uint8_t> toGoal;
  StateIndex index;
  std::vector<std::vector<uint32_t>> buckets(1);

  auto addNode = [&](std::string&& e, const Hash128& h, uint32_t parent, int dist, uint8_t keys, int presents,
                     uint8_t cellX, uint8_t cellY) {
    const uint32_t id = static_cast<uint32_t>(nodes.size());
    nodes.push_back({parent, dist, keys, cellX, cellY, false, static_cast<uint16_t>(presents)});
    enc.push_back(std::move(e));
    toGoal.push_back(0);
    index.Insert(h, id);
    if (buckets.size() <= static_cast<size_t>(dist)) buckets.resize(dist + 1);
    buckets[dist].push_back(id);
    return id;
  };
  addNode(std::string(first->start), HashOf(std::string_view(first->start.data(), first->startLogic)), 0, 0, 0, 0,
          static_cast<uint8_t>(first->g.PlayerX), static_cast<uint8_t>(first->g.PlayerY));

  int bestGoal = -1;
  uint32_t goalParent = 0;
  uint8_t goalKeys = 0;
  int goalPresents = 0;
  bool stopped = false;

  // Each bucket's states are expanded by the workers in slices, and the successors merged in
  // state and input order, so the result does not depend on the number of workers.
  std::vector<std::unique_ptr<Runner>> workers;
  workers.push_back(std::move(first));
  std::string ignored;
  while (static_cast<int>(workers.size()) < std::max(1, opt.threads)) {
    workers.push_back(std::make_unique<Runner>());
    if (!workers.back()->Start(src, ignored)) return r;
  }
  std::vector<uint32_t> todo;
  std::vector<std::string> todoEnc;
  std::vector<std::vector<Successor>> found;

  for (size_t d = 0; d < buckets.size() && !stopped; d++) {
    if (!opt.deadEnds && bestGoal >= 0 && static_cast<int>(d) >= bestGoal) break;
    todo.clear();
    todoEnc.clear();
    for (const uint32_t u : buckets[d]) {
      if (nodes[u].expanded || nodes[u].dist != static_cast<int>(d)) continue;
      if (nodes.size() + todo.size() >= opt.maxStates || elapsed() > opt.maxSeconds) {
        stopped = true;
        break;
      }
      nodes[u].expanded = true;
      todo.push_back(u);
      todoEnc.push_back(std::move(enc[u]));
      std::string().swap(enc[u]);
    }
    std::vector<uint32_t>().swap(buckets[d]);
    found.assign(todo.size(), {});
    const size_t n = todo.size();
    const size_t used = std::min(workers.size(), std::max<size_t>(1, n / 32));
    if (used <= 1) {
      for (size_t i = 0; i < n; i++) Expand(*workers[0], todoEnc[i], found[i], opt.wholeFrames, index);
    } else {
      std::vector<std::thread> threads;
      for (size_t w = 0; w < used; w++)
        threads.emplace_back([&, w] {
          for (size_t i = w; i < n; i += used) Expand(*workers[w], todoEnc[i], found[i], opt.wholeFrames, index);
        });
      for (std::thread& t : threads) t.join();
    }
    for (size_t i = 0; i < n; i++) {
      const uint32_t u = todo[i];
      const size_t firstEdge = edges.size();
      for (Successor& sc : found[i]) {
        const int dist = static_cast<int>(d) + sc.presents;
        if (sc.goal) {
          toGoal[u] = 1;
          if (bestGoal < 0 || dist < bestGoal) {
            bestGoal = dist;
            goalParent = u;
            goalKeys = sc.keys;
            goalPresents = sc.presents;
          }
          continue;
        }
        uint32_t v = index.Find(sc.hash);
        if (v == StateIndex::kNone) {
          v = addNode(std::move(sc.enc), sc.hash, u, dist, sc.keys, sc.presents, sc.cellX, sc.cellY);
        } else {
          Node& nd = nodes[v];
          if (!nd.expanded && dist < nd.dist) {
            nd.dist = dist;
            nd.parent = u;
            nd.keys = sc.keys;
            nd.presents = static_cast<uint16_t>(sc.presents);
            if (buckets.size() <= static_cast<size_t>(dist)) buckets.resize(dist + 1);
            buckets[dist].push_back(v);
          }
        }
        if (opt.deadEnds && v != u) {
          bool known = false;
          for (size_t x = firstEdge; x < edges.size(); x++) known = known || edges[x].to == v;
          if (!known) edges.push_back({u, v, sc.keys});
        }
      }
    }
  }
  r.complete = !stopped;
  r.states = nodes.size();

  if (bestGoal >= 0) {
    r.solved = true;
    r.frames = bestGoal;
    std::vector<Step> rev{{goalKeys, goalPresents}};
    for (uint32_t v = goalParent; v != 0; v = nodes[v].parent) rev.push_back({nodes[v].keys, nodes[v].presents});
    r.steps.assign(rev.rbegin(), rev.rend());
    for (const Step& s : r.steps)
      if (s.keys) r.moves++;
  }

  if (opt.deadEnds && r.complete) {
    // Live states reach the goal; the others, all reachable from the start, are dead ends.
    // The moves into each state, grouped by state.
    std::vector<uint32_t> predStart(nodes.size() + 1, 0), pred(edges.size());
    for (const Edge& ed : edges) predStart[ed.to + 1]++;
    for (size_t i = 1; i < predStart.size(); i++) predStart[i] += predStart[i - 1];
    {
      std::vector<uint32_t> fill(predStart.begin(), predStart.end() - 1);
      for (const Edge& ed : edges) pred[fill[ed.to]++] = ed.from;
    }
    std::vector<uint8_t> live(nodes.size(), 0);
    std::vector<uint32_t> stack;
    for (uint32_t u = 0; u < nodes.size(); u++)
      if (toGoal[u]) {
        live[u] = 1;
        stack.push_back(u);
      }
    while (!stack.empty()) {
      const uint32_t v = stack.back();
      stack.pop_back();
      for (uint32_t x = predStart[v]; x < predStart[v + 1]; x++)
        if (const uint32_t u = pred[x]; !live[u]) {
          live[u] = 1;
          stack.push_back(u);
        }
    }
    std::vector<DeadEnd> entries;
    for (uint32_t u = 0; u < nodes.size(); u++)
      if (!live[u]) r.deadEndStates++;
    for (const Edge& ed : edges)
      if (live[ed.from] && !live[ed.to]) {
        r.deadEndEntries++;
        entries.push_back({nodes[ed.from].dist, nodes[ed.from].cellX, nodes[ed.from].cellY, ed.keys});
      }
    std::stable_sort(entries.begin(), entries.end(), [](const DeadEnd& a, const DeadEnd& b) { return a.frame < b.frame; });
    for (const DeadEnd& d : entries) {
      bool seen = false;
      for (const DeadEnd& x : r.deadEndExamples) seen = seen || (x.cellX == d.cellX && x.cellY == d.cellY);
      if (!seen) r.deadEndExamples.push_back(d);
      if (r.deadEndExamples.size() >= 5) break;
    }
  }
  r.seconds = elapsed();
  return r;
}

int ReplayToGoal(const StageSource& src, const std::string& script, int limit, std::string& error) {
  // The headless host's own key script and presents, as the runner replays a script.
  class ReplayHost : public plat::NullHost {
   public:
    void DrawText(plat::Bitmap&, const std::string&, int, uint32_t, int, int, std::string_view) override {}
    int TextWidth(const std::string&, int, std::string_view) override { return 0; }
  } host;
  Game g(host);
  if (!StartStage(g, src, error)) return -1;
  std::vector<plat::NullHost::KeyStep> steps;
  if (!ParseKeyScript(script, steps, error)) return -1;
  StageKeyScript keys(std::move(steps));
  host.OnFrame = [&](int n) {
    keys.OnPresent(host, g, n);
    if (g.GoalArrived) throw GoalStop{};
  };
  try {
    while (host.Frames() < limit && g.SceneId == scPlay) {
      BeginFrame(g);
      RunSceneFrame(g);
      FullFrameTail(g);
    }
  } catch (const GoalStop&) {
    return host.Frames();
  }
  return -1;
}

}  // namespace solver
