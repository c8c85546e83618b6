// sfxgen: writes the game's 20 sound effects as 16-bit mono WAV files.
// Usage: sfxgen OUTDIR [--report FILE]
#include <cstdio>
#include <string>

#include "tools/sfxgen/recipes.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: sfxgen OUTDIR [--report FILE]\n");
    return 2;
  }
  std::string outDir = argv[1];
  std::string reportPath;
  for (int i = 2; i + 1 < argc; ++i)
    if (std::string(argv[i]) == "--report") reportPath = argv[i + 1];
  FILE* report = reportPath.empty() ? nullptr : std::fopen(reportPath.c_str(), "w");
  if (report) std::fprintf(report, "%-12s %8s %8s %8s\n", "file", "seconds", "peak_dB", "rms_dB");
  int failures = 0;
  for (const auto& r : sfx::Recipes()) {
    synth::Mono m = r.make();
    std::string path = outDir + "/" + r.file;
    double seconds = static_cast<double>(m.size()) / synth::kRate;
    if (!synth::WriteWav(path, m)) {
      std::fprintf(stderr, "sfxgen: cannot write %s\n", path.c_str());
      ++failures;
      continue;
    }
    if (seconds < r.minSeconds || seconds > r.maxSeconds) {
      std::fprintf(stderr, "sfxgen: %s is %.3f s, outside %.2f..%.2f\n", r.file, seconds, r.minSeconds, r.maxSeconds);
      ++failures;
    }
    if (report) {
      synth::Levels lv = synth::Measure(m);
      std::fprintf(report, "%-12s %8.3f %8.2f %8.2f\n", r.file, seconds, 20 * std::log10(lv.peak + 1e-12),
                   20 * std::log10(lv.rms + 1e-12));
    }
  }
  if (report) std::fclose(report);
  return failures ? 1 : 0;
}
