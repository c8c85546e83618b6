// The stage intro and the door, all-balls and barrier-vanish scenes: their lengths, keys,
// pauses, quits, what they leave behind, and a few frames compared as pictures.
#include <gtest/gtest.h>

#include "game/play/cutscenes.h"
#include "game/play/play.h"
#include "game/play/play_sounds.h"
#include "game/play/scene_field.h"
#include "game/scenes.h"
#include "game/shell/draw.h"
#include "platform/api/keys.h"
#include "tests/play/cutscene_fixture.h"

using namespace cuttest;
using namespace plat;

namespace {

// A room with a bit of everything the field draws, the player at (2, 3).
const std::vector<std::string> kBusy = {
    "##########",  //
    "#k.C.X.x.#",  //
    "#o.!.B.>.#",  //
    "#.P.D..J.#",  //
    "##########",
};

void SetEffects(Game& g) {
  g.KeyList.State[1] = 5;
  g.BallList.State[1] = 3;
  g.CloudList.State[1] = 4;
  g.JailList.State[1] = 10;  // closing
  g.JailList.State[2] = 30;  // opening
  g.ItemAnimFrame = 1;
  g.BarrierBlinkTick = 85;
}

}  // namespace

// The layers the scenes compose must draw and advance exactly what the play renderer does.
TEST(SceneField, LayersMatchThePlayRenderer) {
  SceneBoard a(kBusy), b(kBusy);
  SetEffects(a.g);
  SetEffects(b.g);
  for (int frame = 0; frame < 3; frame++) {
    DrawFieldObjects(a.g, true);
    scene::LowerLayers(b.g);
    DrawPlayer(b.g);
    scene::Jails(b.g);
    scene::Hud(b.g);
    ASSERT_EQ(a.g.BackBuffer.px, b.g.BackBuffer.px) << frame;
    EXPECT_EQ(a.g.KeyList.State, b.g.KeyList.State);
    EXPECT_EQ(a.g.JailList.State, b.g.JailList.State);
    EXPECT_EQ(a.g.CloudList.State, b.g.CloudList.State);
    EXPECT_EQ(a.g.StageGrid, b.g.StageGrid);
  }
}

TEST(StageIntro, RunsTwoLoopsOf48And161FramesAndStartsPlay) {
  SceneBoard b({"#####", "#P.G#", "#####"});
  b.g.StageGrid[GridIndex(1, 1)] = ccPlayerStart;
  b.g.SceneId = scStageStart;
  b.g.KeyLatch = 1;
  b.g.BarrierBlinkTick = 0;
  RunStageIntro(b.g);
  EXPECT_EQ(b.Presented(), 48 + 161);
  EXPECT_EQ(b.g.BarrierBlinkTick, (47 + 160) % 92);  // no tick on the last frame of either loop
  EXPECT_EQ(b.Cell(1, 1), ccEmpty);
  EXPECT_EQ(b.g.SceneId, scPlay);
  EXPECT_EQ(b.g.KeyLatch, 0);
  EXPECT_EQ(b.g.Cutscenes.StageIntros, 1);
}

TEST(StageIntro, TitleFramesAsPictures) {
  struct Case {
    uint8_t stage;
    int frame;
    const char* golden;
  } cases[] = {
      {0, 30, "intro-letters"},  // "S T" white, "A" dropping
      {0, 48 + 60, "intro-number-1"},
      {9, 48 + 60, "intro-number-10"},  // two digits sit 10 pixels further left
      {255, 48 + 15, "intro-user-fading-in"},
  };
  for (const auto& c : cases) {
    SceneBoard b({"#####", "#P.G#", "#####"});
    b.g.StageIndex = c.stage;
    Bitmap shot;
    b.OnFrame = [&](int n) {
      if (n == c.frame) shot = b.host.LastFrame();
    };
    RunStageIntro(b.g);
    EXPECT_TRUE(MatchesGolden(shot, c.golden));
  }
}

TEST(StageIntro, QuitEndsAtOnceButStillStartsPlay) {
  SceneBoard b({"#####", "#P.G#", "#####"});
  b.g.StageGrid[GridIndex(1, 1)] = ccPlayerStart;
  b.OnFrame = [&](int n) {
    if (n == 20) b.g.QuitRequested = 1;
  };
  RunStageIntro(b.g);
  EXPECT_EQ(b.Presented(), 20);
  EXPECT_EQ(b.Cell(1, 1), ccEmpty);
  EXPECT_EQ(b.g.SceneId, scPlay);
}

