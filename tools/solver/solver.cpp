// The stage solver's search: a headless host that presents nothing, a compact encoding of
// every play field the rules read, and a frame-by-frame shortest-time search.
#include "tools/solver/solver.h"

#include "tools/solver/measure.h"

#include <algorithm>
#ifdef __SSE2__
#include <emmintrin.h>
#endif
#include <array>
#include <chrono>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <queue>
#include <sstream>
#include <string_view>
#include <thread>
#include <tuple>

#include "game/game.h"
#include "game/play/play.h"
#include "game/play/stage_format.h"
#include "game/play/stage_text.h"
#include "game/scenes.h"
#include "game/shell/frame.h"
#include "game/shell/main_loop.h"
#include "platform/api/keys.h"
#include "platform/null/null_host.h"
#include "tools/headless/key_script.h"

namespace solver {

namespace {

struct GoalStop {};

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
// later present of the same frame (a cut-scene inside it) holds none. The keys are kept as bits
// with the null host's meaning: down, and pressed since the last read of the key.
class SolverHost : public plat::NullHost {
 public:
  // The solver's game has no sound device, so the audio need not be mixed as the clock runs
  // (cut-scenes and pads pace their frames by the clock).
  SolverHost() { SetAudioFollowsClock(false); }

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
    const uint8_t bit = BitOf(vk);
    if (!bit) return 0;  // never held
    if (tracking) queried |= bit;
    short r = 0;
    if (down_ & bit) r |= plat::kKeyDown;
    if (pressed_ & bit) {
      r |= plat::kKeyPressedSince;
      pressed_ &= static_cast<uint8_t>(~bit);
    }
    return r;
  }
  void DrawText(plat::Bitmap&, const std::string&, int, uint32_t, int, int, std::string_view) override {}

  void SetKeys(uint8_t bits) {
    pressed_ |= static_cast<uint8_t>(bits & ~down_);
    down_ = bits;
  }

 private:
  static uint8_t BitOf(int vk) {
    static constexpr auto kBits = [] {
      std::array<uint8_t, 256> bits{};
      const int codes[7] = {plat::kVkLeft, plat::kVkRight, plat::kVkUp, plat::kVkDown,
                            plat::kVkZ,    plat::kVkX,     plat::kVkShift};
      for (int i = 0; i < 7; i++) bits[codes[i]] = static_cast<uint8_t>(1u << i);
      return bits;
    }();
    return vk >= 0 && vk < 256 ? kBits[vk] : 0;
  }
  uint8_t down_ = 0, pressed_ = 0;
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
  EndStageIntro(g);
  return true;
}

// ---- state encoding ----

// Copies the grid sixteen bytes at a time: a copy of this size otherwise starts a string move,
// whose set-up costs more than the copy.
void CopyGrid(void* to, const void* from) {
  constexpr size_t n = sizeof(StageModel::StageGrid);
  auto* d = static_cast<char*>(to);
  const auto* s = static_cast<const char*>(from);
#ifdef __SSE2__
  size_t i = 0;
  for (; i + 16 <= n; i += 16)
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i)));
  std::memcpy(d + i, s + i, n - i);
#else
  std::memcpy(d, s, n);
#endif
}

// Writes fields to a buffer with room for them.
struct Writer {
  char* p;
  template <typename T>
  void Put(const T& v) {
    std::memcpy(p, &v, sizeof v);
    p += sizeof v;
  }
  void Bytes(const void* v, size_t n) {
    std::memcpy(p, v, n);
    p += n;
  }
  // A list's states: a few bytes, copied one by one rather than by a string move.
  void States(const TCellList& l) {
    for (int i = 1; i <= l.Count; i++) *p++ = static_cast<char>(l.State[i]);
  }
};
void GetStates(const char*& p, TCellList& l) {
  for (int i = 1; i <= l.Count; i++) l.State[i] = static_cast<uint8_t>(*p++);
}
template <typename T>
void Get(const char*& p, T& v) {
  std::memcpy(&v, p, sizeof v);
  p += sizeof v;
}

// Room for the longest encoding any stage can have.
constexpr size_t kMaxEncoding =
    sizeof(StageModel::StageGrid) + 10 * TCellList::kSlots + 2 * 11 * TLiftList::kSlots + 128;

// A closing jail (2 to 22) and one the barrier opened for good (23 to 43), and a vanishing cloud
// (2 to 10), count their frames only for the picture: the rules tell these states apart.
uint8_t JailRuleState(uint8_t s) { return s <= 1 ? s : s <= 22 ? 2 : 3; }
uint8_t CloudRuleState(uint8_t s) { return s <= 1 ? s : 2; }

