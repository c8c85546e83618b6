// Fuzz target: a song file, loop header and all, through the real decoder library and the
// track: open, the facts it reports, then a script of renders, seeks, rewinds and reopens.
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

// The input's last 8 bytes (when it has them) are a script of calls the track makes after the
// open, one a byte, as the game's music control and the editor's preview make them: renders
// (looping or not, again after an error), seeks to 0, past the end and anywhere, rewinds, a
// close and a new open. A first byte with its high bit set opens the song chained to itself,
// so every link check and the search for links run on two links.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TOggData* track = new TOggData(65536, Decoder());
  TMemoryStream source;
  if (size > 0) source.Write(data, static_cast<int64_t>(size));
  if (size > 0 && (data[0] & 0x80)) source.Write(data, static_cast<int64_t>(size));
  try {
    track->OpenCopy(source);
  } catch (const EVorbisError&) {
    if (track->State() != 0) __builtin_trap();  // a refused song leaves the track closed
    return 0;
  }
  if (track->Channels() < 1 || track->Bytes() < 0) __builtin_trap();
  // Short blocks: every path of a render (loop entries, the loop back to the start, each
  // conversion) in a fraction of a mixer block's decoding time.
  static uint8_t block[4096];
  const size_t script = size < 8 ? size : 8;
  track->Play(true);
  for (size_t i = size - script; i < size; ++i) {
    const uint8_t op = data[i];
    switch (op & 7) {
      case 0:
      case 1:
        if (track->State() < 2) track->Play((op & 1) == 0);
        track->Render(block, sizeof block);
        track->Render(block, sizeof block);  // again, after an error too
        break;
      case 2:
        track->Seek(0);
        break;
      case 3:
        track->Seek(track->Seconds() * 2 + 1);
        break;
      case 4:
        track->Seek(track->Seconds() * static_cast<float>(op >> 3) / 31.0f);
        break;
      case 5:
        track->Rewind();
        break;
      case 6:
        (void)track->Position();
        track->Play(false);
        track->Render(block, sizeof block);
        break;
      case 7:
        // Closed and opened again, as a new press of the preview does.
        track->Close();
        try {
          track->OpenCopy(source);
        } catch (const EVorbisError&) {
          return 0;  // the same bytes opened a moment ago
        }
        track->Play(true);
        break;
    }
    if (track->State() == 0) __builtin_trap();
  }
  track->Render(block, sizeof block);
  track->Rewind();
  track->Close();
  return 0;
}