// A pause inside each scene freezes it: the same frames are drawn, none while paused.
TEST(Cutscenes, APauseFreezesEveryScene) {
  struct Case {
    const char* name;
    void (*run)(Game&);
    int frames;
  } cases[] = {
      {"intro", RunStageIntro, 209},
      {"door", PlayDoorScene, 34},
      {"balls", PlayBallsCompleteScene, 31 + 78 + 51},
      {"barrier", PlayBarrierVanishScene, 51},
  };
  for (const auto& c : cases) {
    SceneBoard b({"#####", "#PD.#", "#o!G#", "#####"});
    int pausedAt = -1;
    b.OnFrame = [&](int n) {
      if (n == 10) {
        b.host.PauseFor(40);
        pausedAt = n;
      }
    };
    c.run(b.g);
    EXPECT_EQ(pausedAt, 10) << c.name;
    EXPECT_EQ(b.host.PausedPasses, 40) << c.name;
    EXPECT_EQ(b.Presented(), c.frames) << c.name;
  }
}

TEST(DoorScene, OpensTheDoorIn34FramesAndLeavesItsCellEmpty) {
  SceneBoard b({"#####", "#PD.#", "#####"});
  b.g.StageGrid[GridIndex(2, 1)] = ccDoorOpening;
  PlayDoorScene(b.g);
  EXPECT_EQ(b.Presented(), 34);
  EXPECT_EQ(b.g.DoorFrame, 34);
  EXPECT_EQ(b.g.DoorList.State[1], 2);
  EXPECT_EQ(b.Cell(2, 1), ccEmpty);
  EXPECT_EQ(b.Sound(wpDoor), 1);
  EXPECT_EQ(b.g.Cutscenes.DoorScenes, 1);
}

TEST(DoorScene, FacingLeftOpensTheDoorOnTheLeft) {
  SceneBoard b({"#####", "#.DP#", "#####"}, 1);
  PlayDoorScene(b.g);
  EXPECT_EQ(b.g.DoorTargetX, 2);
  EXPECT_EQ(b.g.DoorList.State[1], 2);
  EXPECT_EQ(b.Cell(2, 1), ccEmpty);
}

TEST(DoorScene, RoundsTheWalkFrameUpToAStillPose) {
  struct Case {
    uint8_t before, after;
  } cases[] = {{5, 0}, {2, 4}, {0, 0}, {4, 4}, {7, 0}};
  for (const auto& c : cases) {
    SceneBoard b({"#####", "#PD.#", "#####"});
    b.g.PlayerAnimFrame = c.before;
    PlayDoorScene(b.g);
    EXPECT_EQ(b.g.PlayerAnimFrame, c.after) << int(c.before);
  }
}

// The latch from the key press that walked into the door is released in place once Z, X and
// Escape are all up; arrows do not hold it.
TEST(Cutscenes, TheFieldScenesReleaseTheLatchOnceZXAndEscapeAreUp) {
  struct Case {
    std::vector<int> held;
    uint8_t latch;
  } cases[] = {{{kVkZ}, 1}, {{kVkX}, 1}, {{kVkEscape}, 1}, {{kVkRight, kVkUp}, 0}, {{}, 0}};
  void (*scenes[])(Game&) = {PlayDoorScene, PlayBallsCompleteScene, PlayBarrierVanishScene};
  for (auto run : scenes)
    for (const auto& c : cases) {
      SceneBoard b({"#####", "#PD.#", "#####"});
      b.g.KeyLatch = 1;
      for (int k : c.held) b.host.KeyDown(k);
      run(b.g);
      EXPECT_EQ(b.g.KeyLatch, c.latch);
    }
}

// Keys pressed during a field scene are flushed every frame: none acts in play afterwards.
TEST(Cutscenes, KeysPressedDuringAFieldSceneDoNotActAfterwards) {
  SceneBoard b({"######", "#P.G.#", "######"});
  b.OnFrame = [&](int n) {
    if (n == 20) {
      b.host.KeyDown(kVkZ);
      b.host.KeyUp(kVkZ);  // pressed and released inside the scene
    }
  };
  PlayBarrierVanishScene(b.g);
  b.OnFrame = nullptr;
  b.PlayFrame();
  EXPECT_EQ(b.g.ActionCode, paIdle);
}