// Everything the play rules read and write, in `out` (room for kMaxEncoding bytes); the first
// `logicBytes` are the fields the rules decide by, the rest the animation counters that only
// the pictures use. Of the cell lists only the keys, doors, balls, jails and clouds carry states;
// positions and counts never change during play, so every state of a stage has the same length.
size_t Encode(const Game& g, char* out, size_t& logicBytes) {
  Writer s{out};
  CopyGrid(s.p, g.StageGrid.data());
  s.p += g.StageGrid.size();
  s.States(g.KeyList);
  s.States(g.DoorList);
  s.States(g.BallList);
  for (int i = 1; i <= g.JailList.Count; i++) *s.p++ = static_cast<char>(JailRuleState(g.JailList.State[i]));
  for (int i = 1; i <= g.CloudList.Count; i++) *s.p++ = static_cast<char>(CloudRuleState(g.CloudList.State[i]));
  for (const TLiftList* l : {&g.BalloonList, &g.JumpPadList})
    for (int i = 1; i <= l->Count; i++) {
      s.Put(l->X[i]);
      s.Put(l->Y[i]);
      const uint8_t b[] = {l->State[i], l->FallTimer[i], l->Pose[i]};
      s.Bytes(b, sizeof b);
    }
  s.Put(g.PlayerX);
  s.Put(g.PlayerY);
  // The jump's direction is read only at the take-off after the wind-up that clears it.
  const bool jumping = g.ActionCode >= paJumpWindup1 && g.ActionCode <= paJumpTakeoff;
  const uint8_t bytes[] = {g.PlayerFacing, g.PrevFacing,   g.ActionCode,    g.ActionFrames, g.PlayerBusy,
                           g.PlayerFlash,  jumping ? g.JumpDirection : uint8_t{0}, g.PadDirection, g.PadIndex,     g.PadLaunchCut,
                           g.HoldingObject, g.HeldKind,     g.HeldIndex,     g.KeysHeld,     g.BallsTaken,
                           g.BallsInStage, g.BarrierGone,   g.KeyLatch};
  s.Bytes(bytes, sizeof bytes);
  // The fade-in of the first frames keeps the renderer from marking opened doors done.
  s.Put(g.FadeInPending);
  s.Put(g.FadeInCount);
  logicBytes = static_cast<size_t>(s.p - out);
  s.States(g.JailList);
  s.States(g.CloudList);
  s.Put(g.JumpDirection);
  s.Put(g.FrameCounter);
  const uint8_t anim[] = {g.PlayerAnimFrame, g.BarrierBlinkTick, g.ObjAnimFrame, g.ItemAnimFrame, g.GoalAnimFrame};
  s.Bytes(anim, sizeof anim);
  return static_cast<size_t>(s.p - out);
}
void Encode(const Game& g, std::string& s, size_t& logicBytes) {
  char buf[kMaxEncoding];
  s.assign(buf, Encode(g, buf, logicBytes));
}

// Where an encoding's parts start: the lifts (balloons and pads) after the grid and the lists'
// states, then the player's fields; the rules' bytes end at `rules`.
struct Layout {
  size_t lifts = 0, player = 0, rules = 0;
};
Layout LayoutOf(const Game& g, size_t logicBytes) {
  Layout l;
  l.lifts = g.StageGrid.size() + g.KeyList.Count + g.DoorList.Count + g.BallList.Count + g.JailList.Count +
            g.CloudList.Count;
  l.player = l.lifts + (g.BalloonList.Count + g.JumpPadList.Count) * (sizeof(float) * 2 + 3);
  l.rules = logicBytes;
  return l;
}
// Nothing but the player's place, facing and pose differs between two rest states: the grid, the
// lists, what he holds and has taken are the same (a thing he carries may move with him).
bool WorldSame(const char* a, const char* b, const Layout& l) {
  if (std::memcmp(a, b, l.lifts) != 0) return false;
  const size_t own = l.player + 2 * sizeof(float);  // the player's byte fields
  if (std::memcmp(a + own + 10, b + own + 10, l.rules - own - 10) != 0) return false;
  return a[own + 10] != 0 || std::memcmp(a + l.lifts, b + l.lifts, l.player - l.lifts) == 0;
}

