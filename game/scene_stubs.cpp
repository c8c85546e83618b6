// Stand-ins for scenes not built yet: the menus show a black screen with the overlay, the
// rest do nothing, so MainLoop runs only its tail.
#include "game/game.h"
#include "game/scenes.h"
#include "game/shell/main_loop.h"
#include "game/shell/transitions.h"

namespace {
void BlackFrame(Game& g) {
  g.BackBuffer.Resize(640, 480, 0);
  DrawOverlay(g);
  PresentBackBuffer(g);
}
}  // namespace

void RunOpening(Game& g) { BlackFrame(g); }
void RunTitleMenu(Game& g) { BlackFrame(g); }
void RunStageSelect(Game& g) { BlackFrame(g); }
void RunEditGameSelect(Game& g) { BlackFrame(g); }
void DrawPauseMenu(Game&) {}
void PauseMenuInput(Game&) {}
