// Benchmark, not a test: a frame's worth of overlay and menu texts (20 short strings) drawn
// through the Qt text path. Target: well under 1 ms a frame.
#include <chrono>
#include <cstdio>
#include <string>

#include "platform/qtgfx/qt_gfx.h"

int main() {
  plat::qtgfx::EnsureGuiApplication();
  plat::Bitmap frame(640, 480, 0);
  const char* texts[] = {" 40 FPS", "ON", "NORMAL GAME", "EDIT GAME", "END", "STAGE 12", "ぷかぷか☆らんぷ",
                         "終了しますか？", "AREA 3", "★★★"};
  const int sizes[] = {16, 16, 40, 40, 40, 21, 21, 16, 32, 16};
  auto drawFrame = [&](int f) {
    for (int i = 0; i < 20; ++i)
      plat::qtgfx::DrawText(frame, "ＭＳ 明朝", sizes[i % 10], 0xFFFFFF, 20 + (i * 37 + f) % 500,
                            (i * 23) % 440, texts[i % 10]);
  };
  drawFrame(0);  // fonts into the cache
  const int frames = 2000;
  const auto t0 = std::chrono::steady_clock::now();
  for (int f = 0; f < frames; ++f) drawFrame(f);
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
  std::printf("text: %.3f ms per frame of 20 strings (%d frames)\n", ms / frames, frames);
  return 0;
}