void Decode(Game& g, const char* p) {
  CopyGrid(g.StageGrid.data(), p);
  p += g.StageGrid.size();
  GetStates(p, g.KeyList);
  GetStates(p, g.DoorList);
  GetStates(p, g.BallList);
  p += g.JailList.Count + g.CloudList.Count;  // the rules' view; their states follow the fields
  for (TLiftList* l : {&g.BalloonList, &g.JumpPadList})
    for (int i = 1; i <= l->Count; i++) {
      Get(p, l->X[i]);
      Get(p, l->Y[i]);
      l->State[i] = static_cast<uint8_t>(p[0]);
      l->FallTimer[i] = static_cast<uint8_t>(p[1]);
      l->Pose[i] = static_cast<uint8_t>(p[2]);
      p += 3;
    }
  Get(p, g.PlayerX);
  Get(p, g.PlayerY);
  const auto* b = reinterpret_cast<const uint8_t*>(p);
  g.PlayerFacing = b[0];
  g.PrevFacing = b[1];
  g.ActionCode = b[2];
  g.ActionFrames = b[3];
  g.PlayerBusy = b[4];
  g.PlayerFlash = b[5];
  g.PadDirection = b[7];  // b[6] is the jump's direction as the rules see it; it follows whole
  g.PadIndex = b[8];
  g.PadLaunchCut = b[9];
  g.HoldingObject = b[10];
  g.HeldKind = b[11];
  g.HeldIndex = b[12];
  g.KeysHeld = b[13];
  g.BallsTaken = b[14];
  g.BallsInStage = b[15];
  g.BarrierGone = b[16];
  g.KeyLatch = b[17];
  p += 18;
  Get(p, g.FadeInPending);
  Get(p, g.FadeInCount);
  GetStates(p, g.JailList);
  GetStates(p, g.CloudList);
  Get(p, g.JumpDirection);
  Get(p, g.FrameCounter);
  b = reinterpret_cast<const uint8_t*>(p);
  g.PlayerAnimFrame = b[0];
  g.BarrierBlinkTick = b[1];
  g.ObjAnimFrame = b[2];
  g.ItemAnimFrame = b[3];
  g.GoalAnimFrame = b[4];
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

uint64_t Rotl(uint64_t x, int r) { return (x << r) | (x >> (64 - r)); }

// A 128-bit hash of the bytes: four lanes take 32 bytes a round (so the multiplies overlap),
// and two different mixes of the lanes give the halves.
Hash128 HashOf(std::string_view v) {
  constexpr uint64_t P1 = 0x9E3779B185EBCA87ull, P2 = 0xC2B2AE3D27D4EB4Full;
  uint64_t l[4] = {0x243F6A8885A308D3ull ^ v.size(), 0x13198A2E03707344ull, 0xA4093822299F31D0ull,
                   0x082EFA98EC4E6C89ull};
  const char* p = v.data();
  size_t n = v.size();
  auto round = [&](uint64_t& lane, uint64_t w) { lane = Rotl(lane + w * P2, 31) * P1; };
  for (; n >= 32; p += 32, n -= 32)
    for (int k = 0; k < 4; k++) {
      uint64_t w;
      std::memcpy(&w, p + 8 * k, 8);
      round(l[k], w);
    }
  for (int k = 0; n >= 8; p += 8, n -= 8, k++) {
    uint64_t w;
    std::memcpy(&w, p, 8);
    round(l[k], w);
  }
  uint64_t w = 0;
  std::memcpy(&w, p, n);
  round(l[3], w ^ (uint64_t{n} << 59));
  return {Mix(l[0] ^ Rotl(l[1], 17) ^ Rotl(l[2], 34) ^ Rotl(l[3], 51)),
          Mix(Rotl(l[0], 23) + l[1] * 3 + Rotl(l[2], 47) * 5 + l[3] * 7 + 0x5851F42D4C957F2Dull)};
}

// Hashes of the states met so far and their ids: open addressing, kept at most half full.
class StateIndex {
 public:
  static constexpr uint32_t kNone = UINT32_MAX;
  explicit StateIndex(size_t slots = 1u << 16) { Resize(slots); }
  // Forgets every state; the table keeps its size, and is cleared only where it was used.
  void Clear() {
    if (count_ == 0) return;
    if (count_ * 16 < ids_.size()) {
      for (uint32_t i : used_) ids_[i] = kNone;
    } else {
      std::fill(ids_.begin(), ids_.end(), kNone);
    }
    used_.clear();
    count_ = 0;
  }
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
    used_.push_back(static_cast<uint32_t>(i));
  }
  void Resize(size_t n) {
    std::vector<Hash128> keys(n);
    std::vector<uint32_t> ids(n, kNone);
    keys.swap(keys_);
    ids.swap(ids_);
    used_.clear();
    mask_ = n - 1;
    for (size_t i = 0; i < ids.size(); i++)
      if (ids[i] != kNone) Place(keys[i], ids[i]);
  }
  std::vector<Hash128> keys_;
  std::vector<uint32_t> ids_;
  std::vector<uint32_t> used_;  // the slots in use, to clear a sparse table quickly
  size_t mask_ = 0, count_ = 0;
};

