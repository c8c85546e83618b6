// Times the drawing primitives on a 640x480 back buffer: a full copy, a board of masked cells,
// menu text, a darkening step and a few effect shapes.
#include <benchmark/benchmark.h>

#include <memory>

#include "game/game.h"
#include "game/shell/draw.h"
#include "platform/api/raster.h"
#include "platform/null/null_host.h"

namespace {

// One game on the headless host with its bitmaps sized as at start-up and some stand-in art.
struct Bench {
  plat::NullHost host;
  Game g{host};
  Bitmap sheet;   // eight 32x32 sprites in row 0, their masks in row 32
  Bitmap anten;   // eight 32x32 darkening tiles side by side

  Bench() {
    g.BackBuffer.Resize(640, 480);
    g.BoardLayer.Resize(640, 480);
    g.ScratchBitmap.Resize(100, 100);
    for (size_t i = 0; i < g.BoardLayer.px.size(); ++i) g.BoardLayer.px[i] = (i * 2654435761u) & 0xFFFFFF;
    sheet.Resize(256, 64, 0);
    anten.Resize(256, 32, 0xFFFFFF);
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 256; ++x) {
        bool inSprite = (x % 32 - 16) * (x % 32 - 16) + (y - 16) * (y - 16) < 200;
        sheet.Set(x, y, inSprite ? 0x3080F0 : 0);
        sheet.Set(x, y + 32, inSprite ? 0 : 0xFFFFFF);
        anten.Set(x, y, ((x + y) % 8) < x / 32 ? 0 : 0xFFFFFF);
      }
  }
};

Bench& B() {
  static auto* b = new Bench;  // shared: the host's text cache and the Qt application live on
  return *b;
}

void MaskedCells(Bench& b) {
  for (int cy = 0; cy < 15; ++cy)
    for (int cx = 0; cx < 20; ++cx)
      MaskedBlt(b.sheet, 32 * ((cx + cy) % 8), 0, 32, 32, 32, b.g.BackBuffer, 32 * cx, 32 * cy);
}

void MenuText(Bench& b) {
  static const char* items[] = {"ＳＴＡＲＴ", "ＥＤＩＴ ＧＡＭＥ", "ＥＮＤ", "ステージ 12", "FPS 40"};
  for (int i = 0; i < 20; ++i)
    DrawText(b.g, i % 2 ? 30 : 12, i % 3 ? 0xE6FAFA : 0x8CC8C8, items[i % 5], 40 + 25 * (i % 4), 30 + 22 * i);
}

void BM_CopyBltFullFrame(benchmark::State& st) {
  Bench& b = B();
  for (auto _ : st) {
    CopyBlt(b.g.BoardLayer, 0, 0, 640, 480, b.g.BackBuffer, 0, 0);
    benchmark::DoNotOptimize(b.g.BackBuffer.px.data());
  }
}
BENCHMARK(BM_CopyBltFullFrame);

void BM_MaskedCells300(benchmark::State& st) {
  Bench& b = B();
  for (auto _ : st) {
    MaskedCells(b);
    benchmark::DoNotOptimize(b.g.BackBuffer.px.data());
  }
}
BENCHMARK(BM_MaskedCells300);

void BM_DrawText20(benchmark::State& st) {
  Bench& b = B();
  for (auto _ : st) {
    MenuText(b);
    benchmark::DoNotOptimize(b.g.BackBuffer.px.data());
  }
}
BENCHMARK(BM_DrawText20);

void BM_Cells300PlusText20(benchmark::State& st) {
  Bench& b = B();
  for (auto _ : st) {
    MaskedCells(b);
    MenuText(b);
    benchmark::DoNotOptimize(b.g.BackBuffer.px.data());
  }
}
BENCHMARK(BM_Cells300PlusText20);

void BM_DarkeningStep(benchmark::State& st) {
  Bench& b = B();
  int k = 0;
  for (auto _ : st) {
    for (int cy = 0; cy < 15; ++cy)
      for (int cx = 0; cx < 20; ++cx)
        plat::gfx::BitBlt(b.g.BackBuffer, 32 * cx, 32 * cy, 32, 32, b.anten, 32 * k, 0, plat::gfx::Rop::And);
    k = (k + 1) % 7;  // tile 7 would leave black, which ends the useful part of a fade
    benchmark::DoNotOptimize(b.g.BackBuffer.px.data());
  }
}
BENCHMARK(BM_DarkeningStep);

void BM_TintedBlt10(benchmark::State& st) {
  Bench& b = B();
  for (auto _ : st) {
    for (int i = 0; i < 10; ++i)
      TintedBlt(b.g, b.sheet, 32 * i % 256, 0, 32, 32, 32, b.g.BackBuffer, 50 * i, 100, Grey(230));
    benchmark::DoNotOptimize(b.g.BackBuffer.px.data());
  }
}
BENCHMARK(BM_TintedBlt10);

// A busy effect frame: ten merge rings, two filled discs, a beam polygon and a few lines.
void BM_EffectShapes(benchmark::State& st) {
  Bench& b = B();
  for (auto _ : st) {
    for (int s = 0; s < 10; ++s)
      DrawEllipse(b.g, Grey(20 * s), bsClear, pmMerge, 200 - 6 * s, 150 - 6 * s, 260 + 6 * s, 210 + 6 * s);
    DrawEllipse(b.g, Grey(90), bsSolid, pmMerge, 300, 200, 380, 280);
    DrawEllipse(b.g, Grey(40), bsSolid, pmCopy, 20, 20, 120, 90);
    DrawPolygon(b.g, 0x60A0FF, pmMerge, 348, 233, 380, 260, 672, 337, 672, 337);
    for (int i = 0; i < 4; ++i) DrawLine(b.g, 0xFFFFFF, pmCopy, 10, 400 + 10 * i, 630, 300 + 20 * i);
    benchmark::DoNotOptimize(b.g.BackBuffer.px.data());
  }
}
BENCHMARK(BM_EffectShapes);

// The stage-clear scene's erasing: black boxes over a field that is black but for a few
// sprites, every frame (most of them change nothing).
void BM_BlackBoxes(benchmark::State& st) {
  Bench& b = B();
  b.g.BackBuffer.Resize(640, 480, 0);
  for (auto _ : st) {
    for (int i = 0; i < 3; ++i)
      MaskedBlt(b.sheet, 32 * i, 0, 32, 32, 32, b.g.BackBuffer, 100 + 150 * i, 200);
    for (int i = 0; i < 8; ++i)
      DrawRect(b.g, 0, bsSolid, pmCopy, 40 + 70 * i, 150, 100 + 70 * i, 260);
    DrawRect(b.g, 0, bsSolid, pmCopy, 100, 330, 640, 485);
    benchmark::DoNotOptimize(b.g.BackBuffer.px.data());
  }
}
BENCHMARK(BM_BlackBoxes);

}  // namespace

BENCHMARK_MAIN();
