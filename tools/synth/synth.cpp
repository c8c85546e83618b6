// Oscillators, envelopes, filters, echo, reverb and WAV output of the shared synthesiser.
#include "tools/synth/synth.h"

#include <algorithm>
#include <cstdio>

namespace synth {

namespace {
// polyBLEP residual that softens the jump of a square or saw at phase 0.
double Blep(double t, double dt) {
  if (dt <= 0) return 0;
  if (t < dt) {
    t /= dt;
    return t + t - t * t - 1.0;
  }
  if (t > 1.0 - dt) {
    t = (t - 1.0) / dt;
    return t * t + t + t + 1.0;
  }
  return 0;
}
double Frac(double x) { return x - std::floor(x); }
}  // namespace

namespace {
constexpr int kSinTable = 8192;
struct SinTable {
  float v[kSinTable + 1];
  SinTable() {
    for (int i = 0; i <= kSinTable; ++i) v[i] = static_cast<float>(std::sin(kTwoPi * i / kSinTable));
  }
};
const SinTable& Table() {
  static const SinTable t;
  return t;
}
}  // namespace

float Sin1(double cycles) {
  const SinTable& t = Table();
  double x = (cycles - std::floor(cycles)) * kSinTable;
  int i = static_cast<int>(x);
  if (i >= kSinTable) i = kSinTable - 1;
  float f = static_cast<float>(x - i);
  return t.v[i] + (t.v[i + 1] - t.v[i]) * f;
}

float Osc(Wave w, double phase, double dt) {
  double p = Frac(phase);
  switch (w) {
    case Wave::Sine: return Sin1(p);
    case Wave::Triangle: return static_cast<float>(p < 0.5 ? 4.0 * p - 1.0 : 3.0 - 4.0 * p);
    case Wave::Saw: return static_cast<float>(2.0 * p - 1.0 - Blep(p, dt));
    case Wave::Square: {
      double v = p < 0.5 ? 1.0 : -1.0;
      v += Blep(p, dt) - Blep(Frac(p + 0.5), dt);
      return static_cast<float>(v);
    }
    case Wave::Pulse25: {
      double v = p < 0.25 ? 1.0 : -1.0;
      v += Blep(p, dt) - Blep(Frac(p + 0.75), dt);
      return static_cast<float>(v + 0.5);  // keep the mean near zero
    }
  }
  return 0;
}

float Adsr::At(double t, double gate) const {
  if (t < 0) return 0;
  auto held = [&](double u) -> double {
    if (u < a) return a > 0 ? u / a : 1.0;
    double x = u - a;
    return s + (1.0 - s) * std::exp(-x / std::max(1e-4f, d));
  };
  if (t < gate) return static_cast<float>(held(t));
  double atRelease = held(gate);
  return static_cast<float>(atRelease * std::exp(-(t - gate) / std::max(1e-4f, r)));
}

float Svf::Step(float in, float cutoffHz, float q, float* highOut, float* bandOut) {
  float f = 2.0f * static_cast<float>(std::sin(kPi * std::min(cutoffHz, kRate / 6.5f) / kRate));
  float damp = 1.0f / std::max(0.5f, q);
  low += f * band;
  float high = in - low - damp * band;
  band += f * high;
  if (highOut) *highOut = high;
  if (bandOut) *bandOut = band;
  return low;
}

float OnePoleLp::Step(float in, float cutoffHz) {
  float a = 1.0f - static_cast<float>(std::exp(-kTwoPi * cutoffHz / kRate));
  y += a * (in - y);
  return y;
}

float OnePoleHp::Step(float in, float cutoffHz) {
  float a = static_cast<float>(std::exp(-kTwoPi * cutoffHz / kRate));
  y = a * (y + in - x1);
  x1 = in;
  return y;
}

Biquad Biquad::LowPass(double hz, double q) {
  Biquad b;
  double w = kTwoPi * hz / kRate, c = std::cos(w), al = std::sin(w) / (2 * q), a0 = 1 + al;
  b.b0 = (1 - c) / 2 / a0; b.b1 = (1 - c) / a0; b.b2 = b.b0;
  b.a1 = -2 * c / a0; b.a2 = (1 - al) / a0;
  return b;
}
Biquad Biquad::HighPass(double hz, double q) {
  Biquad b;
  double w = kTwoPi * hz / kRate, c = std::cos(w), al = std::sin(w) / (2 * q), a0 = 1 + al;
  b.b0 = (1 + c) / 2 / a0; b.b1 = -(1 + c) / a0; b.b2 = b.b0;
  b.a1 = -2 * c / a0; b.a2 = (1 - al) / a0;
  return b;
}
Biquad Biquad::BandPass(double hz, double q) {
  Biquad b;
  double w = kTwoPi * hz / kRate, c = std::cos(w), al = std::sin(w) / (2 * q), a0 = 1 + al;
  b.b0 = al / a0; b.b1 = 0; b.b2 = -al / a0;
  b.a1 = -2 * c / a0; b.a2 = (1 - al) / a0;
  return b;
}

namespace {
struct Comb {
  std::vector<float> buf;
  size_t pos = 0;
  float store = 0;
  float Step(float in, float feedback, float damp) {
    float out = buf[pos];
    store = out * (1 - damp) + store * damp;
    buf[pos] = in + store * feedback;
    if (++pos >= buf.size()) pos = 0;
    return out;
  }
};
struct Allpass {
  std::vector<float> buf;
  size_t pos = 0;
  float Step(float in) {
    float b = buf[pos];
    float out = b - in;
    buf[pos] = in + b * 0.5f;
    if (++pos >= buf.size()) pos = 0;
    return out;
  }
};
void ReverbChannel(const Mono& in, Mono& out, int spread, float feedback, float damp) {
  static const int kCombs[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
  static const int kAll[4] = {556, 441, 341, 225};
  Comb combs[8];
  Allpass alls[4];
  for (int i = 0; i < 8; ++i) combs[i].buf.assign(kCombs[i] + spread, 0.0f);
  for (int i = 0; i < 4; ++i) alls[i].buf.assign(kAll[i] + spread, 0.0f);
  out.assign(in.size(), 0.0f);
  for (size_t n = 0; n < in.size(); ++n) {
    float x = in[n] * 0.015f, acc = 0;
    for (auto& c : combs) acc += c.Step(x, feedback, damp);
    for (auto& a : alls) acc = a.Step(acc);
    out[n] = acc;
  }
}
}  // namespace

void Reverb(const Stereo& in, Stereo& wetOut, float roomSize, float damping, float width) {
  float feedback = 0.7f + 0.28f * roomSize;
  Mono wl, wr;
  ReverbChannel(in.l, wl, 0, feedback, damping);
  ReverbChannel(in.r, wr, 23, feedback, damping);
  float w1 = 0.5f * (1 + width), w2 = 0.5f * (1 - width);
  wetOut.Resize(in.Size());
  for (size_t n = 0; n < in.Size(); ++n) {
    wetOut.l[n] = wl[n] * w1 + wr[n] * w2;
    wetOut.r[n] = wr[n] * w1 + wl[n] * w2;
  }
}

void Echo(Stereo& buf, double delaySeconds, float feedback, float mix, float lowpassHz) {
  size_t d = std::max<size_t>(1, Frames(delaySeconds));
  std::vector<float> dl(d, 0.0f), dr(d, 0.0f);
  OnePoleLp lpL, lpR;
  size_t p = 0;
  for (size_t n = 0; n < buf.Size(); ++n) {
    float outL = dl[p], outR = dr[p];
    float inMono = 0.5f * (buf.l[n] + buf.r[n]);
    // Ping-pong: the left line feeds the right one.
    dl[p] = lpL.Step(inMono + outR * feedback, lowpassHz);
    dr[p] = lpR.Step(outL * feedback, lowpassHz);
    buf.l[n] += outL * mix;
    buf.r[n] += outR * mix;
    if (++p >= d) p = 0;
  }
}

Levels Measure(const Mono& m) {
  Levels lv;
  double sum = 0;
  for (float v : m) {
    lv.peak = std::max(lv.peak, static_cast<double>(std::fabs(v)));
    sum += static_cast<double>(v) * v;
  }
  lv.rms = m.empty() ? 0 : std::sqrt(sum / m.size());
  return lv;
}
Levels Measure(const Stereo& s) {
  Levels a = Measure(s.l), b = Measure(s.r);
  return {std::max(a.peak, b.peak), std::sqrt((a.rms * a.rms + b.rms * b.rms) / 2)};
}
void Scale(Mono& m, float g) {
  for (float& v : m) v *= g;
}
void Scale(Stereo& s, float g) {
  Scale(s.l, g);
  Scale(s.r, g);
}

void FadeEdges(Mono& m, double inSeconds, double outSeconds) {
  size_t fi = std::min(m.size(), Frames(inSeconds)), fo = std::min(m.size(), Frames(outSeconds));
  for (size_t i = 0; i < fi; ++i) m[i] *= static_cast<float>(i) / fi;
  for (size_t i = 0; i < fo; ++i) m[m.size() - 1 - i] *= static_cast<float>(i) / fo;
}

std::vector<uint8_t> WavBytes(const Stereo* stereo, const Mono* mono) {
  uint16_t channels = stereo ? 2 : 1;
  uint32_t frames = static_cast<uint32_t>(stereo ? stereo->Size() : mono->size());
  uint32_t dataBytes = frames * channels * 2;
  std::vector<uint8_t> out;
  auto u32 = [&](uint32_t v) { for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i))); };
  auto u16 = [&](uint16_t v) { out.push_back(static_cast<uint8_t>(v)); out.push_back(static_cast<uint8_t>(v >> 8)); };
  auto tag = [&](const char* t) { for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(t[i])); };
  tag("RIFF"); u32(36 + dataBytes); tag("WAVE");
  tag("fmt "); u32(16); u16(1); u16(channels); u32(kRate); u32(kRate * channels * 2);
  u16(static_cast<uint16_t>(channels * 2)); u16(16);
  tag("data"); u32(dataBytes);
  for (uint32_t i = 0; i < frames; ++i) {
    if (stereo) {
      u16(static_cast<uint16_t>(ToPcm(stereo->l[i])));
      u16(static_cast<uint16_t>(ToPcm(stereo->r[i])));
    } else {
      u16(static_cast<uint16_t>(ToPcm((*mono)[i])));
    }
  }
  return out;
}

namespace {
bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}
}  // namespace

bool WriteWav(const std::string& path, const Mono& mono) { return WriteFile(path, WavBytes(nullptr, &mono)); }
bool WriteWav(const std::string& path, const Stereo& stereo) { return WriteFile(path, WavBytes(&stereo, nullptr)); }

}  // namespace synth
