// Times DrawPlayField on a busy stage with the real art (a benchmark program, not a test):
// 21 balloons, 21 pads, keys, balls, clouds, jails and conveyors, several effects at once.
#include <chrono>
#include <cstdio>

#include "game/play/play.h"
#include "game/scenes.h"
#include "tests/play/play_fixture.h"

using namespace playtest;

int main() {
  PlayBoard b({"####################", "#BJBJBJBJBJBJBJBJBJ#", "#kokokokokokokokoko#", "#CCCCCCCCCCCCCCCCCC#",
               "#..................#", "#BJBJBJBJBJBJBJBJBJ#", "#><><><><><><><><><#", "#xXxXxXxXxXxXxXxXxX#",
               "#!!!!!!!!!!!!!!!!!!#", "#..................#", "#BJBJBJ.......DDDD.#", "#HHHHHH........P...#",
               "#..................#", "#G.................#", "####################"});
  auto& art = b.g.Art;
  const std::pair<const char*, plat::Bitmap*> sheets[] = {
      {"ImgAnten", &art.ImgAnten}, {"ImgMap0", &art.ImgMap0},   {"ImgMap1", &art.ImgMap1},
      {"ImgChar", &art.ImgChar},   {"ImgChar1", &art.ImgChar1}, {"ImgChar2", &art.ImgChar2},
      {"ImgChar3", &art.ImgChar3}, {"ImgChar4", &art.ImgChar4}, {"ImgChar5", &art.ImgChar5},
      {"ImgChar6", &art.ImgChar6}, {"ImgChar10", &art.ImgChar10}, {"ImgChar15", &art.ImgChar15}};
  int loaded = 0;
  for (const auto& [name, bmp] : sheets) loaded += b.host.LoadImage(name, *bmp);
  SetupPlayBoard(b.g);
  const int frames = 2000;
  double total = 0, present = 0;
  for (int i = 0; i < frames; i++) {
    // Keep effects running: pick-ups, vanishing clouds, closing and opening jails.
    for (int k = 1; k <= b.g.KeyList.Count; k += 3) b.g.KeyList.State[k] = static_cast<uint8_t>(1 + i % 19);
    for (int k = 1; k <= b.g.BallList.Count; k += 3) b.g.BallList.State[k] = static_cast<uint8_t>(1 + i % 19);
    for (int k = 1; k <= b.g.CloudList.Count; k += 2) b.g.CloudList.State[k] = static_cast<uint8_t>(2 + i % 7);
    for (int k = 1; k <= b.g.JailList.Count; k++) b.g.JailList.State[k] = static_cast<uint8_t>(k % 2 ? 2 + i % 19 : 23 + i % 19);
    const auto t0 = std::chrono::steady_clock::now();
    DrawPlayField(b.g);
    const auto t1 = std::chrono::steady_clock::now();
    TickAnimation(b.g);
    total += std::chrono::duration<double, std::milli>(t1 - t0).count();
    // The headless host hashes every presented frame; that is the host's cost, not the game's.
    const auto p0 = std::chrono::steady_clock::now();
    b.host.Present(b.g.BackBuffer);
    present += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - p0).count();
  }
  std::printf("DrawPlayField: %.3f ms a frame, %.3f ms without the headless host's present "
              "(%d frames, %d of 12 sheets loaded)\n",
              total / frames, (total - present) / frames, frames, loaded);
  return 0;
}
