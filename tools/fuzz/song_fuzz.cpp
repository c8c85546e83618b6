// Fuzz target: a song file, loop header and all, through the real decoder library and the
// track: open, the facts it reports, looping renders, a seek and the time tell.
// The decoder library is the one the build ships: $PLUMET_WUVORBIS when set, else the path
// compiled in (the build folder's dist/plumetogg/wuvorbis.dll).
// Seeds: the songs in dist/plumetogg cut to their first 16 KB (loop header, Vorbis headers and
// the first pages): as far as the code goes they are whole songs, and they fuzz far faster.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <vector>

#include "sound/memory_stream.h"
#include "sound/ogg_data.h"
#include "sound/vorbis_dll.h"

#ifndef PLUMET_WUVORBIS_PATH
#define PLUMET_WUVORBIS_PATH "dist/plumetogg/wuvorbis.dll"
#endif

namespace {

TVorbisFileDLL* Decoder() {
  static TVorbisFileDLL* dll = [] {
    const char* env = std::getenv("PLUMET_WUVORBIS");
    const char* path = env && *env ? env : PLUMET_WUVORBIS_PATH;
    auto* d = new TVorbisFileDLL(true);
    bool ok = false;
    try {
      ok = d->Load(path);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "song_fuzz: %s\n", e.what());
    }
    if (!ok) {
      std::fprintf(stderr, "song_fuzz: cannot bind the decoder library %s (set PLUMET_WUVORBIS)\n", path);
      std::exit(2);
    }
    return d;
  }();
  return dll;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TOggData* track = new TOggData(65536, Decoder());
  TMemoryStream source;
  if (size > 0) source.Write(data, static_cast<int64_t>(size));
  try {
    track->OpenCopy(source);
  } catch (const EVorbisError&) {
    if (track->State() != 0) __builtin_trap();  // a refused song leaves the track closed
    return 0;
  }
  if (track->Channels() < 1 || track->Channels() > 2 || track->Bytes() < 4) __builtin_trap();
  // Short blocks: every path of a render (loop entries, the loop back to the start, each
  // conversion) in a fraction of a mixer block's decoding time.
  static uint8_t block[4096];
  track->Play(true);
  for (int i = 0; i < 2; ++i) track->Render(block, sizeof block);
  // A seek somewhere in the song, chosen by the input's last byte.
  track->Seek(track->Seconds() * static_cast<float>(data[size - 1]) / 255.0f);
  (void)track->Position();
  track->Render(block, sizeof block);
  track->Rewind();
  track->Close();
  return 0;
}
