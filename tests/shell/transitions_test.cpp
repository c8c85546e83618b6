// Transitions through black and the overlay's hot keys.
#include <gtest/gtest.h>

#include "game/shell/frame.h"
#include "game/shell/transitions.h"
#include "platform/api/keys.h"
#include "tests/harness/harness.h"

using namespace plat;

namespace {

// A Game whose darkening tiles each clear one bit, on a white back buffer.
struct Fixture {
  NullHost host;
  Game g{host};
  Fixture() {
    g.Art.ImgAnten = harness::BitTiles();
    g.BackBuffer.Resize(640, 480, 0xFFFFFF);
    g.OwnWindow = host.FormWindowId();
  }
  // The colour a white pixel has after the given tiles.
  static uint32_t After(std::initializer_list<int> tiles) {
    uint32_t c = 0xFFFFFF;
    for (int t : tiles) c &= t == 7 ? 0 : (0xFFFFFFu & ~(1u << t));
    return c;
  }
  static uint32_t Tile(int t) { return After({t}); }
};

}  // namespace

TEST(Transitions, WipeDarkensStepByStepFor31Frames) {
  Fixture f;
  std::vector<uint32_t> seen;
  f.host.OnFrame = [&](int) { seen.push_back(f.g.BackBuffer.At(639, 479)); };
  WipeOut(f.g, false);
  ASSERT_EQ(seen.size(), 31u);
  uint32_t want = 0xFFFFFF;
  for (int n = 1; n <= 31; ++n) {
    int tile = n < 21 ? n / 3 : 7;
    want &= Fixture::Tile(tile);
    EXPECT_EQ(seen[n - 1], want) << "frame " << n;
  }
  EXPECT_EQ(seen.back(), 0u);
  EXPECT_EQ(f.g.FadeInPending, 1);
  EXPECT_EQ(f.g.WipeCount, 31);
}

TEST(Transitions, FadeInDarkensEachFreshPictureLessUntilStep25) {
  Fixture f;
  f.g.FadeInPending = 1;
  for (int n = 1; n <= 25; ++n) {
    f.g.BackBuffer.Resize(640, 480, 0xFFFFFF);
    FadeInStep(f.g);
    uint32_t want = n < 24 ? Fixture::Tile(7 - n / 3) : 0xFFFFFF;
    EXPECT_EQ(f.g.BackBuffer.At(0, 0), want) << "step " << n;
    EXPECT_EQ(f.g.FadeInPending, n < 25 ? 1 : 0) << "step " << n;
  }
  EXPECT_EQ(f.g.FadeInCount, 0);
}

TEST(Transitions, FadeOutUsesRoundedThirdsThenStaysBlack) {
  const int want[] = {0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5, 5, 5, 6, 6, 6, 7, 7, 7, 7, 7, 7, 7};
  Fixture f;
  f.g.FadeOutCount = 0;
  for (int n = 1; n <= 26; ++n) {
    f.g.BackBuffer.Resize(640, 480, 0xFFFFFF);
    FadeOutStep(f.g);
    EXPECT_EQ(f.g.BackBuffer.At(320, 240), Fixture::Tile(want[n - 1])) << "step " << n;
  }
  EXPECT_EQ(f.g.FadeOutCount, 24);
}

TEST(Transitions, BlackOutIsOneBlackFrame) {
  Fixture f;
  BlackOut(f.g);
  EXPECT_EQ(f.host.Frames(), 1);
  EXPECT_EQ(f.host.LastFrame().At(100, 100), 0u);
  EXPECT_EQ(f.g.FadeInPending, 1);
}

TEST(Overlay, CtrlWinsOverCAndCWaitsForCtrlsRelease) {
  Fixture f;
  f.g.OverlayVisible = 0;
  f.g.SoundEnabled = 1;
  // One DrawOverlay call per step, with the keys as held during it.
  struct Step {
    bool ctrl, c;
    uint8_t overlay, sound;
    const char* why;
  } steps[] = {
      {true, true, 1, 1, "Ctrl acts, C is ignored"},
      {true, true, 1, 1, "held Ctrl toggles once and C still waits"},
      {false, true, 1, 0, "Ctrl released: C acts in the same call"},
      {false, true, 1, 0, "C acts once per press"},
      {false, false, 1, 0, "C released"},
      {false, true, 1, 1, "C pressed again"},
  };
  for (const auto& s : steps) {
    if (s.ctrl) f.host.KeyDown(kVkCtrl); else f.host.KeyUp(kVkCtrl);
    if (s.c) f.host.KeyDown(kVkC); else f.host.KeyUp(kVkC);
    DrawOverlay(f.g);
    EXPECT_EQ(f.g.OverlayVisible, s.overlay) << s.why;
    EXPECT_EQ(f.g.SoundEnabled, s.sound) << s.why;
  }
}

TEST(Overlay, CShowsTheHiddenOverlayAndToggles) {
  Fixture f;
  f.host.KeyDown(kVkC);
  DrawOverlay(f.g);
  EXPECT_EQ(f.g.OverlayVisible, 1);
  EXPECT_EQ(f.g.SoundEnabled, 0);
  f.host.KeyUp(kVkC);
  DrawOverlay(f.g);
  f.host.KeyDown(kVkC);
  DrawOverlay(f.g);
  EXPECT_EQ(f.g.SoundEnabled, 1);
  EXPECT_EQ(f.g.OverlayVisible, 1);
}

TEST(Overlay, HoldingFTogglesFullScreenOnce) {
  Fixture f;
  f.host.MoveWindow(40, 50);
  f.host.KeyDown(kVkF);
  for (int i = 0; i < 5; ++i) DrawOverlay(f.g);
  EXPECT_EQ(f.g.FullScreen, 1);
  EXPECT_TRUE(f.host.FullScreenOn());
  EXPECT_TRUE(f.host.Topmost());
  EXPECT_EQ(f.g.WindowedLeft, 40);
  EXPECT_EQ(f.g.WindowedTop, 50);
  f.host.KeyUp(kVkF);
  DrawOverlay(f.g);
  f.host.KeyDown(kVkF);
  DrawOverlay(f.g);
  EXPECT_EQ(f.g.FullScreen, 0);
  EXPECT_FALSE(f.host.FullScreenOn());
  EXPECT_FALSE(f.host.Topmost());
  int l = 0, t = 0;
  f.host.GetWindowPos(l, t);
  EXPECT_EQ(l, 40);
  EXPECT_EQ(t, 50);
}

TEST(Overlay, TextIsBlackInTheOpeningAndWhiteElsewhere) {
  for (uint8_t scene : {scOpening, scTitleMenu}) {
    Fixture f;
    f.g.SceneId = scene;
    f.g.OverlayVisible = 1;
    uint32_t background = scene == scOpening ? 0xFFFFFF : 0x000000;
    f.g.BackBuffer.Resize(640, 480, background);
    DrawOverlay(f.g);
    int changed = 0;
    uint32_t ink = scene == scOpening ? 0x000000 : 0xFFFFFF;
    for (int y = 438; y < 474; ++y)
      for (int x = 560; x < 640; ++x)
        if (f.g.BackBuffer.At(x, y) != background) {
          ++changed;
          EXPECT_EQ(f.g.BackBuffer.At(x, y), ink);
        }
    EXPECT_GT(changed, 20) << "scene " << int(scene);
  }
}
