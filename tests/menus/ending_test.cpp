// The ending: the frame counter's course, the exit keys and what they record, the closing
// message by progress, the credit cards' erasing, a paused frame, and golden frames.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "game/menus/ending.h"
#include "game/menus/menu_common.h"
#include "game/scenes.h"
#include "game/shell/draw.h"
#include "platform/api/keys.h"
#include "tests/menus/menu_fixture.h"

using namespace plat;
using menutest::Bare;
using menutest::Script;

namespace {

// Frame n of the ending is drawn with c = n - 201; keys read after presenting frame n come
// from step n of the script, and the exit keys count from c 3561, frame 3761.
constexpr int kFirstExitFrame = 3761;

void ClearStages(Game& g, int first, int last) {
  for (int s = first; s <= last; ++s) g.StageCleared[s] = 1;
  g.ClearedCount = static_cast<uint8_t>(last - first + 1);
}

// DrawStaffRoll alone on a black back buffer at c.
Bitmap StaffRollAt(Bare& b, int c) {
  b.g.BackBuffer.Resize(640, 480, 0);
  b.g.FrameCounter = c;
  DrawStaffRoll(b.g);
  return b.g.BackBuffer;
}

bool AllBlack(const Bitmap& f) {
  for (uint32_t p : f.px)
    if ((p & 0xFFFFFF) != 0) return false;
  return true;
}

}  // namespace

TEST(Ending, FrameCounterStartsAtMinus200AndLoopsFrom5002To4000) {
  Bare b;
  b.g.SceneId = scEnding;
  float walkedIn = 0;
  b.host.OnFrame = [&b, &walkedIn, prev = b.host.OnFrame](int n) {
    prev(n);
    if (n == 722) walkedIn = b.g.PlayerX;  // after the moves of c 520
  };
  EXPECT_FALSE(b.RunFor(5205, RunEnding));
  EXPECT_EQ(b.notes.at(0).frameCounter, -200);
  EXPECT_EQ(b.notes.at(720).frameCounter, 520);
  EXPECT_EQ(b.notes.at(5202).frameCounter, 5002);
  EXPECT_EQ(b.notes.at(5203).frameCounter, 4000);
  EXPECT_EQ(b.notes.at(5204).frameCounter, 4001);
  // 720 single-precision steps of 0.05 end just short of 9.0, so one more step is taken.
  EXPECT_NEAR(walkedIn, 9.05f, 0.001f) << "the player walks in from -27 and stops past x 9.0";
}

TEST(Ending, ExitKeysAndWhatTheyRecord) {
  struct Case {
    const char* what;
    Script keys;
    int clearedUpTo;  // stages 0..n cleared
    bool leaves;
    int highest, bonus;
  } cases[] = {
      {"Z too early", Script().Wait(kFirstExitFrame - 1).Tap({kVkZ}).Wait(20), 49, false, 49, 0},
      {"Z all cleared", Script().Wait(kFirstExitFrame).Tap({kVkZ}), 49, true, 54, 1},
      {"Z one missing", Script().Wait(kFirstExitFrame).Tap({kVkZ}), 48, true, 49, 0},
      {"Z held from before 3556, released, pressed", Script().Wait(3740).Hold({kVkZ}, 60).Wait(1).Tap({kVkZ}), 49,
       true, 54, 1},
      {"chord", Script().Wait(kFirstExitFrame).Hold({kVkX, kVkM, kVkShift}, 2), 30, true, 54, 1},
  };
  for (const Case& c : cases) {
    Bare b;
    b.g.SceneId = scEnding;
    b.g.HighestStage = 49;
    ClearStages(b.g, 0, c.clearedUpTo);
    b.Keys(c.keys);
    EXPECT_EQ(b.RunFor(c.keys.Frames() + 40, RunEnding), c.leaves) << c.what;
    if (c.keys.Frames() > 3800) {
      EXPECT_EQ(b.notes.at(3799).scene, scEnding) << "the held Z did nothing";
    }
    EXPECT_EQ(b.g.HighestStage, c.highest) << c.what;
    EXPECT_EQ(b.g.BonusAreaOpen, c.bonus) << c.what;
    if (c.leaves) {
      EXPECT_EQ(b.g.SceneId, scTitleMenu) << c.what;
      EXPECT_EQ(b.g.StageIndex, 0);
      EXPECT_EQ(b.g.FadeInPending, 1);
      EXPECT_EQ(b.g.MusicLog, (std::vector<std::string>{"play rhythmicpark.ogg", "arm"}));
      EXPECT_EQ(b.Sounds(wpOk1), 1);
      EXPECT_EQ(b.folder.Exists("plumet.rec"), c.bonus == 1) << c.what;
    }
  }
}

