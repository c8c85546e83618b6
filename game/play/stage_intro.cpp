// The stage intro: "S T A G E" drops in letter by letter, the stage number shows beside a
// spinning ring, everything fades, and play begins.
#include <string>

#include "game/play/play_internal.h"
#include "game/play/scene_field.h"
#include "game/scenes.h"
#include "game/shell/draw.h"
#include "game/shell/frame.h"
#include "game/shell/music_control.h"
#include "game/shell/transitions.h"

using namespace play;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr const char* kWordParts[] = {"S", "S T", "S T A", "S T A G", "S T A G E"};
constexpr const char* kLetters[] = {"S", "T", "A", "G", "E"};

// The field as a stage has it at its start, under the title.
void DrawIntroField(Game& g, int titleX, int titleY, int titleW, int titleH) {
  CopyBlt(g.BoardLayer, 32 * g.GoalX, 32 * g.GoalY, 32, 32, g.BackBuffer, 32 * g.GoalX, 32 * g.GoalY);
  CopyBlt(g.BoardLayer, titleX, titleY, titleW, titleH, g.BackBuffer, titleX, titleY);
  CopyBlt(g.BoardLayer, 565, 435, 80, 50, g.BackBuffer, 565, 435);
  CopyBlt(g.BoardLayer, 530, 0, 110, 34, g.BackBuffer, 530, 0);
  scene::LowerLayers(g);
  DrawPlayer(g);
  scene::Jails(g);
  scene::Hud(g);
}

void DrawDroppingTitle(Game& g) {
  const int phase = g.IntroPhase, k = g.IntroFrame;
  if (phase < 2) return;
  if (phase >= 3) DrawText(g, 30, kWhite, kWordParts[phase - 3], 212, 202);
  if (phase <= 6) DrawText(g, 30, Grey(40 * k), kLetters[phase - 2], 212 + 40 * (phase - 2), 190 + 2 * k);
}

void DrawNumberTitle(Game& g) {
  const int n = g.IntroFrame;
  if (n > 131) return;
  const uint32_t grey = n <= 25 ? Grey(10 * n) : n <= 100 ? kWhite : Grey(247 - 8 * (n - 101));
  DrawText(g, 30, n <= 100 ? kWhite : grey, "S T A G E", 212, 202);
  if (g.StageIndex == kUserStageIndex)
    DrawText(g, 30, grey, "E", 422, 202);
  else
    DrawText(g, 30, grey, " " + std::to_string(g.StageIndex + 1), g.StageIndex < 9 ? 402 : 392, 202);
  const int m = n % 7;
  for (int i = 0; i <= 1; i++) {
    if (n % 14 < 7)
      DrawEllipse(g, grey, bsClear, pmCopy, 432 - i - 4 * m, 198, 432 + i + 4 * m, 246);
    else
      DrawEllipse(g, grey, bsClear, pmCopy, 408 + 4 * m - i, 198, 456 - 4 * m + i, 246);
  }
}

}  // namespace

void RunStageIntro(Game& g) {
  g.Cutscenes.StageIntros++;
  g.IntroPhase = 0;
  g.IntroFrame = 0;
  while (g.QuitRequested == 0) {
    BeginFrame(g);
    if (g.Paused == 0) {
      DrawIntroField(g, 210, 200, 200, 35);
      DrawDroppingTitle(g);
      DrawOverlay(g);
      PresentBackBuffer(g);
      if (++g.IntroFrame > 5) {
        g.IntroFrame = 0;
        if (++g.IntroPhase >= 8) break;  // the last frame has neither tick nor tail
      }
      TickAnimation(g);
    }
    EndFrame(g);
  }

  g.IntroPhase = 0;
  g.IntroFrame = 0;
  while (g.QuitRequested == 0) {
    BeginFrame(g);
    if (g.Paused == 0) {
      DrawIntroField(g, 210, 190, 250, 60);
      DrawNumberTitle(g);
      DrawOverlay(g);
      PresentBackBuffer(g);
      if (++g.IntroFrame > 160) break;
      TickAnimation(g);
    }
    EndFrame(g);
  }

  EndStageIntro(g);
}

void EndStageIntro(Game& g) {
  SetCell(g, Rnd(g.PlayerX), Rnd(g.PlayerY), ccEmpty);
  g.SceneId = scPlay;
  g.KeyLatch = 0;
}
