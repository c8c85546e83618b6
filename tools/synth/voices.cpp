// The instruments and drum voices of the music and effect generators.
#include "tools/synth/voices.h"

#include <algorithm>

namespace synth {

namespace {

// Trims trailing near-silence so long releases cost nothing.
void Trim(Mono& m) {
  size_t n = m.size();
  while (n > 0 && std::fabs(m[n - 1]) < 1e-5f) --n;
  m.resize(n);
}

struct Partial {
  double ratio, amp, decay;
};

void Additive(const Partial* parts, int count, double hz, double gate, double release, float vel,
              double attack, Mono& out) {
  double longest = 0;
  for (int i = 0; i < count; ++i) longest = std::max(longest, parts[i].decay);
  double len = std::min(gate + release * 5, longest * 7);
  len = std::max(len, 0.05);
  size_t n = Frames(len);
  out.assign(n, 0.0f);
  for (int i = 0; i < count; ++i) {
    double f = hz * parts[i].ratio;
    if (f > kRate * 0.45) continue;
    double w = f / kRate;
    const double perSample = std::exp(-1.0 / (parts[i].decay * kRate));
    const double perReleased = perSample * std::exp(-1.0 / (release * kRate));
    const size_t gateEnd = Frames(gate);
    double env = 1.0;
    for (size_t k = 0; k < n; ++k, env *= k <= gateEnd ? perSample : perReleased) {
      out[k] += static_cast<float>(parts[i].amp * env * Sin1(w * k));
    }
  }
  size_t a = std::max<size_t>(1, Frames(attack));
  for (size_t k = 0; k < std::min(a, n); ++k) out[k] *= static_cast<float>(k) / a;
  Scale(out, vel);
}

}  // namespace

void RenderNote(Inst inst, double hz, double gate, float vel, uint32_t seed, Mono& out) {
  Rng rng(seed * 2654435761u + 17);
  switch (inst) {
    case Inst::EPiano: {
      double len = gate + 1.2;
      size_t n = Frames(len);
      out.assign(n, 0.0f);
      double pm = 0, pc = 0, pt = 0;
      double decay = 1.6 * std::pow(261.6 / hz, 0.35);
      for (size_t k = 0; k < n; ++k) {
        double t = static_cast<double>(k) / kRate;
        double idx = (0.6 + 1.8 * vel) * std::exp(-t / 0.35) + 0.25;
        double env = std::exp(-t / decay);
        if (t > gate) env *= std::exp(-(t - gate) / 0.18);
        double a = std::min(1.0, t / 0.002);
        pm += hz / kRate;
        pc += hz / kRate;
        pt += hz * 13.0 / kRate;
        double mod = Sin1(pm);
        double v = Sin1(pc + idx * mod / kTwoPi);
        double tine = (hz * 13 < kRate * 0.45) ? 0.12 * Sin1(pt) * std::exp(-t / 0.03) : 0;
        out[k] = static_cast<float>(a * env * (v + tine) * 0.55);
      }
      Scale(out, 0.4f + 0.6f * vel);
      break;
    }
    case Inst::Bell: {
      double len = std::min(gate + 1.5, 5.0);
      size_t n = Frames(len);
      out.assign(n, 0.0f);
      for (size_t k = 0; k < n; ++k) {
        double t = static_cast<double>(k) / kRate;
        // A harmonic 1:4 ratio keeps melodies sweet; the index dies away to a pure tone.
        double idx = 0.25 + 2.0 * std::exp(-t / 0.22);
        double env = std::exp(-t / 0.9);
        if (t > gate) env *= std::exp(-(t - gate) / 0.4);
        double a = std::min(1.0, t / 0.001);
        double v = Sin1(hz * t + idx * Sin1(hz * 4.0 * t) / kTwoPi);
        out[k] = static_cast<float>(a * env * v * 0.45);
      }
      Scale(out, vel);
      break;
    }
    case Inst::MusicBox: {
      static const Partial p[] = {{1, 0.6, 1.1}, {2.0, 0.18, 0.45}, {3.01, 0.1, 0.25}, {5.43, 0.07, 0.09}, {8.9, 0.03, 0.04}};
      Additive(p, 5, hz, gate, 0.35, vel, 0.0008, out);
      break;
    }
    case Inst::Marimba: {
      static const Partial p[] = {{1, 0.7, 0.45}, {3.93, 0.22, 0.07}, {9.8, 0.08, 0.02}};
      Additive(p, 3, hz, gate, 0.12, vel, 0.0015, out);
      for (size_t k = 0; k < std::min<size_t>(out.size(), 200); ++k)
        out[k] += 0.15f * vel * rng.Bipolar() * (1.0f - k / 200.0f);
      break;
    }
    case Inst::Pluck: {
      size_t period = std::max<size_t>(2, static_cast<size_t>(std::lround(kRate / hz)));
      double len = gate + 0.6;
      size_t n = Frames(std::max(len, 0.3));
      out.assign(n, 0.0f);
      std::vector<float> line(period);
      OnePoleLp shape;
      for (auto& v : line) v = shape.Step(rng.Bipolar(), static_cast<float>(hz * 6));
      // Loss per period so that a note decays over about a second whatever its pitch.
      float loss = static_cast<float>(std::pow(0.001, 1.0 / (1.6 * hz)));
      size_t p = 0;
      float prev = 0;
      for (size_t k = 0; k < n; ++k) {
        double t = static_cast<double>(k) / kRate;
        float cur = line[p];
        float next = 0.5f * (cur + prev) * loss;
        prev = cur;
        line[p] = next;
        if (++p >= period) p = 0;
        double env = t > gate ? std::exp(-(t - gate) / 0.08) : 1.0;
        out[k] = static_cast<float>(cur * env * 0.8);
      }
      Scale(out, vel);
      break;
    }
    case Inst::Lead: {
      Adsr e{0.012f, 0.25f, 0.65f, 0.12f};
      size_t n = Frames(e.Length(gate));
      out.assign(n, 0.0f);
      Svf f;
      double ph = 0;
      for (size_t k = 0; k < n; ++k) {
        double t = static_cast<double>(k) / kRate;
        double vib = 1.0 + 0.004 * std::min(1.0, std::max(0.0, (t - 0.2) / 0.3)) * Sin1(5.2 * t);
        double dt = hz * vib / kRate;
        ph += dt;
        float raw = 0.6f * Osc(Wave::Square, ph, dt) + 0.4f * Osc(Wave::Triangle, ph, dt);
        float cutoff = static_cast<float>(hz * 3 + 2500 * std::exp(-t / 0.15));
        out[k] = f.Step(raw, cutoff, 0.8f) * e.At(t, gate) * 0.45f;
      }
      Scale(out, vel);
      break;
    }
    case Inst::Flute: {
      Adsr e{0.06f, 0.2f, 0.85f, 0.15f};
      size_t n = Frames(e.Length(gate));
      out.assign(n, 0.0f);
      Biquad breath = Biquad::BandPass(std::min(hz * 2, 9000.0), 2.0);
      double ph = 0;
      for (size_t k = 0; k < n; ++k) {
        double t = static_cast<double>(k) / kRate;
        double vib = 1.0 + 0.005 * std::min(1.0, std::max(0.0, (t - 0.25) / 0.4)) * Sin1(4.8 * t);
        ph += hz * vib / kRate;
        double s = Sin1(ph) + 0.22 * Sin1(2 * ph) + 0.07 * Sin1(3 * ph);
        double nz = breath.Step(rng.Bipolar()) * (0.25 + 0.6 * std::exp(-t / 0.08));
        out[k] = static_cast<float>((s * 0.5 + nz * 0.6) * e.At(t, gate));
      }
      Scale(out, vel);
      break;
    }
    case Inst::Pad:
    case Inst::Strings: {
      bool str = inst == Inst::Strings;
      Adsr e = str ? Adsr{0.18f, 0.4f, 0.85f, 0.35f} : Adsr{0.35f, 0.6f, 0.8f, 0.6f};
      size_t n = Frames(e.Length(gate));
      out.assign(n, 0.0f);
      const int voices = str ? 5 : 3;
      double ph[5], det[5];
      for (int v = 0; v < voices; ++v) {
        ph[v] = rng.Unit();
        det[v] = std::pow(2.0, ((v - (voices - 1) / 2.0) * (str ? 5.0 : 8.0)) / 1200.0);
      }
      Svf f1, f2;
      for (size_t k = 0; k < n; ++k) {
        double t = static_cast<double>(k) / kRate;
        double vib = str ? 1.0 + 0.003 * Sin1(5.5 * t) : 1.0;
        float s = 0;
        for (int v = 0; v < voices; ++v) {
          double dt = hz * det[v] * vib / kRate;
          ph[v] += dt;
          s += Osc(Wave::Saw, ph[v], dt);
        }
        s /= voices;
        float cutoff = static_cast<float>(std::min(hz * (str ? 4.0 : 3.0) + 600, 5000.0));
        float y = f2.Step(f1.Step(s, cutoff, 0.7f), cutoff, 0.7f);
        out[k] = y * e.At(t, gate) * 0.6f;
      }
      Scale(out, vel);
      break;
    }
    case Inst::Bass: {
      Adsr e{0.004f, 0.5f, 0.45f, 0.07f};
      size_t n = Frames(e.Length(gate));
      out.assign(n, 0.0f);
      Svf f;
      double ph = 0;
      for (size_t k = 0; k < n; ++k) {
        double t = static_cast<double>(k) / kRate;
        double dt = hz / kRate;
        ph += dt;
        float raw = 0.55f * Osc(Wave::Triangle, ph, dt) + 0.45f * Osc(Wave::Saw, ph, dt);
        float cutoff = static_cast<float>(hz * 2.5 + 900 * std::exp(-t / 0.08));
        float y = f.Step(raw, cutoff, 0.9f) + 0.5f * static_cast<float>(Sin1(ph));
        out[k] = y * e.At(t, gate) * 0.6f;
      }
      Scale(out, vel);
      break;
    }
    case Inst::SynthBass: {
      Adsr e{0.003f, 0.3f, 0.6f, 0.06f};
      size_t n = Frames(e.Length(gate));
      out.assign(n, 0.0f);
      Svf f;
      double ph = 0, ph2 = 0.3;
      for (size_t k = 0; k < n; ++k) {
        double t = static_cast<double>(k) / kRate;
        double dt = hz / kRate, dt2 = hz * 1.004 / kRate;
        ph += dt;
        ph2 += dt2;
        float raw = 0.5f * (Osc(Wave::Saw, ph, dt) + Osc(Wave::Square, ph2, dt2));
        float cutoff = static_cast<float>(hz * 2 + 1600 * std::exp(-t / 0.12));
        out[k] = f.Step(raw, cutoff, 1.6f) * e.At(t, gate) * 0.55f;
      }
      Scale(out, vel);
      break;
    }
    case Inst::Organ: {
      Adsr e{0.02f, 0.3f, 0.9f, 0.1f};
      size_t n = Frames(e.Length(gate));
      out.assign(n, 0.0f);
      double ph = 0;
      for (size_t k = 0; k < n; ++k) {
        double t = static_cast<double>(k) / kRate;
        ph += hz * (1.0 + 0.002 * Sin1(6.0 * t)) / kRate;
        double s = Sin1(ph) + 0.5 * Sin1(2 * ph) + 0.25 * Sin1(3 * ph) +
                   0.12 * Sin1(4 * ph);
        out[k] = static_cast<float>(s * 0.3 * e.At(t, gate));
      }
      Scale(out, vel);
      break;
    }
    case Inst::Brass: {
      Adsr e{0.05f, 0.3f, 0.8f, 0.12f};
      size_t n = Frames(e.Length(gate));
      out.assign(n, 0.0f);
      Svf f;
      double ph[3] = {0, 0.33, 0.66};
      const double det[3] = {1.0, 1.003, 0.997};
      for (size_t k = 0; k < n; ++k) {
        double t = static_cast<double>(k) / kRate;
        float s = 0;
        for (int v = 0; v < 3; ++v) {
          double dt = hz * det[v] / kRate;
          ph[v] += dt;
          s += Osc(Wave::Saw, ph[v], dt) / 3;
        }
        double swell = std::min(1.0, t / 0.08);
        float cutoff = static_cast<float>(hz * (1.5 + 3.5 * swell) + 400);
        out[k] = f.Step(s, std::min(cutoff, 7000.0f), 0.9f) * e.At(t, gate) * 0.5f;
      }
      Scale(out, vel);
      break;
    }
  }
  // Whatever an instrument's length rule cut off ends with a 5 ms fade, never a step.
  size_t fade = std::min<size_t>(out.size(), Frames(0.005));
  for (size_t i = 0; i < fade; ++i) out[out.size() - 1 - i] *= static_cast<float>(i) / fade;
  Trim(out);
}

void RenderDrum(Drum drum, float vel, uint32_t seed, Mono& out, double pitch) {
  Rng rng(seed * 747796405u + 2891336453u);
  auto alloc = [&](double s) { out.assign(Frames(s), 0.0f); };
  switch (drum) {
    case Drum::Kick: {
      alloc(0.45);
      double ph = 0;
      for (size_t k = 0; k < out.size(); ++k) {
        double t = static_cast<double>(k) / kRate;
        double f = (48 + 110 * std::exp(-t / 0.035)) * pitch;
        ph += f / kRate;
        double body = Sin1(ph) * std::exp(-t / 0.16);
        double click = rng.Bipolar() * std::exp(-t / 0.003) * 0.25;
        out[k] = static_cast<float>((body + click) * 0.95);
      }
      break;
    }
    case Drum::Snare: {
      alloc(0.3);
      Biquad hp = Biquad::HighPass(1200, 0.7);
      double ph = 0;
      for (size_t k = 0; k < out.size(); ++k) {
        double t = static_cast<double>(k) / kRate;
        ph += (185 + 60 * std::exp(-t / 0.02)) * pitch / kRate;
        double tone = Sin1(ph) * std::exp(-t / 0.05) * 0.5;
        double nz = hp.Step(rng.Bipolar()) * std::exp(-t / 0.075) * 0.7;
        out[k] = static_cast<float>(tone + nz);
      }
      break;
    }
    case Drum::HatClosed:
    case Drum::HatOpen:
    case Drum::Shaker: {
      double tau = drum == Drum::HatClosed ? 0.025 : drum == Drum::HatOpen ? 0.18 : 0.04;
      alloc(tau * 6);
      Biquad hp = Biquad::HighPass(drum == Drum::Shaker ? 5000 : 7000, 0.8);
      for (size_t k = 0; k < out.size(); ++k) {
        double t = static_cast<double>(k) / kRate;
        double env = drum == Drum::Shaker ? std::min(1.0, t / 0.012) * std::exp(-t / tau) : std::exp(-t / tau);
        out[k] = static_cast<float>(hp.Step(rng.Bipolar()) * env * 0.5);
      }
      break;
    }
    case Drum::Clap: {
      alloc(0.3);
      Biquad bp = Biquad::BandPass(1400, 1.2);
      for (size_t k = 0; k < out.size(); ++k) {
        double t = static_cast<double>(k) / kRate;
        double env = 0;
        for (int b = 0; b < 3; ++b) {
          double tb = t - b * 0.011;
          if (tb >= 0) env = std::max(env, std::exp(-tb / 0.006));
        }
        double tl = t - 0.022;
        if (tl >= 0) env = std::max(env, std::exp(-tl / 0.07));
        out[k] = static_cast<float>(bp.Step(rng.Bipolar()) * env * 1.6);
      }
      break;
    }
    case Drum::Rim: {
      alloc(0.08);
      for (size_t k = 0; k < out.size(); ++k) {
        double t = static_cast<double>(k) / kRate;
        double v = Sin1(1700 * pitch * t) * 0.6 + Sin1(820 * pitch * t) * 0.4;
        out[k] = static_cast<float>(v * std::exp(-t / 0.012) * 0.6);
      }
      break;
    }
    case Drum::Tom: {
      alloc(0.5);
      double ph = 0;
      for (size_t k = 0; k < out.size(); ++k) {
        double t = static_cast<double>(k) / kRate;
        ph += (110 + 50 * std::exp(-t / 0.05)) * pitch / kRate;
        out[k] = static_cast<float>(Sin1(ph) * std::exp(-t / 0.18) * 0.7);
      }
      break;
    }
    case Drum::Crash: {
      alloc(2.2);
      Biquad hp = Biquad::HighPass(4000, 0.7);
      Biquad lp = Biquad::LowPass(11000, 0.7);
      for (size_t k = 0; k < out.size(); ++k) {
        double t = static_cast<double>(k) / kRate;
        double env = std::min(1.0, t / 0.002) * (0.6 * std::exp(-t / 0.1) + 0.4 * std::exp(-t / 0.55));
        out[k] = static_cast<float>(lp.Step(hp.Step(rng.Bipolar())) * env * 0.5);
      }
      break;
    }
    case Drum::Triangle: {
      alloc(1.0);
      for (size_t k = 0; k < out.size(); ++k) {
        double t = static_cast<double>(k) / kRate;
        double v = Sin1(4200 * pitch * t) + 0.5 * Sin1(6430 * pitch * t);
        out[k] = static_cast<float>(v * std::exp(-t / 0.22) * 0.12);
      }
      break;
    }
    case Drum::Tambourine: {
      alloc(0.25);
      Biquad bp = Biquad::BandPass(8000, 1.5);
      for (size_t k = 0; k < out.size(); ++k) {
        double t = static_cast<double>(k) / kRate;
        double jingle = 0.5 + 0.5 * Sin1(45 * t);
        out[k] = static_cast<float>(bp.Step(rng.Bipolar()) * std::exp(-t / 0.05) * jingle * 1.2);
      }
      break;
    }
  }
  Scale(out, vel);
  // Short fade at the end of the fixed-length buffers.
  size_t f = std::min<size_t>(out.size(), 64);
  for (size_t i = 0; i < f; ++i) out[out.size() - 1 - i] *= static_cast<float>(i) / f;
}

}  // namespace synth