TEST(DoorScene, QuitLeavesTheDoorOpening) {
  SceneBoard b({"#####", "#PD.#", "#####"});
  b.g.StageGrid[GridIndex(2, 1)] = ccDoorOpening;
  b.OnFrame = [&](int n) {
    if (n == 5) b.g.QuitRequested = 1;
  };
  PlayDoorScene(b.g);
  EXPECT_EQ(b.Presented(), 5);
  EXPECT_EQ(b.g.DoorList.State[1], 1);
  EXPECT_EQ(b.Cell(2, 1), ccDoorOpening);
}

TEST(DoorScene, RingsAsPictures) {
  SceneBoard b({"#######", "#.PD..#", "#######"});
  Bitmap shot;
  b.OnFrame = [&](int n) {
    if (n == 12) shot = b.host.LastFrame();
  };
  PlayDoorScene(b.g);
  EXPECT_TRUE(MatchesGolden(shot, "door-frame-12"));
}

TEST(BallsScene, RunsDotsRingsAndTheBarrierScene) {
  SceneBoard b({"#######", "#P.!x.#", "#.B!X.#", "#######"});
  b.g.StageGrid[GridIndex(3, 2)] = ccBalloon;  // a balloon standing in a barrier's cell
  PlayBallsCompleteScene(b.g);
  EXPECT_EQ(b.Presented(), 31 + 78 + 51);
  EXPECT_EQ(b.Sound(wpBoal), 1);
  EXPECT_EQ(b.Sound(wpOk1), 2);
  EXPECT_EQ(b.Sound(wpBarrior), 1);
  EXPECT_EQ(b.Sound(wpRouya), 1);  // only the closed jail starts an opening effect
  EXPECT_EQ(b.g.BarrierGone, 1);
  EXPECT_EQ(b.Cell(3, 1), ccEmpty);
  EXPECT_EQ(b.Cell(3, 2), ccBalloon);
  EXPECT_EQ(b.g.JailList.State[1], 43);  // open: open for good at once
  EXPECT_EQ(b.g.JailList.State[2], 25);  // closed: opening since frame 50, two frames drawn
  EXPECT_EQ(b.Cell(4, 1), ccJailOpen);
  EXPECT_EQ(b.Cell(4, 2), ccJailOpen);
  EXPECT_EQ(b.g.Cutscenes.BallsCompleteScenes, 1);
}

// Each sound at the frame it plays with, counted from the scene's first frame: the door's at
// its frame 1; the dots' at 1; the rings' at their frames 7 and 40 after the dots' 31; the
// barriers' at the barrier scene's frame 1 and the jail's at its frame 50, after 31 + 78.
TEST(Cutscenes, EachSoundPlaysWithItsFrame) {
  struct Heard {
    int player;
    std::vector<int> frames;
  };
  struct Case {
    const char* scene;
    std::vector<std::string> rows;
    void (*run)(Game&);
    std::vector<Heard> sounds;
  } cases[] = {
      {"door", {"#####", "#PD.#", "#####"}, PlayDoorScene, {{wpDoor, {1}}}},
      {"balls",
       {"#######", "#P.!x.#", "#.B!X.#", "#######"},
       PlayBallsCompleteScene,
       {{wpBoal, {1}}, {wpOk1, {31 + 7, 31 + 40}}, {wpBarrior, {31 + 78 + 1}}, {wpRouya, {31 + 78 + 50}}}},
      {"barrier", {"######", "#P!X.#", "######"}, PlayBarrierVanishScene, {{wpBarrior, {1}}, {wpRouya, {50}}}},
  };
  for (const auto& c : cases) {
    SceneBoard b(c.rows);
    c.run(b.g);
    for (const Heard& h : c.sounds) EXPECT_EQ(b.SoundFrames(h.player), h.frames) << c.scene << " " << h.player;
  }
}

TEST(BarrierScene, WithoutBarriersOrJailsItStillRuns51FramesSilently) {
  SceneBoard b({"#####", "#P.G#", "#####"});
  b.g.BallsTaken = 2;
  b.g.BallsInStage = 2;
  PlayBarrierVanishScene(b.g);
  EXPECT_EQ(b.Presented(), 51);
  EXPECT_EQ(b.Sound(wpBarrior), 0);
  EXPECT_EQ(b.Sound(wpRouya), 0);
  EXPECT_EQ(b.g.BallsTaken, 0);
  EXPECT_EQ(b.g.BallsInStage, 0);
}

