// plumet-headless: the real game on the headless host.
//
//   plumet-headless --folder DIR [--keys FILE] [--frames N] [--answer yes|no|ok]...
//                   [--open PATH]... [--capture DIR --at F1,F2,...] [--trace] [--record]
//                   [--builtin N | --stage FILE.krm] [--from play] [--stop-at-goal] [--cells]
//                   [--audio FILE] [--hash] [--second-instance]
//
// The contract, as the usage text gives it (kUsage below); later checks depend on it.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>

#include "game/game.h"
#include "game/play/play.h"
#include "game/shell/main_form.h"
#include "game/shell/frame.h"
#include "game/shell/main_loop.h"
#include "game/state_line.h"
#include "platform/api/sys.h"
#include "platform/sys/host_sys.h"
#include "platform/null/null_audio.h"
#include "platform/null/null_host.h"
#include "platform/qtgfx/qt_gfx.h"
#include "tools/headless/key_script.h"
#include "tools/headless/stage_start.h"

namespace {

constexpr const char* kUsage = R"(usage: plumet-headless --folder DIR [--keys FILE] [--frames N] [--answer yes|no|ok]...
       [--open PATH]... [--capture DIR --at F1,F2,...] [--trace] [--record]
       [--hashes FILE] [--builtin N | --stage FILE.krm] [--from play] [--stop-at-goal] [--cells]
       [--audio FILE] [--hash] [--second-instance]

Runs the game on a virtual clock with no window. Frames are counted in presents from the
program's start (frame 1 is the opening's first picture); --frames, --at, --trace and the
"exit:" line use that count. Relative paths are taken from the caller's working folder.

  --folder DIR       the program folder (plumet.map, plumetogg/, plumetwave/, plumet.rec)
  --keys FILE        a key script: lines "COUNT KEY[+KEY...]" or "COUNT -" ('#' starts a
                     comment); keys Up Down Left Right Z X M E H C F Esc Shift Ctrl. Each line
                     holds its keys for COUNT frames, then releases them unless the next holds
                     them too; after the script no key is held.
                     Without --builtin/--stage, script frame 1 is held until frame 1 is presented,
                     and frame n from the (n-1)th present to the nth.
                     With --builtin/--stage, script frame 1 is the first frame that runs the play
                     scene (after the intro, or at once with --from play): its keys go down as
                     that frame presents its picture, before its input is read, and script frame
                     k is held through the k-th present from there (a cut-scene inside a play
                     frame presents, and counts, each of its pictures). No key is held before.
                     So "8 Right" walks exactly one cell and "9 Right" starts a second.
  --frames N         stop after N frames ("exit: frames"); default 2000000
  --answer yes|no|ok the answer to the next message box (default: Yes, or OK)
  --open PATH        the path the next open dialog returns (none queued: cancelled)
  --capture DIR --at F1,F2,...  write frames F1, F2... as DIR/frame-<n>.png
  --trace            print "frame=<n> <state>" after every present
  --record           print the progress record at the end
  --hashes FILE      write a hash of every presented frame to FILE, one a line, in order
  --builtin N        leave the menus at frame 1 and start built-in stage N (0..55) as the stage
                     select's PLAY does (bonus stages 50.. in the alternate mode), with its
                     fade-in and intro
  --stage FILE.krm   the same for a user stage file
  --from play        skip the intro: play from the stage's first frame, the start cell emptied
  --stop-at-goal     end the run when the player arrives on the goal ("exit: goal"); without it
                     a clear plays on into the next stage
  --cells            print the 300 cells of the grid in row order at the end
  --audio FILE       write the mixed sound as raw 44100 Hz 16-bit stereo
  --hash             hash every presented frame and print "frame-hash: <hex>" at the end, one
                     hash of all the frames' pictures in order
  --second-instance  start as if another copy held the single-instance guard

Prints "dialog: <caption> | <text> | <buttons>" for each message box, then
"exit: <quit|fatal|frames|goal> frames=<n>" and "state <state line>"; with --hash
"frame-hash: <hex>"; with --record "record highest=<n> cleared=<n> bonus=<0|1>
marks=<56 x 0|1>". Exit status 0, or 2 for bad usage or an unreadable stage or key script.
)";