// One game on the solver host, with the stage's start kept to return to.
struct Runner {
  SolverHost host;
  Game g{host};
  // The expansion's buffers: the state after the part before the input, the state after the
  // input with no key, and the successors' encodings, one slot each.
  std::vector<char> mid = std::vector<char>(kMaxEncoding), noneInput = std::vector<char>(kMaxEncoding);
  std::vector<char> succ = std::vector<char>(std::size(kInputs) * kMaxEncoding);
  size_t encBytes = 0;  // the length of every encoding of the stage (its lists never grow)
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
    encBytes = start.size();
    return true;
  }
  void Restore(const char* enc) {
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

// What one input does from a state in one frame: the goal, or a new state with its hash and
// its encoding in the runner's successor slot `slot`.
struct Successor {
  uint8_t keys;
  int presents;
  bool goal;
  bool idle;  // the player can start a move (and no key latch waits for release)
  Hash128 hash;
  uint8_t slot;
  uint8_t cellX, cellY;
};

// The player stands or hangs still with no move under way and no key latched, so the next
// frame's keys may start any move: a rest state. Things around him may still be moving.
bool PlayerAtRest(const Game& g) {
  switch (g.ActionCode) {
    case paIdle:
    case paLadderUp:
    case paLadderDown:
    case paLadderUpDown:
    case paLadderHang: return !g.PlayerBusy && !g.KeyLatch;
    default: return false;
  }
}

// Inside a move, the keys can change something only where the player may turn (he is not
// busy: falling, carried, landing), choose a direction (the jump's wind-up, the pad's bounce
// and flight while its choice is open) or stands on a ladder or still; on every other frame of a move (walks, climbs,
// jumps and hops under way, lifting) the play input reads no key that matters.
bool CanSteer(const Game& g) {
  // On a pad the arrows make its one choice and nothing else, busy or not.
  if (g.ActionCode == paPadBounce || g.ActionCode == paPadFlight) return g.PadDirection == 0;
  if (!g.PlayerBusy) return true;
  switch (g.ActionCode) {
    case paIdle:
    case paCarriedRight:
    case paCarriedLeft:
    case paLadderUp:
    case paLadderDown:
    case paLadderUpDown:
    case paLadderHang:
    case paJumpWindup1:
    case paJumpWindup2:
    case paJumpWindup3: return true;
    default: return false;
  }
}

// Runs every input from the state `here` for one frame, keeping those whose frame differs from
// the frame without keys; the frame without keys comes first.
void Expand(Runner& run, const char* here, std::vector<Successor>& out, bool wholeFrames, bool steerOnly) {
  out.clear();
  Hash128 none{};
  uint8_t asked[std::size(kInputs)] = {};
  char* const mid = run.mid.data();
  char* const noneInput = run.noneInput.data();
  size_t logic = 0;
  uint8_t slot = 0;
  // Nobody sees the frames: the field's layers only advance their effects. Whole frames are
  // drawn, so that they check this too.
  run.g.FieldPicturesOff = !wholeFrames;
  // The state the frame left, encoded in the next slot, as a successor if `keep` says so.
  auto encode = [&](uint8_t keys, int presents, auto keep) {
    char* e = run.succ.data() + slot * kMaxEncoding;
    Encode(run.g, e, logic);
    const Hash128 h = HashOf(std::string_view(e, logic));
    if (!keep(h)) return;
    out.push_back({keys, presents, false, PlayerAtRest(run.g), h, slot++, static_cast<uint8_t>(run.g.PlayerX),
                   static_cast<uint8_t>(run.g.PlayerY)});
  };
  run.Restore(here);
  if (steerOnly && !CanSteer(run.g)) {
    bool goal = false;
    const int presents = run.Frame(0, goal);
    if (goal)
      out.push_back({0, presents, true, false, {}, 0, 0, 0});
    else if (run.g.SceneId == scPlay)
      encode(0, presents, [](const Hash128&) { return true; });
    return;
  }
  if (!wholeFrames) {
    run.BeforeInput();
    Encode(run.g, mid, logic);
  }
  for (size_t k = 0; k < std::size(kInputs); k++) {
    const Input in = kInputs[k];
    if (in.base >= 0 && !(asked[in.base] & (in.keys & ~kInputs[in.base].keys))) continue;
    if (steerOnly && (in.keys & (kZ | kX))) continue;
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
        if (k == 0) {
          Encode(run.g, noneInput, logic);
          return true;
        }
        if (in.keys & (kZ | kX)) return true;
        char* e = run.succ.data() + slot * kMaxEncoding;  // the slot is free until the frame ends
        Encode(run.g, e, logic);
        return std::memcmp(e, noneInput, logic) != 0;
      });
      if (skipped) {
        // The rest of its frame would have asked what the frame without keys asked.
        asked[k] = static_cast<uint8_t>(run.host.queried | asked[0]);
        continue;
      }
    }
    asked[k] = run.host.queried;
    if (goal) {
      out.push_back({in.keys, presents, true, false, {}, 0, 0, 0});
      continue;
    }
    if (run.g.SceneId != scPlay) continue;
    encode(in.keys, presents, [&](const Hash128& h) {
      if (k == 0) none = h;
      return k == 0 || !(h == none);
    });
  }
}