TEST(Ending, SecondMessageFollowsTheProgress) {
  struct Case {
    int bonus, cleared;
    std::vector<std::pair<const char*, int>> lines;
  } cases[] = {
      {0, 49, {{"次は全ステージクリアを目指して", 75}, {"頑張ってみてください！", 145}, {"全てのステージをクリアすると・・", 65}}},
      {0, 50, {{"オールステージクリア", 155}, {"おめでとうございます！　これより", 50}, {"新エリアへの挑戦が可能になります", 47}}},
      {1, 54, {{"ステージセレクト時に", 155}, {"「Play」にカーソルを合わせて", 65}, {"「Shiftキー」と「Mキー」を押すと？？", 0}}},
      {1, 55, {{"コンプリートクリア", 155}, {"おめでとうございます！", 127}, {"そして、ここまでやり込んでくれて", 40}}},
  };
  for (const Case& c : cases) {
    Bare b;
    b.g.BonusAreaOpen = static_cast<uint8_t>(c.bonus);
    b.g.ClearedCount = static_cast<uint8_t>(c.cleared);
    // At 2900 lines 0..2 hold in place and line 3 (when there is one) fades in 15 frames deep.
    const Bitmap got = StaffRollAt(b, 2900);
    b.g.BackBuffer.Resize(640, 480, 0);
    for (size_t L = 0; L < c.lines.size(); ++L)
      DrawText(b.g, 26, 0xF0F0F0, c.lines[L].first, c.lines[L].second, 280 + 40 * static_cast<int>(L));
    Bitmap want = b.g.BackBuffer;
    // Compare the three holding lines only (rows 280..399).
    bool same = true;
    for (int y = 280; y < 400; ++y)
      for (int x = 0; x < 640; ++x) same &= got.At(x, y) == want.At(x, y);
    EXPECT_TRUE(same) << c.bonus << "/" << c.cleared;
  }
}

TEST(Ending, EveryCreditCardIsErasedGlyphByGlyph) {
  struct Case {
    int E, glyphs;
  } cases[] = {{890, 17}, {1110, 11}, {1320, 11}, {1540, 11}, {1750, 8}, {1980, 16}, {2230, 18}, {2450, 11}};
  Bare b;
  for (const Case& c : cases) {
    EXPECT_FALSE(AllBlack(StaffRollAt(b, c.E - 1))) << c.E;
    EXPECT_FALSE(AllBlack(StaffRollAt(b, c.E + 2 * c.glyphs - 3))) << c.E << ": the last glyph's last frame";
    EXPECT_TRUE(AllBlack(StaffRollAt(b, c.E + 2 * c.glyphs - 2))) << c.E;
    EXPECT_TRUE(AllBlack(StaffRollAt(b, c.E + 2 * c.glyphs))) << c.E;
  }
  EXPECT_TRUE(AllBlack(StaffRollAt(b, 729))) << "nothing before the first card";
}

TEST(Ending, APausedFrameDoesNotAdvance) {
  Bare b;
  b.g.SceneId = scEnding;
  b.host.OnFrame = [&b, prev = b.host.OnFrame](int n) {
    prev(n);
    if (n == 100) {
      b.host.SetActive(false);
      b.host.StartTimer(500, [&b] { b.host.SetActive(true); });
    }
  };
  const uint32_t t0 = b.host.Now();
  b.RunFor(103, RunEnding);
  EXPECT_EQ(b.notes.at(100).frameCounter, b.notes.at(99).frameCounter + 1);
  EXPECT_EQ(b.notes.at(102).frameCounter, -98);
  EXPECT_GE(b.host.Now() - t0, 103u * 25u + 400u) << "the paused frames took time but drew nothing";
}

TEST(Ending, GoldenFrames) {
  struct Case {
    int frame;
    const char* name;
  } cases[] = {{330, "ending-ring"}, {1150, "ending-card1"}, {2450, "ending-lift"}, {3300, "ending-message2"},
               {3760, "ending-fin"}, {4240, "ending-flight"}};
  Bare b;
  b.g.SceneId = scEnding;
  b.g.HighestStage = 49;
  ClearStages(b.g, 0, 49);
  b.g.BackBuffer.Resize(640, 480, 0);  // the wipe before the ending leaves it black
  std::map<int, Bitmap> shots;
  std::set<int> wanted;
  for (const Case& c : cases) wanted.insert(c.frame);
  b.host.OnFrame = [&](int n) {
    if (wanted.count(n)) shots[n] = b.host.LastFrame();
  };
  b.RunFor(4241, RunEnding);
  for (const Case& c : cases) EXPECT_TRUE(menutest::MatchesGolden(shots.at(c.frame), c.name));
}
