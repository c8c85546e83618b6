// plumet-headless: the real game on the headless host.
//
//   plumet-headless --folder DIR [--keys FILE] [--frames N] [--answer yes|no|ok]...
//                   [--open PATH]... [--capture DIR --at F1,F2,...] [--trace] [--record]
//                   [--builtin N | --stage FILE.krm] [--from play] [--stop-at-goal] [--cells]
//
// --builtin and --stage leave the menus at the opening's first frame and start that stage as
// the stage select's PLAY does (scene 7: fade-in and intro; with --from play straight into
// play, the start cell emptied); key scripts then count from the stage's first frame. A clear
// plays on into the next stage unless --stop-at-goal ends the run on goal arrival
// ("exit: goal"). --cells prints the 300 cells of the grid in row order after the state.
//                   [--audio FILE]
//
// Prints one "dialog: <caption> | <text> | <buttons>" line per message box, then
// "exit: <quit|fatal|frames> frames=<n>" and "state <StateLine>"; with --record then
// "record highest=<HighestStage> cleared=<ClearedCount> bonus=<BonusAreaOpen> marks=<56 x 0/1>".
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "game/game.h"
#include "game/play/play.h"
#include "game/shell/main_form.h"
#include "game/shell/main_loop.h"
#include "game/state_line.h"
#include "platform/api/sys.h"
#include "platform/null/null_audio.h"
#include "platform/null/null_host.h"
#include "platform/qtgfx/qt_gfx.h"
#include "tools/headless/key_script.h"
#include "tools/headless/stage_start.h"

namespace {

int Usage(const std::string& why) {
  std::cerr << "plumet-headless: " << why << "\n"
            << "usage: plumet-headless --folder DIR [--keys FILE] [--frames N] [--answer yes|no|ok]...\n"
            << "       [--open PATH]... [--capture DIR --at F1,F2,...] [--trace] [--record]\n"
            << "       [--builtin N | --stage FILE.krm] [--from play] [--stop-at-goal] [--cells]\n";
  return 2;
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
  std::string keysFile, captureDir, atList, audioFile;
  int frames = 0;
  bool trace = false, secondInstance = false, record = false, stopAtGoal = false, cells = false;
  StageStart start;
  std::vector<plat::NullHost::KeyStep> script;
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
    } else if (a == "--second-instance") {
      secondInstance = true;  // as if another copy held the single-instance guard
    } else {
      return Usage("unknown option " + a);
    }
  }

  if (!keysFile.empty()) {
    std::ifstream in(keysFile);
    if (!in) return Usage("cannot read key script " + keysFile);
    std::stringstream text;
    text << in.rdbuf();
    std::vector<plat::NullHost::KeyStep> steps;
    std::string error;
    if (!ParseKeyScript(text.str(), steps, error)) return Usage(keysFile + ": " + error);
    // The opening's one frame before the skip: the script starts with the stage.
    if (start.Wanted()) steps.insert(steps.begin(), plat::NullHost::KeyStep{1, {}});
    script = steps;
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

  Game g(host);
  struct GoalReached {};
  const bool skipping = start.Wanted();
  host.OnFrame = [&](int n) {
    if (trace) std::cout << "frame=" << n << " " << FullStateLine(g) << "\n";
    if (skipping && n == 1 && g.SceneId == scOpening) throw SkipMenus{};
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
      // The skip left the frame before the script's keys for the stage's first frame were set.
      if (!keysFile.empty()) host.SetKeyScript(script);
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
  std::cout << "exit: " << how << " frames=" << host.Frames() << "\n";
  std::cout << "state " << FullStateLine(g) << "\n";
  if (cells) std::cout << "cells " << CellsLine(g) << "\n";
  if (record) {
    std::string marks;
    for (uint8_t m : g.StageCleared) marks += m == 1 ? '1' : '0';
    std::cout << "record highest=" << int(g.HighestStage) << " cleared=" << int(g.ClearedCount)
              << " bonus=" << int(g.BonusAreaOpen) << " marks=" << marks << "\n";
  }
  return 0;
}
