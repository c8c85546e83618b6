// The stage-clear scenes and the progress step: their lengths, what they leave behind, the
// record after each kind of clear, the way back after a user stage, and a few frames as pictures.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "game/menus/progress_record.h"
#include "game/play/cutscenes.h"
#include "game/play/play.h"
#include "game/play/play_sounds.h"
#include "game/play/stage_format.h"
#include "game/play/stage_text.h"
#include "game/scenes.h"
#include "platform/api/keys.h"
#include "tests/play/cutscene_fixture.h"

using namespace cuttest;
using namespace plat;

namespace {

const std::vector<std::string> kGoalRoom = {"#####", "#PG.#", "#####"};
const std::vector<std::string> kNextStage = {"######", "#.k..#", "#P..G#", "######"};

// Walks right onto the goal through the play scene; the clear runs inside the last walk frame.
void WalkToGoal(SceneBoard& b) {
  b.host.KeyDown(kVkRight);
  for (int i = 0; i < 40 && b.g.Cutscenes.StageClearScenes + b.g.Cutscenes.StageClearAltScenes == 0; i++)
    b.PlayFrame();
  b.host.KeyUp(kVkRight);
}

}  // namespace

TEST(StageClear, PlaysBothPhasesThenLoadsTheNextStage) {
  struct Case {
    uint8_t alt;
    int phase2;
  } cases[] = {{0, 216}, {1, 222}};
  for (const auto& c : cases) {
    SceneBoard b(kGoalRoom);
    b.FillCourse(kNextStage);
    b.g.AltMode = c.alt;
    b.g.StageIndex = 3;
    WalkToGoal(b);
    EXPECT_EQ(b.g.Cutscenes.StageClearScenes, c.alt == 0 ? 1 : 0);
    EXPECT_EQ(b.g.Cutscenes.StageClearAltScenes, c.alt == 1 ? 1 : 0);
    // The walk, the field drawn once on the goal, both phases, the black-out.
    EXPECT_EQ(b.Presented(), 8 + 1 + 123 + c.phase2 + 1);
    EXPECT_EQ(b.g.StageIndex, 4);
    EXPECT_EQ(b.g.SceneId, scStageStart);
    EXPECT_EQ(b.g.FadeInPending, 1);
    EXPECT_EQ(b.g.FadeOutCount, 0);
    // The next stage is set up: its key listed, the player on its start.
    EXPECT_EQ(b.g.KeyList.Count, 1);
    EXPECT_EQ(b.g.PlayerX, 1.0f);
    EXPECT_EQ(b.g.PlayerY, 2.0f);
    EXPECT_EQ(b.g.GoalX, 4);
    EXPECT_EQ(b.g.GoalArrived, 0);
  }
}

// The frames that follow the clear are the next stage's fade-in and intro, then play.
// The sounds of the way to the goal and of the clear, at the frames they play with. The walk
// onto the key ends after its frame 8 is drawn and the arrival takes the key: key.wav counts
// with frame 9. The walk onto the goal ends after frame 16; the field is drawn once on the goal
// (frame 17), goal.wav plays and the clear begins with frame 18. Phase 1 draws 123 frames, so
// phase-2 frame t is frame 141 + t: the rockets' hanabi2.wav at t 120, 126, 132, 138 and 144
// (AltMode 0), the trail's hanabi.wav at t 170 (AltMode 1).
TEST(StageClear, EachSoundPlaysWithItsFrame) {
  constexpr int kPhase2 = 18 + 123;
  struct Case {
    uint8_t alt;
    int player;
    std::vector<int> frames;
  } cases[] = {
      {0, wpKey, {9}},
      {0, wpGoal, {18}},
      {0, wpHanabi2, {kPhase2 + 120, kPhase2 + 126, kPhase2 + 132, kPhase2 + 138, kPhase2 + 144}},
      {0, wpHanabi, {}},
      {1, wpKey, {9}},
      {1, wpGoal, {18}},
      {1, wpHanabi, {kPhase2 + 170}},
      {1, wpHanabi2, {}},
  };
  for (uint8_t alt : {0, 1}) {
    SceneBoard b({"#####", "#PkG#", "#####"});
    b.FillCourse(kNextStage);
    b.g.AltMode = alt;
    WalkToGoal(b);
    for (const auto& c : cases) {
      if (c.alt == alt) {
        EXPECT_EQ(b.SoundFrames(c.player), c.frames) << int(alt) << " " << c.player;
      }
    }
  }
}