// Where one move from a rest state ends: at the next rest state, or at the goal.
struct MoveEnd {
  bool goal;
  bool keyed;  // a key was pressed on the way (only the start's settling has none)
  int frames;
  Hash128 hash;
  std::string enc;
  uint8_t cellX, cellY;
  uint32_t local;  // the move's last state before the end, for tracing it
  uint8_t lastKeys;
  int lastPresents;
};

// All moves from one rest state: the frames from it are searched for the fewest frames to every
// state, with every input on every frame where an input changes anything (the first frame must
// hold a key), until each path meets a rest state: a state that a frame without keys leaves
// as it is. States met along the way are told apart only within the move.
class MoveSearch {
 public:
  size_t maxLocal = 200000;
  bool overflow = false;
  size_t expansions = 0;  // frames searched, for the measurements

  void Run(Runner& run, const std::string& root, const Hash128& rootHash, bool allowWait, bool wholeFrames,
           std::vector<MoveEnd>& out) {
    out.clear();
    states_.clear();
    seen_.Clear();
    done_.clear();
    heap_ = {};
    stride_ = run.encBytes;
    pool_.clear();
    free_.clear();
    Add(UINT32_MAX, 0, 0, 0, false, true, rootHash, root.data(), 0, 0);
    while (!heap_.empty()) {
      const auto [negDist, i] = heap_.top();
      heap_.pop();
      if (done_[i] || -negDist != states_[i].dist) continue;
      done_[i] = 1;
      const Local& at = states_[i];
      if (i != 0 && at.idle) {
        out.push_back({false, at.keyed, at.dist, at.hash, std::string(Enc(at.slot), stride_), at.cellX, at.cellY, i,
                       0, 0});
        free_.push_back(at.slot);
        continue;
      }
      Expand(run, Enc(at.slot), succ_, wholeFrames, i != 0);
      expansions++;
      free_.push_back(at.slot);
      const Local here = states_[i];  // a copy: adding states moves the vector
      for (Successor& sc : succ_) {
        // Once a move is under way only the arrows and Shift steer it (the jump's direction,
        // the pad's choice, the facing in a fall or on a belt): Z and X start moves of their
        // own, and a player who stands still again is at the next rest state.
        if (i != 0 && (sc.keys & (kZ | kX))) continue;
        if (i == 0 && sc.keys == 0 && !allowWait) continue;
        const bool keyed = here.keyed || sc.keys != 0;
        const int dist = here.dist + sc.presents;
        if (sc.goal) {
          out.push_back({true, keyed, dist, {}, {}, 0, 0, i, sc.keys, sc.presents});
          continue;
        }
        const uint32_t known = seen_.Find(sc.hash);
        if (known == StateIndex::kNone) {
          if (states_.size() >= maxLocal) {
            overflow = true;
            continue;
          }
          Add(i, dist, sc.keys, sc.presents, keyed, sc.idle, sc.hash, run.succ.data() + sc.slot * kMaxEncoding,
              sc.cellX, sc.cellY);
        } else if (Local& l = states_[known]; !done_[known] && dist < l.dist) {
          l.parent = i;
          l.dist = dist;
          l.keys = sc.keys;
          l.presents = sc.presents;
          l.keyed = keyed;
          l.idle = sc.idle;
          heap_.push({-dist, known});
        }
      }
    }
  }

  // The player's cells on the frames from the root to the state `local` of the last run.
  void CellsTo(uint32_t local, std::vector<std::pair<int, int>>& out) const {
    for (uint32_t i = local; i != 0; i = states_[i].parent) out.push_back({states_[i].cellX, states_[i].cellY});
  }

  // The frames from the root to the state `local` of the last run.
  std::vector<Step> PathTo(uint32_t local) const {
    std::vector<Step> rev;
    for (uint32_t i = local; i != 0; i = states_[i].parent) rev.push_back({states_[i].keys, states_[i].presents});
    return {rev.rbegin(), rev.rend()};
  }

