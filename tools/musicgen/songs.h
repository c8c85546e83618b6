// The game's songs, each written as code in songs/*.cpp.
#pragma once
#include <string>
#include <vector>

#include "tools/musicgen/sequencer.h"

namespace music {

struct SongEntry {
  const char* file;  // file name in the music folder
  Song (*make)();
};
const std::vector<SongEntry>& Songs();

Song Hitotunojikan();
Song Mist();
Song Sunshine();
Song Huwahuwairo();
Song Simotuki();
Song Mahou();
Song RhythmicPark();
Song Mata02();
Song Fun();
Song Never();

}  // namespace music
