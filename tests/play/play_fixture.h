// A stage laid from rows of text on a fresh Game, played frame by frame through the play
// scene's own functions with keys held on the headless host.
#pragma once
#include <initializer_list>
#include <string>
#include <vector>

#include "game/game.h"
#include "game/play/stage_format.h"
#include "platform/api/keys.h"
#include "platform/null/null_host.h"

namespace playtest {

class PlayBoard {
 public:
  // Rows are placed from the top-left; cells not given are blocks. The board is set up and
  // the stage intro's end steps applied, so the next frame is a play frame.
  explicit PlayBoard(const std::vector<std::string>& rows, uint8_t facing = 0);
  // A whole stage with its selectors, played as user stage (StageIndex 255).
  explicit PlayBoard(const TUserStage& stage);

  plat::NullHost host;
  Game g{host};

  // Runs n play frames (the scene's work and the full frame tail) holding `keys`.
  void Hold(std::initializer_list<int> keys, int n);
  void Hold(int key, int n) { Hold({key}, n); }
  void Frames(int n) { Hold({}, n); }
  // Runs frames until the action code is `code` (at most `limit`); the frames run.
  int FramesUntil(int code, int limit = 400);
  // One play frame as MainLoop runs it.
  void Frame();

  // Set once the stage-clear scene started: the run stops at its first frame, so tests see
  // the state of the goal arrival (the scene itself is the cut-scenes' to test).
  bool ReachedGoal = false;

  uint8_t Cell(int x, int y) const;
 private:
  void Start();
 public:
  int CellX() const;
  int CellY() const;
  int Sound(int player) const { return g.SoundRequests[player]; }
};

}  // namespace playtest
