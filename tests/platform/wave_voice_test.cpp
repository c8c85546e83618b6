// The wave decoder against SDL's reader: a chunk that declares more than the file holds costs
// no more memory than the file, and plays what is there.
#include "platform/wave/wave_voice.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "tests/sound/wave_fixtures.h"

namespace {

// SDL's allocator, wrapped to note the largest block SDL asks for.
size_t gLargest = 0;
SDL_malloc_func gMalloc;
SDL_calloc_func gCalloc;
SDL_realloc_func gRealloc;
SDL_free_func gFree;
void* SDLCALL NotedMalloc(size_t n) {
  gLargest = std::max(gLargest, n);
  return gMalloc(n);
}
void* SDLCALL NotedCalloc(size_t k, size_t n) {
  gLargest = std::max(gLargest, k * n);
  return gCalloc(k, n);
}
void* SDLCALL NotedRealloc(void* p, size_t n) {
  gLargest = std::max(gLargest, n);
  return gRealloc(p, n);
}

// The image with the length of its chunk `tag` set to `length`.
wavefix::Bytes Declaring(wavefix::Bytes v, const char* tag, uint32_t length) {
  auto at = std::search(v.begin() + 12, v.end(), tag, tag + 4);
  std::memcpy(&*(at + 4), &length, 4);
  return v;
}

}  // namespace

TEST(WaveVoice, AChunkDeclaringMoreThanTheFileHoldsCostsOnlyWhatIsThere) {
  using wavefix::Enc;
  const wavefix::Bytes pcm = wavefix::Wave({Enc::S16, 44100, 2}, 10, wavefix::Levels(0.25, 0.25));
  const wavefix::Bytes adpcm = wavefix::Wave({Enc::MsAdpcm, 11025, 1, false, 64}, 116, wavefix::Levels(0.25, 0.25));
  struct Case {
    const char* name;
    wavefix::Bytes image;
    size_t frames;  // 0: refused
  } cases[] = {
      {"16-bit PCM, data of 4 GiB", Declaring(pcm, "data", 0xFFFF0080u), 10},
      {"MS ADPCM, data of 4 GiB (found by the fuzzer)", Declaring(adpcm, "data", 0xF053F40Eu), 116 * 4},
      {"fmt of 4 GiB", Declaring(pcm, "fmt ", 0xFFFFFF00u), 0},
      // SDL reads a file that starts at "WAVE", without the RIFF header (found by the fuzzer).
      {"no RIFF header, data of 4 GiB", Declaring(wavefix::Bytes(pcm.begin() + 8, pcm.end()), "data", 0xFFFFFF00u), 10},
  };
  SDL_GetMemoryFunctions(&gMalloc, &gCalloc, &gRealloc, &gFree);
  SDL_SetMemoryFunctions(NotedMalloc, NotedCalloc, NotedRealloc, gFree);
  for (const auto& c : cases) {
    gLargest = 0;
    std::vector<int16_t> out;
    const bool played = plat::DecodeWaveImage(c.image.data(), c.image.size(), out);
    EXPECT_LT(gLargest, size_t(1) << 20) << c.name;
    EXPECT_EQ(played, c.frames > 0) << c.name;
    EXPECT_EQ(out.size(), c.frames * 2) << c.name;
  }
  SDL_SetMemoryFunctions(gMalloc, gCalloc, gRealloc, gFree);
}
