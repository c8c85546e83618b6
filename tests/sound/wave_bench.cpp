// Benchmark (not a test): the sound player's voice per wave: time to start it (PlayWave), time
// to mix one second of it, and the peak memory of a process that plays it, each wave in a
// process of its own. Usage: sound_wave_bench [dist folder with plumetwave/ok1.wav]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/null/null_audio.h"
#include "tests/sound/wave_fixtures.h"

namespace {

using Clock = std::chrono::steady_clock;

long PeakKiB() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}

void Measure(const char* name, const std::vector<uint8_t>& image) {
  std::fflush(stdout);
  const pid_t pid = fork();
  if (pid != 0) {
    int status = 0;
    waitpid(pid, &status, 0);
    return;
  }
  const long before = PeakKiB();
  plat::SoftAudioDevice out;
  auto t0 = Clock::now();
  const bool ok = out.PlayWave(image.data(), image.size(), false, false);
  const double startUs = std::chrono::duration<double, std::micro>(Clock::now() - t0).count();
  std::vector<int16_t> mix(2 * 512);
  t0 = Clock::now();
  int rendered = 0;
  for (; rendered < 44100 && out.WavePlaying(); rendered += 512) out.Render(mix.data(), 512);
  const double mixUs = std::chrono::duration<double, std::micro>(Clock::now() - t0).count();
  std::printf("%-34s %9zu B  %-7s start %9.1f us  mix %7.1f us per s  peak +%7ld KiB\n", name,
              image.size(), ok ? "played" : "REFUSED", startUs, rendered ? mixUs * 44100 / rendered : 0.0,
              PeakKiB() - before);
  std::fflush(stdout);
  _exit(0);
}

}  // namespace

int main(int argc, char** argv) {
  using wavefix::Enc;
  using wavefix::Spec;
  const std::string dist = argc > 1 ? argv[1] : "build/dist";
  std::ifstream f(dist + "/plumetwave/ok1.wav", std::ios::binary);
  const std::vector<uint8_t> ok1((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  const auto tone = [](int rate) { return wavefix::Sine(660, rate, 0.4); };
  Measure("ok1.wav (16-bit 44100 shipped)", ok1);
  Measure("16-bit 44100 stereo, 3 s", wavefix::Wave(Spec{Enc::S16, 44100, 2}, 3 * 44100, tone(44100)));
  Measure("IMA ADPCM 22050 mono, 3 s", wavefix::Wave(Spec{Enc::ImaAdpcm, 22050, 1}, 3 * 22050, tone(22050)));
  Measure("24-bit 48000 stereo, 3 s", wavefix::Wave(Spec{Enc::S24, 48000, 2}, 3 * 48000, tone(48000)));
  Measure("8-bit 100 Hz mono, 60 s", wavefix::Wave(Spec{Enc::U8, 100, 1}, 60 * 100, tone(100)));
  Measure("8-bit 8000 Hz mono, 10 min", wavefix::Wave(Spec{Enc::U8, 8000, 1}, 600 * 8000, tone(8000)));
  Measure("8-bit 100 Hz mono, 1 MiB (2.9 h)", wavefix::Wave(Spec{Enc::U8, 100, 1}, 1 << 20, tone(100)));
  Measure("16-bit 44100 stereo, 64 MiB (6 min)", wavefix::Wave(Spec{Enc::S16, 44100, 2}, 16 << 20, tone(44100)));
  return 0;
}
