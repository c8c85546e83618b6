// The effect recipes' building blocks.
#include "tools/sfxgen/sfx_kit.h"

#include <algorithm>

namespace sfx {

using namespace synth;

void Reserve(Mono& b, double seconds) {
  // One spare frame: callers write from Frames(start) for Frames(length) frames, and the two
  // roundings can add up to one more than Frames(start + length).
  size_t n = Frames(seconds) + 1;
  if (b.size() < n) b.resize(n, 0.0f);
}

void Tone(Mono& b, double start, double dur, double f0, double f1, Wave w, float amp, const Adsr& env) {
  Reserve(b, start + env.Length(dur));
  size_t s0 = Frames(start), n = Frames(env.Length(dur));
  double ph = 0;
  for (size_t k = 0; k < n && s0 + k < b.size(); ++k) {
    double t = static_cast<double>(k) / kRate;
    double u = std::min(1.0, t / dur);
    double f = f0 * std::pow(f1 / f0, u);
    double dt = f / kRate;
    ph += dt;
    b[s0 + k] += amp * env.At(t, dur) * Osc(w, ph, dt);
  }
}

void Noise(Mono& b, double start, double dur, NoiseFilter filter, double c0, double c1, double q, float amp,
           const Adsr& env, uint32_t seed) {
  Reserve(b, start + env.Length(dur));
  size_t s0 = Frames(start), n = Frames(env.Length(dur));
  Rng rng(seed);
  Svf svf;
  for (size_t k = 0; k < n && s0 + k < b.size(); ++k) {
    double t = static_cast<double>(k) / kRate;
    double u = std::min(1.0, t / dur);
    float c = static_cast<float>(c0 * std::pow(c1 / c0, u));
    float high = 0, band = 0;
    float low = svf.Step(rng.Bipolar(), c, static_cast<float>(q), &high, &band);
    float v = filter == NoiseFilter::Low ? low : filter == NoiseFilter::High ? high : band;
    b[s0 + k] += amp * env.At(t, dur) * v;
  }
}

void Note(Mono& b, double start, Inst inst, double midi, double gate, float vel, uint32_t seed) {
  Mono n;
  RenderNote(inst, MidiHz(midi), gate, vel, seed, n);
  Reserve(b, start + static_cast<double>(n.size()) / kRate);
  size_t s0 = Frames(start);
  for (size_t k = 0; k < n.size(); ++k) b[s0 + k] += n[k];
}

void Hit(Mono& b, double start, Drum drum, float vel, double pitch, uint32_t seed) {
  Mono n;
  RenderDrum(drum, vel, seed, n, pitch);
  Reserve(b, start + static_cast<double>(n.size()) / kRate);
  size_t s0 = Frames(start);
  for (size_t k = 0; k < n.size(); ++k) b[s0 + k] += n[k];
}

void Ping(Mono& b, double start, double hz, double decay, float amp) {
  double len = decay * 7;
  Reserve(b, start + len);
  size_t s0 = Frames(start), n = Frames(len);
  for (size_t k = 0; k < n; ++k) {
    double t = static_cast<double>(k) / kRate;
    double a = std::min(1.0, t / 0.0007);
    b[s0 + k] += static_cast<float>(amp * a * std::exp(-t / decay) * std::sin(kTwoPi * hz * t));
  }
}

void AddReverb(Mono& b, float room, float damp, float mix, double tail) {
  b.resize(b.size() + Frames(tail), 0.0f);
  Stereo in;
  in.l = b;
  in.r = b;
  Stereo wet;
  Reverb(in, wet, room, damp);
  for (size_t k = 0; k < b.size(); ++k) b[k] += mix * 0.5f * (wet.l[k] + wet.r[k]);
}

void Finish(Mono& b, float peak, double maxLen, double fadeOut) {
  // Drop the silent tail first so the length reflects what is heard.
  Levels before = Measure(b);
  size_t n = std::min(b.size(), Frames(maxLen));
  while (n > 0 && std::fabs(b[n - 1]) < before.peak * 1e-3) --n;
  b.resize(n);
  FadeEdges(b, 0.001, fadeOut);
  Levels lv = Measure(b);
  if (lv.peak > 0) Scale(b, static_cast<float>(peak / lv.peak));
}

}  // namespace sfx