// Between the phases "fun.ogg" is loaded, and once 442 ms have passed since the last phase-1
// frame began it is started at full volume to play once; 180 ms later phase 2 begins.
TEST(StageClear, FunPlaysOnceAtFullVolume442MsAfterTheLastPhaseOneFrameThenPhaseTwoWaits180) {
  for (uint8_t alt : {0, 1}) {
    SceneBoard b(kGoalRoom);
    b.FillCourse(kNextStage);
    BoardMusic music(b);
    b.g.AltMode = alt;
    b.g.OggPlayer->SetSlotVolume(0, 0.25f);
    constexpr int kLastPhaseOne = 9 + 123;  // the walk, the field on the goal, phase 1
    int32_t lastPhaseOneStart = -1, phaseTwoStart = -1;
    uint32_t loadedBy = 0, startedAt = 0;
    b.OnFrame = [&](int n) {
      if (n == kLastPhaseOne) lastPhaseOneStart = b.g.FrameStart;
      if (n == kLastPhaseOne + 1) phaseTwoStart = b.g.FrameStart;
    };
    b.host.OnSleep = [&](uint32_t) {
      if (lastPhaseOneStart < 0 || b.g.CurrentSongFile != "fun.ogg") return;
      const int32_t state = b.g.OggPlayer->SlotState(0);
      if (state == 1 && loadedBy == 0) loadedBy = b.host.Now();
      if (state >= 2 && startedAt == 0) {
        startedAt = b.host.Now();
        EXPECT_EQ(state, 2) << "once, not looping";
        EXPECT_FLOAT_EQ(b.g.OggData->GetVolume(), 1.0f);
      }
    };
    WalkToGoal(b);
    ASSERT_NE(loadedBy, 0u) << int(alt) << ": fun.ogg is loaded and waits";
    ASSERT_NE(startedAt, 0u) << int(alt);
    EXPECT_EQ(static_cast<int32_t>(startedAt) - lastPhaseOneStart, 442) << int(alt);
    EXPECT_EQ(phaseTwoStart - static_cast<int32_t>(startedAt), 180) << int(alt);
  }
}

// After stage 49 or 54 the ending's "never.ogg" is loaded 590 ms (AltMode 0) or 442 ms
// (AltMode 1) after the wait that follows the black-out begins.
TEST(ProgressStep, TheEndingSongFollowsTheBlackOutAfterItsWait) {
  struct Case {
    uint8_t stage, alt;
    int32_t waitMs;
  } cases[] = {{49, 0, 590}, {49, 1, 442}, {54, 0, 590}, {54, 1, 442}};
  for (const auto& c : cases) {
    SceneBoard b(kGoalRoom);
    b.FillCourse(kNextStage);
    BoardMusic music(b);
    b.g.StageIndex = c.stage;
    b.g.BonusAreaOpen = c.stage >= 50 ? 1 : 0;
    b.g.AltMode = c.alt;
    bool blackedOut = false;
    uint32_t waitFrom = 0;
    std::string endingSong;
    int32_t loadedAt = 0;
    b.OnFrame = [&](int) {
      if (b.g.StageIndex == c.stage + 1 && !blackedOut) blackedOut = true;  // the black-out's frame
      if (b.g.SceneId == scEnding && endingSong.empty()) {
        endingSong = b.g.CurrentSongFile;
        loadedAt = b.g.SongLoadTime;
        b.g.QuitRequested = 1;  // the ending ends at once
      }
    };
    b.host.OnSleep = [&](uint32_t) {
      if (blackedOut && waitFrom == 0) waitFrom = b.host.Now();
    };
    WalkToGoal(b);
    EXPECT_EQ(endingSong, "never.ogg") << int(c.stage) << " " << int(c.alt);
    EXPECT_EQ(loadedAt - static_cast<int32_t>(waitFrom), c.waitMs) << int(c.stage) << " " << int(c.alt);
  }
}

