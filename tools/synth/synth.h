// Small synthesiser shared by the effect and music generators: oscillators, noise, envelopes,
// filters, echo, reverb, and 16-bit WAV output.
#pragma once
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace synth {

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;

using Mono = std::vector<float>;
struct Stereo {
  Mono l, r;
  size_t Size() const { return l.size(); }
  void Resize(size_t n) { l.resize(n, 0.0f); r.resize(n, 0.0f); }
};

inline size_t Frames(double seconds) { return static_cast<size_t>(std::lround(seconds * kRate)); }
inline double MidiHz(double midi) { return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0); }

// Deterministic noise: every generator seeds its own stream so output never depends on order.
class Rng {
 public:
  explicit Rng(uint32_t seed = 0x1234567u) : s_(seed ? seed : 1u) {}
  uint32_t NextU() {
    s_ ^= s_ << 13;
    s_ ^= s_ >> 17;
    s_ ^= s_ << 5;
    return s_;
  }
  float Bipolar() { return static_cast<float>(NextU() >> 8) / 8388608.0f - 1.0f; }  // [-1, 1)
  float Unit() { return static_cast<float>(NextU() >> 8) / 16777216.0f; }            // [0, 1)

 private:
  uint32_t s_;
};

// Sine of a phase given in cycles, from a table with linear interpolation (error below 1e-6):
// the generators call it tens of millions of times per song.
float Sin1(double cycles);

enum class Wave { Sine, Triangle, Square, Saw, Pulse25 };

// Band-limited-enough oscillator: phase in cycles; dt = frequency / rate for the polyBLEP edges.
float Osc(Wave w, double phase, double dt);

// Linear-attack, exponential-ish decay envelope; `gate` is the held length in seconds.
struct Adsr {
  float a = 0.005f, d = 0.1f, s = 0.7f, r = 0.1f;
  float At(double t, double gate) const;
  double Length(double gate) const { return gate + r * 5.0; }
};

// Chamberlin state-variable filter, stable for cutoffs below about a sixth of the rate.
struct Svf {
  float low = 0, band = 0;
  float Step(float in, float cutoffHz, float q, float* highOut = nullptr, float* bandOut = nullptr);
};

struct OnePoleLp {
  float y = 0;
  float Step(float in, float cutoffHz);
};
struct OnePoleHp {
  float y = 0, x1 = 0;
  float Step(float in, float cutoffHz);
};

// RBJ biquad (low/high/band pass, peaking).
struct Biquad {
  double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0, z1 = 0, z2 = 0;
  static Biquad LowPass(double hz, double q);
  static Biquad HighPass(double hz, double q);
  static Biquad BandPass(double hz, double q);
  float Step(float x) {
    double y = b0 * x + z1;
    z1 = b1 * x - a1 * y + z2;
    z2 = b2 * x - a2 * y;
    return static_cast<float>(y);
  }
};

// Stereo reverb (parallel combs into series allpasses, two decorrelated channels).
// Linear and time-invariant, so a looped section can be folded after it.
void Reverb(const Stereo& in, Stereo& wetOut, float roomSize, float damping, float width = 1.0f);

// Ping-pong echo added onto `buf`.
void Echo(Stereo& buf, double delaySeconds, float feedback, float mix, float lowpassHz);

// Peak of absolute sample values and RMS over all channels.
struct Levels {
  double peak = 0, rms = 0;
};
Levels Measure(const Mono& m);
Levels Measure(const Stereo& s);
void Scale(Mono& m, float g);
void Scale(Stereo& s, float g);

// Short fades in and out, to keep edges click-free.
void FadeEdges(Mono& m, double inSeconds, double outSeconds);

// 16-bit PCM little-endian WAV, 44100 Hz; mono or stereo. False on a write failure.
bool WriteWav(const std::string& path, const Mono& mono);
bool WriteWav(const std::string& path, const Stereo& stereo);
std::vector<uint8_t> WavBytes(const Stereo* stereo, const Mono* mono);

inline int16_t ToPcm(float v) {
  double x = std::round(static_cast<double>(v) * 32767.0);
  if (x > 32767) x = 32767;
  if (x < -32768) x = -32768;
  return static_cast<int16_t>(x);
}

}  // namespace synth