int Usage(const std::string& why) {
  std::cerr << "plumet-headless: " << why << "\n" << kUsage;
  return 2;
}

// Paths on the command line are the caller's: the game changes to its program folder.
std::string FromCaller(const std::string& path) {
  return path.empty() ? path : std::filesystem::absolute(path).lexically_normal().string();
}

// The shell's state line with the play fields after "stage=<n>".
std::string FullStateLine(const Game& g) {
  std::string s = StateLine(g);
  const size_t at = s.find(' ', s.find("stage="));
  return s.insert(at == std::string::npos ? s.size() : at, " " + PlayStateLine(g));
}

}  // namespace

int main(int argc, char** argv) {
  std::string folder = std::filesystem::path(plat::ExecutablePath()).parent_path().string();
  std::string keysFile, captureDir, atList, audioFile, hashFile;
  int frames = 0;
  bool trace = false, secondInstance = false, record = false, stopAtGoal = false, cells = false, hash = false;
  StageStart start;
  std::optional<StageKeyScript> stageScript;
  plat::NullHost host;

  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto next = [&](std::string& v) {
      if (i + 1 >= argc) return false;
      v = argv[++i];
      return true;
    };
    std::string v;
    if (a == "--folder") {
      if (!next(folder)) return Usage("--folder needs a folder");
    } else if (a == "--keys") {
      if (!next(keysFile)) return Usage("--keys needs a file");
    } else if (a == "--frames") {
      if (!next(v)) return Usage("--frames needs a number");
      try {
        frames = std::stoi(v);
      } catch (const std::exception&) {
        return Usage("--frames needs a number");
      }
    } else if (a == "--answer") {
      if (!next(v)) return Usage("--answer needs yes, no or ok");
      if (v == "yes") host.Answers.push_back(plat::MsgResult::Yes);
      else if (v == "no") host.Answers.push_back(plat::MsgResult::No);
      else if (v == "ok") host.Answers.push_back(plat::MsgResult::Ok);
      else return Usage("--answer needs yes, no or ok");
    } else if (a == "--open") {
      if (!next(v)) return Usage("--open needs a path");
      host.OpenAnswers.push_back(std::filesystem::absolute(v).string());
    } else if (a == "--capture") {
      if (!next(captureDir)) return Usage("--capture needs a folder");
    } else if (a == "--at") {
      if (!next(atList)) return Usage("--at needs frame numbers");
    } else if (a == "--trace") {
      trace = true;
    } else if (a == "--audio") {
      if (!next(audioFile)) return Usage("--audio needs a file");
    } else if (a == "--hashes") {
      if (!next(hashFile)) return Usage("--hashes needs a file");
    } else if (a == "--record") {
      record = true;
    } else if (a == "--builtin") {
      if (!next(v)) return Usage("--builtin needs a stage index");
      try {
        start.builtin = std::stoi(v);
      } catch (const std::exception&) {
        start.builtin = -2;
      }
      if (start.builtin < 0 || start.builtin > 55) return Usage("--builtin needs a stage index 0..55");
    } else if (a == "--stage") {
      if (!next(start.userFile)) return Usage("--stage needs a file");
    } else if (a == "--from") {
      if (!next(v) || v != "play") return Usage("--from takes play");
      start.fromPlay = true;
    } else if (a == "--stop-at-goal") {
      stopAtGoal = true;
    } else if (a == "--cells") {
      cells = true;
    } else if (a == "--help" || a == "-h") {
      std::cout << kUsage;
      return 0;
    } else if (a == "--hash") {
      hash = true;
    } else if (a == "--second-instance") {
      secondInstance = true;  // as if another copy held the single-instance guard
    } else {
      return Usage("unknown option " + a);
    }
  }

  keysFile = FromCaller(keysFile);
  captureDir = FromCaller(captureDir);
  audioFile = FromCaller(audioFile);
  start.userFile = FromCaller(start.userFile);

  if (!keysFile.empty()) {
    std::ifstream in(keysFile);
    if (!in) return Usage("cannot read key script " + keysFile);
    std::stringstream text;
    text << in.rdbuf();
    std::vector<plat::NullHost::KeyStep> steps;
    std::string error;
    if (!ParseKeyScript(text.str(), steps, error)) return Usage(keysFile + ": " + error);
    if (start.Wanted())
      stageScript.emplace(std::move(steps));  // armed by the stage's first play frame
    else
      host.SetKeyScript(std::move(steps));
  }
  if (!captureDir.empty()) {
    std::set<int> at;
    std::stringstream list(atList);
    std::string item;
    while (std::getline(list, item, ','))
      if (!item.empty()) at.insert(std::atoi(item.c_str()));
    host.CaptureFrames(captureDir, std::move(at));
  }

  plat::qtgfx::EnsureGuiApplication();
  folder = std::filesystem::absolute(folder).lexically_normal().string();
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  host.SetProgramPath(folder + "/plumet");
  host.SetInstanceHeldElsewhere(secondInstance);
  // Without a frame limit a run still ends: a stuck game must not hang a check forever.
  host.StopAfterFrames(frames > 0 ? frames : 2000000);
  host.OnDialog = [](const std::string& line) { std::cout << "dialog: " << line << "\n" << std::flush; };

  // The mixed output (music stream and sound-player voice), played in step with the virtual
  // clock, kept as raw 44100 Hz 16-bit stereo.
  auto* out = dynamic_cast<plat::NullAudioDevice*>(&host.Audio());
  if (!audioFile.empty() && out) out->StartCapture();

  hashFile = FromCaller(hashFile);
  host.SetFrameHashing(hash || !hashFile.empty());
  Game g(host);
  struct GoalReached {};
  const bool skipping = start.Wanted();
  host.OnFrame = [&](int n) {
    if (trace) std::cout << "frame=" << n << " " << FullStateLine(g) << "\n";
    if (skipping && n == 1 && g.SceneId == scOpening) throw SkipMenus{};
    if (stageScript) stageScript->OnPresent(host, g, n);
    if (stopAtGoal && g.GoalArrived) throw GoalReached{};
  };

  const char* how = "quit";
  try {
    try {
      ProgramMain(g);
      if (g.StartupFailed || secondInstance) how = "fatal";
    } catch (const SkipMenus&) {
      std::string error;
      if (!SetUpStage(g, start, error)) {
        std::cerr << "plumet-headless: " << error << "\n";
        return 2;
      }
      MainLoop(g);
    }
  } catch (const plat::StopRun&) {
    how = "frames";
  } catch (const GoalReached&) {
    how = "goal";
  }
  if (!audioFile.empty() && out) {
    std::vector<int16_t> pcm = out->TakeCapture();
    std::ofstream raw(audioFile, std::ios::binary | std::ios::trunc);
    raw.write(reinterpret_cast<const char*>(pcm.data()), static_cast<std::streamsize>(pcm.size() * 2));
    if (!raw) std::cerr << "plumet-headless: cannot write " << audioFile << "\n";
  }
  if (!hashFile.empty()) {
    std::ofstream hashes(hashFile, std::ios::trunc);
    for (uint64_t h : host.FrameHashes()) hashes << std::hex << h << "\n";
    if (!hashes) std::cerr << "plumet-headless: cannot write " << hashFile << "\n";
  }
  std::cout << "exit: " << how << " frames=" << host.Frames() << "\n";
  std::cout << "state " << FullStateLine(g) << "\n";
  if (cells) std::cout << "cells " << CellsLine(g) << "\n";
  if (hash) {
    uint64_t all = 1469598103934665603ull;  // FNV-1a over the frames' hashes, byte by byte
    for (uint64_t h : host.FrameHashes())
      for (int b = 0; b < 8; b++) {
        all ^= (h >> (8 * b)) & 0xFF;
        all *= 1099511628211ull;
      }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(all));
    std::cout << "frame-hash: " << hex << "\n";
  }
  if (record) {
    std::string marks;
    for (uint8_t m : g.StageCleared) marks += m == 1 ? '1' : '0';
    std::cout << "record highest=" << int(g.HighestStage) << " cleared=" << int(g.ClearedCount)
              << " bonus=" << int(g.BonusAreaOpen) << " marks=" << marks << "\n";
  }
  return 0;
}