TEST(StageClear, TheNextStageFadesInAndItsIntroStartsPlay) {
  SceneBoard b(kGoalRoom);
  b.FillCourse(kNextStage);
  WalkToGoal(b);
  ASSERT_EQ(b.g.SceneId, scStageStart);
  b.PlayFrame();
  int frames = 1;
  while (b.g.SceneId == scStageStart && frames < 400) {
    b.PlayFrame();
    frames++;
  }
  EXPECT_EQ(b.g.SceneId, scPlay);
  EXPECT_EQ(b.Cell(1, 2), ccEmpty);  // the intro cleared the start cell
  b.host.KeyDown(kVkRight);
  for (int i = 0; i < 8; i++) b.PlayFrame();
  EXPECT_EQ(b.g.PlayerX, 2.0f);
}

TEST(ProgressStep, RecordsEachClearAndLeadsOn) {
  struct Case {
    uint8_t stage, highestBefore;
    uint8_t nextIndex, scene, highestAfter;
  } cases[] = {
      {3, 3, 4, scStageStart, 7},     // the next area opens
      {47, 47, 48, scStageStart, 49},  // capped at the last stage of the course
      {48, 49, 49, scStageStart, 49},  // stage 48 leads to 49, not the ending
      {49, 49, 50, scTitleMenu, 49},   // the ending, which returns to the title
      {54, 54, 55, scTitleMenu, 54},
  };
  for (const auto& c : cases) {
    SceneBoard b(kGoalRoom);
    b.FillCourse(kNextStage);
    b.g.StageIndex = c.stage;
    b.g.HighestStage = c.highestBefore;
    b.g.BonusAreaOpen = c.stage >= 50 ? 1 : 0;
    bool sawEnding = false;
    b.OnFrame = [&](int) {
      if (b.g.SceneId == scEnding && !sawEnding) {
        sawEnding = true;
        b.g.QuitRequested = 1;  // the ending ends at once
      }
    };
    WalkToGoal(b);
    EXPECT_EQ(b.g.StageIndex, c.nextIndex) << int(c.stage);
    EXPECT_EQ(b.g.StageCleared[c.stage], 1) << int(c.stage);
    EXPECT_EQ(b.g.ClearedCount, 1) << int(c.stage);
    EXPECT_EQ(b.g.HighestStage, c.highestAfter) << int(c.stage);
    EXPECT_EQ(sawEnding, c.scene == scTitleMenu) << int(c.stage);
    if (c.scene == scStageStart) {
      EXPECT_EQ(b.g.SceneId, scStageStart) << int(c.stage);
    }
    // The record file holds the clear.
    const auto rec = b.folder.Read("plumet.rec");
    ASSERT_EQ(rec.size(), 63u);
    EXPECT_EQ(rec[1 + c.stage], 1);
    EXPECT_EQ(rec[0], c.highestAfter);
  }
}

