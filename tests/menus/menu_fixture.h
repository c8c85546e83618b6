// Fixtures of the menu tests: a bare game on the headless host whose menu loops are run for a
// given number of frames, key scripts, a small course, record files and golden frames.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/harness/harness.h"

namespace menutest {

// A key script built step by step; each step holds its keys for a number of presented frames.
class Script {
 public:
  Script& Wait(int frames);
  Script& Hold(std::vector<int> keys, int frames);
  // Down for one frame, then one frame with nothing held (which releases the key latch).
  Script& Tap(std::vector<int> keys);
  int Frames() const;
  const std::vector<plat::NullHost::KeyStep>& Steps() const { return steps_; }

 private:
  std::vector<plat::NullHost::KeyStep> steps_;
};

// 56 bordered rooms: the player starts at (2,13) facing right, the goal is at (17,13), and
// stage s has s % 10 + 1 ladders along row 12 so previews differ.
std::vector<uint8_t> SmallCourse();
// A progress record file: HighestStage, the cleared stages and the bonus flag (count derived).
std::vector<uint8_t> RecordFile(int highest, const std::vector<int>& cleared, int bonus);
// A 314-byte user stage file of the small course's room, with `theme` and its cleared mark.
std::vector<uint8_t> UserStageFile(int theme, int cleared);

// A game without the start-up: art loaded, bitmaps sized, the course in memory, the window
// active, the program folder a temporary one. Loops are run through RunFor.
struct Bare {
  harness::ProgramFolder folder;
  plat::NullHost host;
  Game g{host};
  // State noted at each presented frame (before that frame's keys are read).
  struct Note {
    int frame;
    int scene, stage, barCursor, titleCursor, pauseCursor, frameCounter, latch;
  };
  std::vector<Note> notes;
  std::string oldCwd;

  Bare();
  ~Bare();  // back to the working folder of before (the game moves into its program folder)
  // Runs `loop` until it returns or `frames` frames were presented; true when it returned.
  bool RunFor(int frames, const std::function<void(Game&)>& loop);
  void Keys(const Script& s) { host.SetKeyScript(s.Steps()); }
  // The music requests logged so far, joined with ", ".
  std::string MusicLog() const;
  int Sounds(int player) const { return g.SoundRequests[player]; }
};

// harness::MatchesGolden against tests/menus/golden/<name>.png.
::testing::AssertionResult MatchesGolden(const plat::Bitmap& frame, const std::string& name);

}  // namespace menutest
