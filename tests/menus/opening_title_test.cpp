// The opening's phases and its Z skip, and the title menu's cursor and items, on the whole game.
#include <gtest/gtest.h>

#include "game/menus/menu_common.h"
#include "game/scenes.h"
#include "platform/api/keys.h"
#include "tests/menus/menu_fixture.h"

using namespace plat;
using harness::Harness;
using harness::ProgramFolder;
using harness::RunEnd;
using menutest::Script;

namespace {

struct Noted {
  int scene, counter, titleCursor;
};

// The whole game with a course and, when `highest` is given, a record.
struct Game0 {
  ProgramFolder folder;
  std::unique_ptr<Harness> h;
  std::vector<Noted> notes;  // index = frame - 1
  explicit Game0(int highest = -1) {
    folder.Write("plumet.map", menutest::SmallCourse());
    if (highest >= 0) folder.Write("plumet.rec", menutest::RecordFile(highest, {}, 0));
    h = std::make_unique<Harness>(folder);
    h->host.OnFrame = [this](int) { notes.push_back({h->g.SceneId, h->g.FrameCounter, h->g.TitleCursor}); };
  }
  RunEnd Run(const Script& s, int extra) {
    h->host.SetKeyScript(s.Steps());
    return h->Run(s.Frames() + extra);
  }
  int FirstFrameOf(int scene) const {
    for (size_t i = 0; i < notes.size(); ++i)
      if (notes[i].scene == scene) return static_cast<int>(i) + 1;
    return 0;
  }
};

// Skips the opening with a fresh Z in the title picture.
Script ToTitle() { return Script().Wait(140).Tap({kVkZ}).Wait(2); }

}  // namespace

TEST(Opening, PhasesRunTheirLengthsAndTheTitleFollows) {
  Game0 t;
  t.Run(Script().Wait(460), 0);
  struct Case {
    int frame, counter;
  } cases[] = {{1, 1},    {51, 51},  {52, 52}, {131, 131}, {132, 1},  {270, 139}, {271, 0},
               {296, 25}, {297, 0},  {322, 25}, {323, 0},  {403, 80}, {404, 1},   {454, 51}};
  for (const Case& c : cases) {
    EXPECT_EQ(t.notes[c.frame - 1].counter, c.counter) << "frame " << c.frame;
    EXPECT_EQ(t.notes[c.frame - 1].scene, scOpening) << "frame " << c.frame;
  }
  EXPECT_EQ(t.FirstFrameOf(scTitleMenu), 455);
  EXPECT_EQ(t.h->g.MusicLog.front(), "play rhythmicpark.ogg");
  EXPECT_EQ(t.h->g.SoundRequests[wpOpening], 1);
}

TEST(Opening, AFreshZSkipsFromTheTitlePictureOn) {
  // Step i of a script holds from the i-th presenting to the next, so the keys the opening
  // reads after presenting frame n are those of step n.
  struct Case {
    Script keys;
    int titleFrom;
  } cases[] = {
      {Script().Wait(59).Tap({kVkZ}), 455},          // maker credit: no keys read
      {Script().Wait(99).Hold({kVkZ}, 100), 455},    // held into the title picture: latched
      {Script().Wait(132).Tap({kVkZ}), 455},         // down in the frame the latch is set
      {Script().Wait(133).Tap({kVkZ}), 134},         // the first frame it can act
      {Script().Wait(299).Tap({kVkZ}), 300},
      {Script().Wait(449).Tap({kVkZ}), 450},
  };
  for (const Case& c : cases) {
    Game0 t;
    t.Run(c.keys, 470 - c.keys.Frames());
    EXPECT_EQ(t.FirstFrameOf(scTitleMenu), c.titleFrom) << c.keys.Frames();
    ASSERT_GE(t.h->g.MusicLog.size(), 2u);
    EXPECT_EQ(t.h->g.MusicLog[0], "play rhythmicpark.ogg");
    EXPECT_EQ(t.h->g.MusicLog[1], "arm");
  }
}

TEST(TitleMenu, CursorWrapsAndTheHiddenItemNeedsStage50) {
  struct Case {
    int highest;
    std::vector<std::vector<int>> taps;
    int cursor;
    int modeSounds;
  } cases[] = {
      {3, {{kVkUp}}, 2, 0},
      {3, {{kVkUp}, {kVkUp}}, 1, 0},
      {3, {{kVkDown}, {kVkDown}, {kVkDown}}, 0, 0},
      {48, {{kVkE, kVkShift}}, 0, 0},
      {49, {{kVkE, kVkShift}}, 3, 1},
      {49, {{kVkE, kVkShift}, {kVkUp}}, 2, 1},
      {49, {{kVkE, kVkShift}, {kVkDown}}, 0, 1},
      {49, {{kVkE, kVkShift}, {kVkE, kVkShift}}, 0, 2},
      {49, {{kVkE}}, 0, 0},
  };
  for (const Case& c : cases) {
    Game0 t(c.highest);
    Script s = ToTitle();
    for (const auto& k : c.taps) s.Tap(k);
    EXPECT_EQ(t.Run(s, 2), RunEnd::Frames);
    EXPECT_EQ(t.h->g.TitleCursor, c.cursor) << c.highest << " taps " << c.taps.size();
    EXPECT_EQ(t.h->g.SoundRequests[wpChoise2], c.modeSounds);
  }
}

TEST(TitleMenu, ItemsLeadToTheirScreens) {
  struct Case {
    int highest;
    std::vector<std::vector<int>> taps;
    RunEnd end;
    int scene;
  } cases[] = {
      {3, {{kVkZ}}, RunEnd::Frames, scStageSelect},
      {3, {{kVkDown}, {kVkZ}}, RunEnd::Frames, scEditSelect},
      {3, {{kVkUp}, {kVkZ}}, RunEnd::Quit, scTitleMenu},
      {49, {{kVkE, kVkShift}, {kVkZ}}, RunEnd::Frames, scEnding},
  };
  for (const Case& c : cases) {
    Game0 t(c.highest);
    Script s = ToTitle();
    for (const auto& k : c.taps) s.Tap(k);
    EXPECT_EQ(t.Run(s, 60), c.end);
    EXPECT_EQ(t.h->g.SceneId, c.scene);
    EXPECT_EQ(t.h->g.SoundRequests[wpOk1], 1);
    if (c.scene == scEnding) {
      EXPECT_EQ(t.h->g.MusicLog.back(), "arm");
      EXPECT_EQ(t.h->g.MusicLog[t.h->g.MusicLog.size() - 2], "play never.ogg");
    }
  }
}
