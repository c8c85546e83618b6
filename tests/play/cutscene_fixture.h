// A stage on a fresh Game for the cut-scene tests: synthetic art of the real sheet sizes, an
// active window, a temporary program folder, and hooks on presented frames.
#pragma once
#include <array>
#include <functional>
#include <utility>
#include <string>
#include <vector>

#include "game/game.h"
#include "platform/null/null_host.h"
#include "tests/harness/harness.h"

namespace cuttest {

// The headless host, which can also stay inactive for a number of message passes (a pause
// that ends by itself, since nothing is presented while the game is paused).
class PausingHost : public plat::NullHost {
 public:
  void PauseFor(int messagePasses) {
    SetActive(false);
    pauseLeft_ = messagePasses;
  }
  int PausedPasses = 0;
  void ProcessMessages() override;
  // Called at each sleep with its length, before the clock moves.
  std::function<void(uint32_t ms)> OnSleep;
  void SleepMs(uint32_t ms) override;

 private:
  int pauseLeft_ = 0;
};

class SceneBoard {
 public:
  // Rows from the top-left, the rest blocks; set up and the intro's end applied (scene 3).
  explicit SceneBoard(const std::vector<std::string>& rows, uint8_t facing = 0);

  harness::ProgramFolder folder{false};
  PausingHost host;
  Game g{host};

  // Every built-in stage slot holds `rows`.
  void FillCourse(const std::vector<std::string>& rows);
  // Called after each presented frame with the frame number since the board was made.
  std::function<void(int)> OnFrame;
  int Presented() const { return host.Frames() - startFrames_; }
  // One play frame as MainLoop runs it.
  void PlayFrame();
  uint8_t Cell(int x, int y) const { return g.StageGrid[GridIndex(x, y)]; }
  int Sound(int player) const { return g.SoundRequests[player]; }
  // The frames wave player `player` was asked to play with, in order: a request counts with
  // the first frame presented after it (numbered like Presented()), so a scene's sound counts
  // with the frame it is drawn in, and one asked for after the last frame with Presented() + 1.
  std::vector<int> SoundFrames(int player);

 private:
  // Notes the requests made since the last call as made with frame `frame`.
  void NoteSounds(int frame);

  int startFrames_ = 0;
  std::array<int, 21> soundsNoted_{};
  std::vector<std::pair<int, int>> soundLog_;  // (player, frame)
};

// The game's music objects on a board, with every song the clear, the progress step and the
// area music ask for in the program folder's "plumetogg/" (short sines) and the decoder beside
// them; torn down again (and the working folder put back) when it goes.
class BoardMusic {
 public:
  explicit BoardMusic(SceneBoard& b);
  ~BoardMusic();
  BoardMusic(const BoardMusic&) = delete;
  BoardMusic& operator=(const BoardMusic&) = delete;

 private:
  SceneBoard& b_;
  std::string cwd_;
};

// Synthetic sheets: each pixel a fixed function of the sheet, x and y; darkening tiles that
// really darken (tile 7 black).
void LoadSyntheticArt(Game& g);

// The game's own art (PLUMET_REAL_ART=1 in the environment makes every board use it, so the
// pictures a failed comparison writes show the scenes as a player sees them).
void LoadRealArt(Game& g);

// harness::MatchesGolden against tests/play/golden/<name>.png.
::testing::AssertionResult MatchesGolden(const plat::Bitmap& frame, const std::string& name);

}  // namespace cuttest