TEST(ProgressStep, AUserStageGetsItsClearedMarkAndReturnsToEditGame) {
  SceneBoard b({"#####", "#PkG#", "#####"});
  const std::string file = b.folder.File("mine.krm");
  b.g.StageIndex = kUserStageIndex;
  b.g.UserStageFileName = file;
  b.g.UserStageCleared = 0;
  b.g.PauseCursor = 3;
  b.g.BarCursor = 2;
  WalkToGoal(b);  // takes the key on the way
  EXPECT_EQ(b.g.SceneId, scEditSelect);
  EXPECT_EQ(b.g.StageIndex, kUserStageIndex);
  ASSERT_TRUE(b.folder.Exists("mine.krm"));
  EXPECT_EQ(b.folder.Read("mine.krm").size(), 314u);
  EXPECT_EQ(b.g.UserStageCleared, 1);
  EXPECT_EQ(b.Cell(2, 1), ccKey);  // the grid is the stage as loaded, not as played
  EXPECT_EQ(b.g.KeysHeld, 0);
  EXPECT_EQ(b.g.KeyList.State[1], 0);
  EXPECT_EQ(b.g.PauseCursor, 0);
  EXPECT_EQ(b.g.BarCursor, 0);
  EXPECT_EQ(b.g.PlayerX, 12.0f);
  EXPECT_EQ(b.g.ClearedCount, 0);  // no built-in stage was marked
  EXPECT_FALSE(b.folder.Exists("plumet.rec"));
}

// A quit ends the running loop; the rest of the sequence still runs, so the clear is recorded.
// After a user stage the EDIT GAME screen's "rhythmicpark.ogg" is loaded: at full volume in
// AltMode 0, started without the settle wait in AltMode 1.
TEST(ProgressStep, AUserStageLeadsToRhythmicparkAtFullVolumeOrArmed) {
  struct Case {
    uint8_t alt;
    float volume;
    bool armed;  // the settle wait and the guard skipped
  } cases[] = {{0, 1.0f, false}, {1, 0.25f, true}};
  for (const auto& c : cases) {
    SceneBoard b({"#####", "#PkG#", "#####"});
    BoardMusic music(b);
    b.g.StageIndex = kUserStageIndex;
    b.g.UserStageFileName = b.folder.File("mine.krm");
    b.g.AltMode = c.alt;
    const int lastFrame = 17 + 123 + (c.alt == 0 ? 216 : 222);
    b.OnFrame = [&](int n) {
      if (n == lastFrame) b.g.OggPlayer->SetSlotVolume(0, 0.25f);
    };
    WalkToGoal(b);
    EXPECT_EQ(b.g.SceneId, scEditSelect) << int(c.alt);
    EXPECT_EQ(b.g.CurrentSongFile, "rhythmicpark.ogg") << int(c.alt);
    EXPECT_FLOAT_EQ(b.g.OggData->GetVolume(), c.volume) << int(c.alt);
    EXPECT_EQ(b.g.SongLoadPhase == 0, c.armed) << int(c.alt);
  }
}

TEST(StageClear, QuitInPhaseOneStillRecordsTheClear) {
  SceneBoard b(kGoalRoom);
  b.FillCourse(kNextStage);
  b.g.StageIndex = 3;
  int quitAt = 0;
  b.OnFrame = [&](int n) {
    if (b.g.Cutscenes.StageClearScenes == 1 && quitAt == 0) quitAt = n + 30;
    if (n == quitAt) b.g.QuitRequested = 1;
  };
  WalkToGoal(b);
  EXPECT_EQ(b.Presented(), quitAt);  // phase 2 never started; the black-out is not drawn
  EXPECT_EQ(b.g.StageIndex, 4);
  EXPECT_EQ(b.g.StageCleared[3], 1);
  EXPECT_TRUE(b.folder.Exists("plumet.rec"));
}

TEST(StageClear, APauseFreezesTheClearFrame) {
  SceneBoard b(kGoalRoom);
  b.FillCourse(kNextStage);
  bool paused = false;
  b.OnFrame = [&](int) {
    if (!paused && b.g.ClearFrame == 50) {
      b.host.PauseFor(25);
      paused = true;
    }
  };
  WalkToGoal(b);
  EXPECT_TRUE(paused);
  EXPECT_EQ(b.host.PausedPasses, 25);
  EXPECT_EQ(b.Presented(), 8 + 1 + 123 + 216 + 1);
}

