// Across programs: a stage drawn and saved in the editor is loaded on the game's EDIT GAME
// screen, played to its goal, and the cleared mark the game writes shows in the editor.
#include <gtest/gtest.h>

#include "editor/editor_files.h"
#include "platform/api/keys.h"
#include "tests/editor/editor_fixture.h"
#include "tests/harness/harness.h"

using edtest::Editor;

namespace {

// Drives the game's menus by what is on screen: taps Z through the opening and intros, picks
// EDIT GAME, LOAD and then PLAY, and holds Right while playing.
void DriveToTheGoal(harness::Harness& h, int frame) {
  Game& g = h.g;
  h.host.ReleaseAllKeys();
  const bool tap = frame % 2 == 0;  // every other frame, so each latch opens again
  switch (g.SceneId) {
    case scTitleMenu:
      if (tap) h.host.KeyDown(g.TitleCursor == tiEditGame ? plat::kVkZ : plat::kVkDown);
      break;
    case scEditSelect:
      if (!tap) break;
      if (g.UserStageFileName.empty()) h.host.KeyDown(g.BarCursor == eiLoad ? plat::kVkZ : plat::kVkLeft);
      else h.host.KeyDown(g.BarCursor == eiPlay ? plat::kVkZ : plat::kVkRight);
      break;
    case scPlay:
      h.host.KeyDown(plat::kVkRight);
      break;
    default:
      if (tap) h.host.KeyDown(plat::kVkZ);
      break;
  }
}

}  // namespace

TEST(EditorRoundTrip, DrawnStageIsPlayedInTheGameAndShowsCleared) {
  harness::ProgramFolder game;
  const std::string stage = game.File("walk.krm");
  {
    Editor ed;
    ed.Put(ccPlayerStart, 1, 13);
    ed.Put(ccGoal, 3, 13);
    ed.host.SaveAnswers.push_back(stage);
    cmdSaveClick(ed.e);
    ASSERT_EQ(game.Read("walk.krm").size(), 314u);
    ASSERT_EQ(game.Read("walk.krm")[310], 0);
  }

  harness::Harness h(game);
  h.host.OpenAnswers.push_back(stage);
  bool cleared = false;
  h.host.OnFrame = [&](int frame) {
    if (!cleared && game.Read("walk.krm").size() == 314 && game.Read("walk.krm")[310] == 1) {
      cleared = true;
      h.host.RequestClose();
      h.host.Answers.push_back(plat::MsgResult::Yes);
    }
    DriveToTheGoal(h, frame);
  };
  h.Run(6000);
  ASSERT_TRUE(cleared) << "scene " << int(h.g.SceneId) << " after " << h.host.Frames() << " frames";
  auto bytes = game.Read("walk.krm");
  EXPECT_EQ(bytes.size(), 314u);

  Editor ed;
  ed.host.OpenAnswers.push_back(stage);
  cmdLoadClick(ed.e);
  EXPECT_EQ(ed.e.EditCleared, 1);
  EXPECT_EQ(ed.e.Label5, "このマップはクリア済みです");
  EXPECT_EQ(ed.Cell(1, 13), ccPlayerStart);
  EXPECT_EQ(ed.Cell(3, 13), ccGoal);
}
