// The play test fixture.
#include "tests/play/play_fixture.h"

#include "game/play/play.h"
#include "game/play/stage_text.h"
#include "game/scenes.h"
#include "game/shell/frame.h"
#include "game/shell/main_loop.h"
#include "platform/qtgfx/qt_gfx.h"

namespace playtest {

namespace {
struct GoalStop {};
}  // namespace

PlayBoard::PlayBoard(const std::vector<std::string>& rows, uint8_t facing) {
  g.StageGridRows = RowsFromText(rows);
  g.StartFacing = facing;
  g.StageIndex = 0;
  Start();
}

PlayBoard::PlayBoard(const TUserStage& stage) {
  g.StageGridRows = stage.Rows;
  g.StageStyle = stage.Style;
  g.StageTheme = stage.Theme;
  g.StartFacing = stage.Facing;
  g.StageIndex = kUserStageIndex;
  Start();
}

void PlayBoard::Start() {
  plat::qtgfx::EnsureGuiApplication();
  host.SetFrameBudget(100000);
  host.OnFrame = [this](int) {
    if (g.Cutscenes.StageClearScenes + g.Cutscenes.StageClearAltScenes > 0) throw GoalStop{};
  };
  g.OwnWindow = host.FormWindowId();  // the form is the active window
  g.BackBuffer.Resize(640, 480, 0);
  g.BoardLayer.Resize(640, 480, 0);
  g.ScratchBitmap.Resize(100, 100, 0);
  UserStageToGrid(g);
  ResetPlayState(g);
  SetupPlayBoard(g);
  EndStageIntro(g);
}

void PlayBoard::Frame() {
  if (ReachedGoal) return;
  try {
    BeginFrame(g);
    RunSceneFrame(g);
    FullFrameTail(g);
  } catch (const GoalStop&) {
    ReachedGoal = true;
  }
}

void PlayBoard::Hold(std::initializer_list<int> keys, int n) {
  for (int k : keys) host.KeyDown(k);
  for (int i = 0; i < n; i++) Frame();
  for (int k : keys) host.KeyUp(k);
}

int PlayBoard::FramesUntil(int code, int limit) {
  for (int i = 0; i < limit; i++) {
    if (g.ActionCode == code) return i;
    Frame();
  }
  return -1;
}

uint8_t PlayBoard::Cell(int x, int y) const { return g.StageGrid[GridIndex(x, y)]; }
int PlayBoard::CellX() const { return static_cast<int>(g.PlayerX); }
int PlayBoard::CellY() const { return static_cast<int>(g.PlayerY); }

}  // namespace playtest
