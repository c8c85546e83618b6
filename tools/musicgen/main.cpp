// musicgen: renders one of the game's songs and writes it as Ogg Vorbis behind its loop header.
// Usage: musicgen FILE.ogg OUTPATH [--report FILE] [--wav FILE]
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/musicgen/ogg_writer.h"
#include "tools/musicgen/songs.h"

namespace music {

const std::vector<SongEntry>& Songs() {
  static const std::vector<SongEntry> kSongs = {
      {"hitotunojikan.ogg", Hitotunojikan}, {"mist.ogg", Mist},         {"sunshine.ogg", Sunshine},
      {"huwahuwairo.ogg", Huwahuwairo},     {"simotuki.ogg", Simotuki}, {"mahou.ogg", Mahou},
      {"rhythmicpark.ogg", RhythmicPark},   {"mata02.ogg", Mata02},     {"fun.ogg", Fun},
      {"never.ogg", Never},
  };
  return kSongs;
}

}  // namespace music

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: musicgen FILE.ogg OUTPATH [--report FILE] [--wav FILE]\n");
    return 2;
  }
  std::string file = argv[1], outPath = argv[2], reportPath, wavPath;
  for (int i = 3; i + 1 < argc; ++i) {
    if (std::string(argv[i]) == "--report") reportPath = argv[i + 1];
    if (std::string(argv[i]) == "--wav") wavPath = argv[i + 1];
  }
  const music::SongEntry* entry = nullptr;
  for (const auto& e : music::Songs())
    if (file == e.file) entry = &e;
  if (!entry) {
    std::fprintf(stderr, "musicgen: no song %s\n", file.c_str());
    return 2;
  }
  const auto started = std::chrono::steady_clock::now();
  music::Song song = entry->make();
  music::Rendered r = music::Render(song);

  std::vector<music::LoopEntry> loops;
  if (r.loopEnd > 0 && song.loopRepeat != 0)
    loops.push_back({static_cast<float>(static_cast<double>(r.loopStart) / synth::kRate),
                     static_cast<float>(static_cast<double>(r.loopEnd) / synth::kRate), song.loopRepeat});
  std::vector<uint8_t> bytes = music::LoopHeader(loops);
  std::vector<uint8_t> ogg = music::EncodeVorbis(r.pcm, 0.6f, song.name);
  if (ogg.empty()) {
    std::fprintf(stderr, "musicgen: encoding failed\n");
    return 1;
  }
  bytes.insert(bytes.end(), ogg.begin(), ogg.end());
  FILE* f = std::fopen(outPath.c_str(), "wb");
  if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0) {
    std::fprintf(stderr, "musicgen: cannot write %s\n", outPath.c_str());
    return 1;
  }
  if (!wavPath.empty()) synth::WriteWav(wavPath, r.pcm);
  const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  if (!reportPath.empty()) {
    FILE* rep = std::fopen(reportPath.c_str(), "w");
    if (rep) {
      synth::Levels lv = synth::Measure(r.pcm);
      double seconds = static_cast<double>(r.pcm.Size()) / synth::kRate;
      double j = static_cast<double>(r.loopStart) / synth::kRate, t = static_cast<double>(r.loopEnd) / synth::kRate;
      std::fprintf(rep, "%s  %.2f s  peak %.2f dB  rms %.2f dB  %.0f kB", file.c_str(), seconds,
                   20 * std::log10(lv.peak + 1e-12), 20 * std::log10(lv.rms + 1e-12), bytes.size() / 1024.0);
      std::fprintf(rep, "  made in %.1f s", took);
      if (loops.empty())
        std::fprintf(rep, "  no loop\n");
      else if (song.loopRepeat < 0)
        std::fprintf(rep, "  loop %.2f..%.2f s forever\n", j, t);
      else
        std::fprintf(rep, "  loop %.2f..%.2f s x%d, plays %.1f s once\n", j, t, song.loopRepeat,
                     seconds + song.loopRepeat * (t - j));
      std::fclose(rep);
    }
  }
  return 0;
}