TEST(StageClear, FramesAsPictures) {
  struct Case {
    uint8_t alt;
    int frame;  // counted from the first frame of the scene
    const char* golden;
  } cases[] = {
      {0, 10, "clear-fading"},
      {0, 123 + 60, "clear-letters"},
      {0, 123 + 115, "clear-flyer-beam"},
      {0, 123 + 150, "clear-fireworks"},
      {0, 123 + 192, "clear-banner-end"},  // copies past the banner strip's edge draw nothing
      {1, 123 + 180, "clear-alt-rings"},
  };
  for (const auto& c : cases) {
    SceneBoard b({"########", "#..P.G.#", "########"});
    b.FillCourse(kNextStage);
    b.g.AltMode = c.alt;
    Bitmap shot;
    int first = 0;
    b.OnFrame = [&](int n) {
      if (first == 0 && b.g.Cutscenes.StageClearScenes + b.g.Cutscenes.StageClearAltScenes > 0) first = n;
      if (first != 0 && n - first + 1 == c.frame) shot = b.host.LastFrame();
    };
    WalkToGoal(b);
    EXPECT_TRUE(MatchesGolden(shot, c.golden)) << c.golden;
  }
}

// The runner plays a built-in stage from its intro through its clear into the next stage, and
// the record file in the program folder shows the clear.
TEST(StageClear, TheHeadlessRunnerPlaysThroughTheClearIntoTheNextStage) {
  const char* dist = std::getenv("PLUMET_DIST");
  ASSERT_TRUE(dist);
  harness::ProgramFolder folder;
  TBuiltinStages stages{};
  const auto room = RowsFromText({"#####", "#...#", "#P.G#", "#####"});  // a map's stage 1 keeps (1, 1) empty
  for (int s = 0; s < kBuiltinStageCount; s++)
    for (int x = 0; x < kGridCols; x++)
      for (int y = 0; y < kGridRows; y++) stages[s * kGridCells + GridIndex(x, y)] = room[RowsIndex(x, y)];
  folder.Write("plumet.map", EncodeStageData(stages, TStyleTable{}));
  folder.WriteText("run.keys", "20 Right\n");  // counted from the first play frame, past the intro
  const std::string cmd = std::string(dist) + "/plumet-headless --folder " + folder.Path() + " --builtin 0 --keys " +
                          folder.File("run.keys") + " --frames 1000 --record 2>/dev/null";
  std::string out;
  if (FILE* f = popen(cmd.c_str(), "r")) {
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
    pclose(f);
  }
  EXPECT_NE(out.find("state scene=3 stage=1 "), std::string::npos) << out;
  EXPECT_NE(out.find("record highest=7 cleared=1 bonus=0 marks=1000"), std::string::npos) << out;
  const auto rec = folder.Read("plumet.rec");
  ASSERT_EQ(rec.size(), 63u);
  EXPECT_EQ(rec[1], 1);
}

// A star burst's fifth frame lies past its four-frame row: nothing of the sheet is drawn there
// (the synthetic sheet has pixels beyond the row, whose red and green always differ).
TEST(StageClear, FramesPastTheirStripDrawNothing) {
  SceneBoard b({"########", "#..P.G.#", "########"});
  b.FillCourse(kNextStage);
  Bitmap shot;
  int first = 0;
  b.OnFrame = [&](int n) {
    if (first == 0 && b.g.Cutscenes.StageClearScenes > 0) first = n;
    if (first != 0 && n - first + 1 == 123 + 146) shot = b.host.LastFrame();  // t = 145: burst 1, frame 4
  };
  WalkToGoal(b);
  ASSERT_FALSE(shot.Empty());
  int sheetPixels = 0;
  for (int y = 20; y < 80; y++)
    for (int x = 86; x < 146; x++) {
      const uint32_t p = shot.At(x, y);
      sheetPixels += (p & 0xFF) != ((p >> 8) & 0xFF);
    }
  EXPECT_EQ(sheetPixels, 0);
}