 private:
  struct Local {
    uint32_t parent;
    int dist;
    uint8_t keys;
    int presents;
    bool keyed;
    bool idle;
    Hash128 hash;
    uint32_t slot;  // where its encoding is kept until it is expanded
    uint8_t cellX, cellY;
  };
  const char* Enc(uint32_t slot) const { return pool_.data() + size_t{slot} * stride_; }
  void Add(uint32_t parent, int dist, uint8_t keys, int presents, bool keyed, bool idle, const Hash128& h,
           const char* enc, uint8_t cx, uint8_t cy) {
    const uint32_t id = static_cast<uint32_t>(states_.size());
    uint32_t slot;
    if (!free_.empty()) {
      slot = free_.back();
      free_.pop_back();
    } else {
      slot = static_cast<uint32_t>(pool_.size() / stride_);
      pool_.resize(pool_.size() + stride_);
    }
    std::memcpy(pool_.data() + size_t{slot} * stride_, enc, stride_);
    states_.push_back({parent, dist, keys, presents, keyed, idle, h, slot, cx, cy});
    done_.push_back(0);
    seen_.Insert(h, id);
    heap_.push({-dist, id});
  }
  std::vector<Local> states_;
  std::vector<uint8_t> done_;
  StateIndex seen_{1u << 12};
  // The encodings of the states not yet expanded, in slots of the stage's encoding length.
  std::vector<char> pool_;
  std::vector<uint32_t> free_;
  size_t stride_ = 0;
  // Fewest frames first, then the order of discovery (ids grow), so ties keep the simpler keys.
  struct Later {
    bool operator()(const std::pair<int, uint32_t>& a, const std::pair<int, uint32_t>& b) const {
      return a.first != b.first ? a.first < b.first : a.second > b.second;
    }
  };
  std::priority_queue<std::pair<int, uint32_t>, std::vector<std::pair<int, uint32_t>>, Later> heap_;
  std::vector<Successor> succ_;
};

struct Worker {
  Runner run;
  MoveSearch moves;
};

struct Node {
  uint32_t parent;
  int32_t frames;  // fewest frames from the start among the paths of fewest moves
  int32_t moves;
  uint8_t cellX, cellY;
  bool expanded;
};

