// Key scripts of the headless runner: "COUNT KEY[+KEY...]" or "COUNT -" per line, '#' comments.
#pragma once
#include <string>
#include <vector>

#include "platform/null/null_host.h"

struct Game;

// Key name ("Up", "Z", "Esc", "Shift", ...) to virtual-key code; -1 when unknown.
int KeyCodeByName(const std::string& name);
// Parses a script; on a bad line returns false with `error` naming the line.
bool ParseKeyScript(const std::string& text, std::vector<plat::NullHost::KeyStep>& out, std::string& error);

// A stage's key script, held from the stage's first play frame: script frame 1 holds its keys
// from the present of the first frame that runs the play scene, so that frame's input reads
// them; frame k is read by the k-th presented frame from there (a cut-scene inside a play frame
// presents, and so counts, each of its frames). Feed it every present from the host's OnFrame.
class StageKeyScript {
 public:
  explicit StageKeyScript(std::vector<plat::NullHost::KeyStep> steps) : steps_(std::move(steps)) {}
  void OnPresent(plat::NullHost& host, const Game& g, int frame);
  bool Started() const { return started_; }

 private:
  std::vector<plat::NullHost::KeyStep> steps_;
  bool started_ = false;
};