TEST(BarrierScene, QuitBeforeFrame50LeavesBarriersAndJails) {
  SceneBoard b({"######", "#P!X.#", "######"});
  b.OnFrame = [&](int n) {
    if (n == 30) b.g.QuitRequested = 1;
  };
  PlayBarrierVanishScene(b.g);
  EXPECT_EQ(b.g.BarrierGone, 0);
  EXPECT_EQ(b.Cell(2, 1), ccBarrier);
  EXPECT_EQ(b.g.JailList.State[1], 22);
}

TEST(BarrierScene, EndsAHopOverAtOnceInTheAlternateMode) {
  struct Case {
    uint8_t alt, code, frames;
  } cases[] = {{1, paHopOverRight, 0}, {1, paHopOverLeft, 0}, {0, paHopOverRight, 5}, {1, paHopRight, 5}};
  for (const auto& c : cases) {
    SceneBoard b({"#####", "#P.G#", "#####"});
    b.g.AltMode = c.alt;
    b.g.ActionCode = c.code;
    b.g.ActionFrames = 5;
    PlayBarrierVanishScene(b.g);
    EXPECT_EQ(b.g.ActionFrames, c.frames);
  }
}

TEST(BarrierScene, GlowAsPictures) {
  SceneBoard b({"#######", "#P.!X.#", "#..!x.#", "#######"});
  Bitmap shot10, shot40;
  b.OnFrame = [&](int n) {
    if (n == 10) shot10 = b.host.LastFrame();
    if (n == 40) shot40 = b.host.LastFrame();
  };
  PlayBarrierVanishScene(b.g);
  EXPECT_TRUE(MatchesGolden(shot10, "barrier-frame-10"));
  EXPECT_TRUE(MatchesGolden(shot40, "barrier-frame-40"));
}

// The last ball taken in play runs the scenes inside the frame; play goes on afterwards on
// the changed stage.
TEST(BallsScene, TheLastBallTakenInPlayOpensTheWayInTheSameFrame) {
  SceneBoard b({"#######", "#Po!.G#", "#######"});
  b.host.KeyDown(kVkRight);
  for (int i = 0; i < 8; i++) b.PlayFrame();
  b.host.KeyUp(kVkRight);
  EXPECT_EQ(b.g.Cutscenes.BallsCompleteScenes, 1);
  EXPECT_EQ(b.g.BarrierGone, 1);
  EXPECT_EQ(b.Cell(3, 1), ccEmpty);
  EXPECT_EQ(b.Presented(), 8 + 160 + 1);  // the play frames, the scenes, the field drawn once before them
  b.host.KeyDown(kVkRight);
  for (int i = 0; i < 8; i++) b.PlayFrame();
  EXPECT_EQ(b.g.PlayerX, 3.0f);  // the barrier is no longer in the way
}

// The last ball taken in the air: the scenes run inside the jump's step, and the jump then
// goes on and lands.
TEST(BallsScene, TheLastBallTakenDuringAJumpRunsTheScenesAndTheJumpGoesOn) {
  SceneBoard b({"#####", "#...#", "#o!.#", "#P..#", "#####"});
  b.host.KeyDown(kVkZ);
  int frames = 0;
  while (b.g.Cutscenes.BallsCompleteScenes == 0 && frames < 80) {
    b.PlayFrame();
    frames++;
  }
  b.host.KeyUp(kVkZ);
  ASSERT_EQ(b.g.Cutscenes.BallsCompleteScenes, 1);
  EXPECT_EQ(b.g.BarrierGone, 1);
  EXPECT_NE(b.g.ActionCode, paIdle);  // still in the air when the scenes end
  for (int i = 0; i < 80; i++) b.PlayFrame();
  EXPECT_EQ(b.g.PlayerX, 1.0f);
  EXPECT_EQ(b.g.PlayerY, 3.0f);
  EXPECT_EQ(b.Cell(2, 2), ccEmpty);
}

TEST(BallsScene, QuitEndsItAtTheNextFrameAndLeavesJailsAndBarriers) {
  SceneBoard b({"######", "#P!X.#", "######"});
  b.OnFrame = [&](int n) {
    if (n == 20) b.g.QuitRequested = 1;
  };
  PlayBallsCompleteScene(b.g);
  EXPECT_EQ(b.Presented(), 20);  // neither the rings nor the barrier scene draw a frame
  EXPECT_EQ(b.g.BarrierGone, 0);
  EXPECT_EQ(b.Cell(2, 1), ccBarrier);
  EXPECT_EQ(b.g.JailList.State[1], 22);
}