// Short names of the keys for the readable list of moves.
std::string ShortKeys(uint8_t keys) {
  static const char* names[7] = {"L", "R", "U", "D", "Z", "X", "S"};
  std::string s;
  const int order[7] = {6, 4, 5, 0, 1, 2, 3};
  for (int i : order)
    if (keys & (1u << i)) {
      if (!s.empty()) s += '+';
      s += names[i];
    }
  return s;
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
  std::vector<std::unique_ptr<Worker>> workers;
  workers.push_back(std::make_unique<Worker>());
  if (!workers[0]->run.Start(src, r.error)) return r;
  // The screen fades in with no key held: every state of the search has it faded in, so the
  // fade-in's frames do not multiply them.
  std::vector<Step> fadeIn;
  {
    Runner& run = workers[0]->run;
    while (run.g.FadeInPending && fadeIn.size() < 1000) {
      bool goal = false;
      fadeIn.push_back({0, run.Frame(0, goal)});
      if (goal || run.g.SceneId != scPlay) {
        r.error = src.path + ": the stage ends before the screen has faded in";
        return r;
      }
    }
  }
  std::string startEnc;
  size_t startLogic = 0;
  Encode(workers[0]->run.g, startEnc, startLogic);
  const Hash128 startHash = HashOf(std::string_view(startEnc.data(), startLogic));
  int fadeInFrames = 0;
  for (const Step& s : fadeIn) fadeInFrames += s.presents;
  std::string ignored;
  while (static_cast<int>(workers.size()) < std::max(1, opt.threads)) {
    workers.push_back(std::make_unique<Worker>());
    if (!workers.back()->run.Start(src, ignored)) return r;
  }

  std::vector<Node> nodes;
  std::vector<std::string> enc;  // kept until the state is expanded
  std::vector<Hash128> hashes;
  std::vector<GraphEdge> edges;  // every move between two rest states, for the dead ends and the measure
  const Layout layout = LayoutOf(workers[0]->run.g, startLogic);
  std::vector<uint8_t> toGoal;
  StateIndex index;
  std::vector<std::vector<uint32_t>> levels(1);  // states by their fewest moves

  auto addNode = [&](std::string&& e, const Hash128& h, uint32_t parent, int moves, int frames, uint8_t cx,
                     uint8_t cy) {
    const uint32_t id = static_cast<uint32_t>(nodes.size());
    nodes.push_back({parent, frames, moves, cx, cy, false});
    enc.push_back(std::move(e));
    hashes.push_back(h);
    toGoal.push_back(0);
    index.Insert(h, id);
    if (levels.size() <= static_cast<size_t>(moves)) levels.resize(moves + 1);
    levels[moves].push_back(id);
    return id;
  };
  addNode(std::string(startEnc), startHash, 0, 0, 0, static_cast<uint8_t>(workers[0]->run.g.PlayerX),
          static_cast<uint8_t>(workers[0]->run.g.PlayerY));

  int bestMoves = -1, bestFrames = 0;
  uint32_t goalParent = 0;
  bool stopped = false;
  std::vector<uint32_t> todo;
  std::vector<std::string> todoEnc;
  std::vector<std::vector<MoveEnd>> found;

  for (size_t L = 0; L < levels.size() && !stopped; L++) {
    if (!opt.deadEnds && bestMoves >= 0 && bestMoves <= static_cast<int>(L)) break;
    // A level can grow while it is expanded (the start settling without a key), so it is
    // taken in rounds.
    for (size_t from = 0; from < levels[L].size() && !stopped;) {
      todo.clear();
      todoEnc.clear();
      for (; from < levels[L].size(); from++) {
        const uint32_t u = levels[L][from];
        if (nodes[u].expanded || nodes[u].moves != static_cast<int>(L)) continue;
        if (nodes.size() >= opt.maxStates || elapsed() > opt.maxSeconds) {
          stopped = true;
          break;
        }
        nodes[u].expanded = true;
        todo.push_back(u);
        todoEnc.push_back(std::move(enc[u]));
        std::string().swap(enc[u]);
      }
      const size_t n = todo.size();
      found.assign(n, {});
      const size_t used = std::min(workers.size(), std::max<size_t>(1, n / 4));
      auto work = [&](size_t w) {
        for (size_t i = w; i < n; i += used)
          workers[w]->moves.Run(workers[w]->run, todoEnc[i], hashes[todo[i]], true, opt.wholeFrames,
                                found[i]);
      };
      if (used <= 1) {
        work(0);
      } else {
        std::vector<std::thread> threads;
        for (size_t w = 0; w < used; w++) threads.emplace_back(work, w);
        for (std::thread& t : threads) t.join();
      }
      // Merged in state order, so the result does not depend on the number of workers.
      for (size_t i = 0; i < n; i++) {
        const uint32_t u = todo[i];
        const size_t firstEdge = edges.size();
        for (MoveEnd& m : found[i]) {
          const bool plain = !m.goal && opt.deadEnds && std::abs(m.cellX - nodes[u].cellX) + std::abs(m.cellY - nodes[u].cellY) <= 1 &&
                             WorldSame(todoEnc[i].data(), m.enc.data(), layout);
          const int moves = static_cast<int>(L) + (m.keyed ? 1 : 0);
          const int frames = nodes[u].frames + m.frames;
          if (m.goal) {
            toGoal[u] = 1;
            if (bestMoves < 0 || moves < bestMoves || (moves == bestMoves && frames < bestFrames)) {
              bestMoves = moves;
              bestFrames = frames;
              goalParent = u;
            }
            continue;
          }
          uint32_t v = index.Find(m.hash);
          if (v == StateIndex::kNone) {
            v = addNode(std::move(m.enc), m.hash, u, moves, frames, m.cellX, m.cellY);
          } else {
            Node& nd = nodes[v];
            if (!nd.expanded && (moves < nd.moves || (moves == nd.moves && frames < nd.frames))) {
              if (moves < nd.moves) levels[moves].push_back(v);
              nd.moves = moves;
              nd.frames = frames;
              nd.parent = u;
            }
          }
          if (opt.deadEnds && v != u) {
            bool known = false;
            for (size_t x = firstEdge; x < edges.size(); x++) known = known || edges[x].to == v;
            if (!known)
              edges.push_back({u, v, static_cast<uint8_t>((plain ? kEdgePlain : 0) | (m.keyed ? kEdgeKeyed : 0))});
          }
        }
        std::vector<MoveEnd>().swap(found[i]);
      }
      todoEnc.clear();
    }
    if (!opt.deadEnds || stopped) std::vector<uint32_t>().swap(levels[L]);
  }
  for (auto& w : workers) {
    r.moveCapped = r.moveCapped || w->moves.overflow;
    r.framesSearched += w->moves.expansions;
  }
  r.complete = !stopped && !r.moveCapped;
  r.states = nodes.size();

  std::vector<uint32_t> chain;  // the solution's states from the start
  if (bestMoves >= 0) {
    r.solved = true;
    r.frames = fadeInFrames + bestFrames;
    r.moves = bestMoves;
    r.steps = fadeIn;
    // Each move of the solution found again from the state before it, frame by frame.
    for (uint32_t v = goalParent; v != 0; v = nodes[v].parent) chain.push_back(v);
    chain.push_back(0);
    std::reverse(chain.begin(), chain.end());
    Worker& w = *workers[0];
    std::string here = startEnc;
    std::vector<MoveEnd> ends;
    std::vector<uint8_t> plain;  // per move of r.path
    for (size_t c = 0; c < chain.size(); c++) {
      const uint32_t u = chain[c];
      w.moves.Run(w.run, here, hashes[u], true, opt.wholeFrames, ends);
      const MoveEnd* pick = nullptr;
      for (const MoveEnd& m : ends) {
        if (c + 1 < chain.size() ? (!m.goal && m.hash == hashes[chain[c + 1]])
                                 : (m.goal && (!pick || m.frames < pick->frames)))
          pick = &m;
        if (pick && c + 1 < chain.size()) break;
      }
      if (!pick) {
        r.error = "the solution could not be traced again";
        return r;
      }
      std::vector<Step> steps = w.moves.PathTo(pick->local);
      r.pathCells.push_back({nodes[u].cellX, nodes[u].cellY});
      w.moves.CellsTo(pick->local, r.pathCells);
      if (pick->goal) steps.push_back({pick->lastKeys, pick->lastPresents});
      MoveInfo info;
      info.fromX = nodes[u].cellX;
      info.fromY = nodes[u].cellY;
      info.toX = pick->goal ? -1 : pick->cellX;
      info.toY = pick->goal ? -1 : pick->cellY;
      info.frames = pick->frames;
      for (const Step& s : steps)
        if (s.keys) info.keys += (info.keys.empty() ? "" : ",") + ShortKeys(s.keys);
      if (!info.keys.empty()) {
        r.path.push_back(info);
        plain.push_back(!pick->goal && std::abs(info.toX - info.fromX) + std::abs(info.toY - info.fromY) == 1 &&
                        WorldSame(here.data(), pick->enc.data(), layout));
      }
      r.steps.insert(r.steps.end(), steps.begin(), steps.end());
      if (!pick->goal) here = pick->enc;
    }
    std::sort(r.pathCells.begin(), r.pathCells.end());
    r.pathCells.erase(std::unique(r.pathCells.begin(), r.pathCells.end()), r.pathCells.end());
    // Plain steps: one cell by an arrow, nothing else happening. Walking continues the move
    // before it; a re-walk repeats a step (cell and direction) taken earlier.
    auto step = [&](size_t i) {
      const MoveInfo& m = r.path[i];
      const int dx = m.toX - m.fromX, dy = m.toY - m.fromY;
      const char* dir = dx < 0 ? "L" : dx > 0 ? "R" : dy < 0 ? "U" : "D";
      return plain[i] && m.keys == dir;
    };
    int walking = 0, rewalk = 0;
    std::vector<std::tuple<int, int, std::string>> walked;
    for (size_t i = 0; i < r.path.size(); i++) {
      if (!step(i)) continue;
      const MoveInfo& m = r.path[i];
      if (i > 0 && step(i - 1) && r.path[i - 1].keys == m.keys) walking++;
      const auto key = std::make_tuple(m.fromX, m.fromY, m.keys);
      if (std::find(walked.begin(), walked.end(), key) != walked.end())
        rewalk++;
      else
        walked.push_back(key);
    }
    if (!r.path.empty()) {
      r.walking = static_cast<double>(walking) / r.path.size();
      r.rewalk = static_cast<double>(rewalk) / r.path.size();
    }
  }

  if (opt.deadEnds && r.complete) {
    // Live states reach the goal; the others, all reachable from the start, are dead ends.
    // The moves into each state, grouped by state.
    std::vector<uint32_t> predStart(nodes.size() + 1, 0), pred(edges.size());
    for (const GraphEdge& ed : edges) predStart[ed.to + 1]++;
    for (size_t i = 1; i < predStart.size(); i++) predStart[i] += predStart[i - 1];
    {
      std::vector<uint32_t> fill(predStart.begin(), predStart.end() - 1);
      for (const GraphEdge& ed : edges) pred[fill[ed.to]++] = ed.from;
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
    for (const GraphEdge& ed : edges)
      if (live[ed.from] && !live[ed.to]) {
        r.deadEndEntries++;
        entries.push_back({nodes[ed.from].moves, nodes[ed.from].cellX, nodes[ed.from].cellY, nodes[ed.to].cellX,
                           nodes[ed.to].cellY});
      }
    GraphView view;
    view.states = nodes.size();
    view.edges = &edges;
    view.live = &live;
    view.toGoal = &toGoal;
    view.cell = [&](uint32_t u) { return std::make_pair(int{nodes[u].cellX}, int{nodes[u].cellY}); };
    view.solution = chain;
    MeasureGraph(view, r.measure);
    std::stable_sort(entries.begin(), entries.end(), [](const DeadEnd& a, const DeadEnd& b) { return a.move < b.move; });
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
