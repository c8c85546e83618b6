// The music sequencer: note text parsing, accompaniment generators and the song renderer.
#include "tools/musicgen/sequencer.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>

namespace music {

using namespace synth;

namespace {

int PitchClass(char letter) {
  static const int kPc[7] = {9, 11, 0, 2, 4, 5, 7};  // a b c d e f g
  return kPc[std::tolower(static_cast<unsigned char>(letter)) - 'a'];
}

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "musicgen: %s\n", what.c_str());
  std::exit(1);
}

std::vector<std::string> Split(const std::string& s) {
  std::vector<std::string> out;
  std::istringstream in(s);
  std::string t;
  while (in >> t) out.push_back(t);
  return out;
}

// Places each chord tone near `centre`, most important tones first.
std::vector<int> Voice(const Chord& c, int centre, int maxVoices) {
  std::vector<int> out;
  for (size_t i = 0; i < c.tones.size() && static_cast<int>(out.size()) < maxVoices; ++i) {
    int pc = (c.root + c.tones[i]) % 12;
    int m = centre - 6;
    while ((m % 12 + 12) % 12 != pc) ++m;
    if (std::find(out.begin(), out.end(), m) == out.end()) out.push_back(m);
  }
  std::sort(out.begin(), out.end());
  return out;
}

void AddNote(Part& p, double beat, double len, double midi, float vel) {
  p.notes.push_back({beat, len, midi, vel});
}

}  // namespace

Chord ParseChord(const std::string& name) {
  if (name.empty() || std::tolower(static_cast<unsigned char>(name[0])) < 'a' ||
      std::tolower(static_cast<unsigned char>(name[0])) > 'g')
    Fail("bad chord " + name);
  Chord c;
  size_t i = 1;
  c.root = PitchClass(name[0]);
  if (i < name.size() && (name[i] == '#' || name[i] == 'b')) {
    c.root = (c.root + (name[i] == '#' ? 1 : 11)) % 12;
    ++i;
  }
  std::string rest = name.substr(i), bassPart;
  size_t slash = rest.find('/');
  if (slash != std::string::npos) {
    bassPart = rest.substr(slash + 1);
    rest = rest.substr(0, slash);
  }
  static const std::map<std::string, std::vector<int>> kQualities = {
      {"", {0, 4, 7}},          {"m", {0, 3, 7}},           {"7", {0, 4, 7, 10}},     {"maj7", {0, 4, 7, 11}},
      {"m7", {0, 3, 7, 10}},    {"sus4", {0, 5, 7}},        {"sus2", {0, 2, 7}},      {"dim", {0, 3, 6}},
      {"add9", {0, 4, 7, 14}},  {"6", {0, 4, 7, 9}},        {"m6", {0, 3, 7, 9}},     {"9", {0, 4, 7, 10, 14}},
      {"m9", {0, 3, 7, 10, 14}}, {"maj9", {0, 4, 7, 11, 14}}, {"7sus4", {0, 5, 7, 10}}, {"aug", {0, 4, 8}},
      {"m7b5", {0, 3, 6, 10}},  {"madd9", {0, 3, 7, 14}},   {"dim7", {0, 3, 6, 9}},   {"mmaj7", {0, 3, 7, 11}},
  };
  auto q = kQualities.find(rest);
  if (q == kQualities.end()) Fail("bad chord quality " + name);
  c.tones = q->second;
  c.bass = c.root;
  if (!bassPart.empty()) {
    c.bass = PitchClass(bassPart[0]);
    if (bassPart.size() > 1) c.bass = (c.bass + (bassPart[1] == '#' ? 1 : 11)) % 12;
  }
  return c;
}

const Chord& Progression::At(double beatFromStart) const {
  long idx = static_cast<long>(std::floor(beatFromStart / beatsEach + 1e-9));
  long n = static_cast<long>(chords.size());
  return chords[((idx % n) + n) % n];
}

Progression Prog(const std::string& names, double beatsEach) {
  Progression p;
  p.beatsEach = beatsEach;
  for (const auto& t : Split(names))
    if (t != "|") p.chords.push_back(ParseChord(t));
  if (p.chords.empty()) Fail("empty progression");
  return p;
}

Part& Song::Add(Inst inst, float gain, float pan, float reverb, float echo) {
  Part p;
  p.inst = inst;
  p.gain = gain;
  p.pan = pan;
  p.reverb = reverb;
  p.echo = echo;
  parts.push_back(p);
  return parts.back();
}

Part& Song::AddDrum(Drum drum, float gain, float pan, float reverb, double pitch) {
  Part p;
  p.isDrum = true;
  p.drum = drum;
  p.gain = gain;
  p.pan = pan;
  p.reverb = reverb;
  p.drumPitch = pitch;
  p.humanize = 0.5f;
  parts.push_back(p);
  return parts.back();
}

double Seq(Part& p, double beat, const std::string& text, float vel, int transpose) {
  double sixteenths = 4;
  for (const auto& tok : Split(text)) {
    if (tok == "|") continue;
    std::vector<int> pitches;
    bool rest = false, tied = false, shortNote = false;
    float v = vel;
    size_t i = 0;
    while (i < tok.size()) {
      char ch = tok[i];
      if (ch == 'r') {
        rest = true;
        ++i;
      } else if (ch >= 'a' && ch <= 'g') {
        int pc = PitchClass(ch);
        ++i;
        if (i < tok.size() && (tok[i] == '#' || (tok[i] == 'b' && i + 1 < tok.size() && std::isdigit(static_cast<unsigned char>(tok[i + 1]))))) {
          pc += tok[i] == '#' ? 1 : -1;
          ++i;
        }
        size_t j = i;
        while (j < tok.size() && std::isdigit(static_cast<unsigned char>(tok[j]))) ++j;
        if (j == i) Fail("missing octave in " + tok);
        int oct = std::atoi(tok.substr(i, j - i).c_str());
        i = j;
        pitches.push_back(12 * (oct + 1) + pc + transpose);
      } else if (ch == '+') {
        ++i;
      } else if (ch == '/') {
        size_t j = i + 1;
        while (j < tok.size() && (std::isdigit(static_cast<unsigned char>(tok[j])) || tok[j] == '.')) ++j;
        sixteenths = std::atof(tok.substr(i + 1, j - i - 1).c_str());
        if (sixteenths <= 0) Fail("bad length in " + tok);
        i = j;
      } else if (ch == '~') {
        tied = true;
        ++i;
      } else if (ch == '\'') {
        shortNote = true;
        ++i;
      } else if (ch == '!') {
        v = std::min(1.0f, v + 0.15f);
        ++i;
      } else if (ch == '?') {
        v = std::max(0.1f, v - 0.2f);
        ++i;
      } else {
        Fail("bad token " + tok);
      }
    }
    double len = sixteenths / 4.0;
    if (!rest) {
      double gate = tied ? len * 1.02 : shortNote ? len * 0.45 : len * 0.88;
      for (int m : pitches) AddNote(p, beat, gate, m, v);
    }
    beat += len;
  }
  return beat;
}

double Grid(Part& p, double beat, const std::string& grid, int repeats, float vel) {
  for (int r = 0; r < repeats; ++r) {
    for (char ch : grid) {
      if (ch == ' ' || ch == '|') continue;
      float v = ch == 'X' ? std::min(1.0f, vel * 1.25f) : ch == 'x' ? vel : ch == 'o' ? vel * 0.55f : 0.0f;
      if (v > 0) AddNote(p, beat, 0.25, 60, v);
      beat += 0.25;
    }
  }
  return beat;
}

void PadChords(Part& p, double beat, const Progression& pr, int centre, float vel, int maxVoices) {
  for (size_t i = 0; i < pr.chords.size(); ++i)
    for (int m : Voice(pr.chords[i], centre, maxVoices))
      AddNote(p, beat + i * pr.beatsEach, pr.beatsEach * 0.98, m, vel);
}

void Arp(Part& p, double beat, const Progression& pr, const std::vector<int>& pattern, double step, int low,
         float vel, double gateFrac) {
  double end = beat + pr.Beats();
  size_t k = 0;
  for (double b = beat; b < end - 1e-9; b += step, ++k) {
    const Chord& c = pr.At(b - beat);
    std::vector<int> tones;
    for (int m = low; m < low + 36; ++m) {
      for (size_t t = 0; t < std::min<size_t>(c.tones.size(), 4); ++t)
        if ((m - c.root - c.tones[t]) % 12 == 0) tones.push_back(m);
    }
    int idx = pattern[k % pattern.size()];
    if (idx < 0) continue;
    float accent = (k % pattern.size() == 0) ? 1.0f : 0.85f;
    AddNote(p, b, step * gateFrac, tones[std::min<size_t>(idx, tones.size() - 1)], vel * accent);
  }
}

void BassLine(Part& p, double beat, const Progression& pr, const std::string& pattern, int octaveC, float vel) {
  if (octaveC % 12 != 0) Fail("bass register must start on a C");
  auto toks = Split(pattern);
  for (size_t ci = 0; ci < pr.chords.size(); ++ci) {
    const Chord& c = pr.chords[ci];
    const Chord& next = pr.chords[(ci + 1) % pr.chords.size()];
    double b = beat + ci * pr.beatsEach, end = b + pr.beatsEach;
    double sixteenths = 4;
    int root = octaveC + c.bass;
    if (root > octaveC + 7) root -= 12;
    size_t t = 0;
    while (b < end - 1e-9) {
      std::string tok = toks[t++ % toks.size()];
      size_t slash = tok.find('/');
      if (slash != std::string::npos) {
        sixteenths = std::atof(tok.substr(slash + 1).c_str());
        tok = tok.substr(0, slash);
      }
      double len = std::min(sixteenths / 4.0, end - b);
      int third = c.tones.size() > 1 ? c.tones[1] : 4;
      int seventh = 10;
      for (int x : c.tones)
        if (x == 10 || x == 11) seventh = x;
      int m = -1;
      int chordRoot = octaveC + c.root;
      if (chordRoot > octaveC + 7) chordRoot -= 12;
      if (tok == "R") m = root;
      else if (tok == "5") m = chordRoot + (c.tones.size() > 2 ? c.tones[2] : 7);
      else if (tok == "8") m = root + 12;
      else if (tok == "3") m = chordRoot + third;
      else if (tok == "7") m = chordRoot + seventh;
      else if (tok == "^") {
        int nr = octaveC + next.bass;
        if (nr > octaveC + 7) nr -= 12;
        m = nr - 1;
      } else if (tok != "-") Fail("bad bass token " + tok);
      if (m >= 0) AddNote(p, b, len * 0.9, m, vel * (b == beat + ci * pr.beatsEach ? 1.0f : 0.85f));
      b += len;
    }
  }
}

void Comp(Part& p, double beat, const Progression& pr, const std::string& grid, int centre, float vel,
          double gateSixteenths) {
  std::string g;
  for (char ch : grid)
    if (ch != ' ' && ch != '|') g.push_back(ch);
  for (size_t ci = 0; ci < pr.chords.size(); ++ci) {
    auto voices = Voice(pr.chords[ci], centre, 4);
    int steps = static_cast<int>(std::lround(pr.beatsEach * 4));
    for (int s = 0; s < steps; ++s) {
      char ch = g[s % g.size()];
      if (ch != 'x' && ch != 'X' && ch != 'o') continue;
      float v = ch == 'X' ? vel * 1.2f : ch == 'o' ? vel * 0.6f : vel;
      for (int m : voices) AddNote(p, beat + ci * pr.beatsEach + s * 0.25, gateSixteenths * 0.25, m, v);
    }
  }
}

void Harmonize(Part& out, const Part& melody, const Progression& pr, double progStart, double fromBeat,
               double toBeat, float velScale) {
  for (const auto& n : melody.notes) {
    if (n.beat < fromBeat - 1e-9 || n.beat >= toBeat - 1e-9) continue;
    const Chord& c = pr.At(n.beat - progStart);
    int best = -1;
    for (int m = static_cast<int>(n.midi) - 3; m > n.midi - 10; --m) {
      bool tone = false;
      for (size_t t = 0; t < std::min<size_t>(c.tones.size(), 4); ++t)
        if (((m - c.root - c.tones[t]) % 12 + 12) % 12 == 0) tone = true;
      if (tone) {
        best = m;
        break;
      }
    }
    if (best >= 0) out.notes.push_back({n.beat, n.len, static_cast<double>(best), n.vel * velScale});
  }
}

void ExpectBeat(double got, double want, const std::string& what) {
  if (std::fabs(got - want) > 1e-6)
    Fail(what + ": note text ends at beat " + std::to_string(got) + ", expected " + std::to_string(want));
}

namespace {

constexpr double kTailSeconds = 6.0;

struct SectionMix {
  Stereo dry, rev, echo;
  void Resize(size_t n) {
    dry.Resize(n);
    rev.Resize(n);
    echo.Resize(n);
  }
};

void Mix(Stereo& dst, const Mono& src, size_t at, float gl, float gr) {
  for (size_t k = 0; k < src.size() && at + k < dst.Size(); ++k) {
    dst.l[at + k] += src[k] * gl;
    dst.r[at + k] += src[k] * gr;
  }
}

Stereo Finish(const Song& s, SectionMix& m) {
  if (s.echoBeats > 0) {
    // Echo adds its repeats onto the send; the difference is the repeats alone.
    Stereo e = m.echo;
    Echo(e, s.echoBeats * s.BeatSeconds(), s.echoFeedback, 1.0f, 5000.0f);
    for (size_t k = 0; k < e.Size(); ++k) {
      float wl = e.l[k] - m.echo.l[k], wr = e.r[k] - m.echo.r[k];
      m.dry.l[k] += wl * 0.6f;
      m.dry.r[k] += wr * 0.6f;
      m.rev.l[k] += wl * 0.3f;
      m.rev.r[k] += wr * 0.3f;
    }
  }
  Stereo wet;
  Reverb(m.rev, wet, s.reverbRoom, s.reverbDamp);
  for (size_t k = 0; k < wet.Size(); ++k) {
    m.dry.l[k] += wet.l[k] * s.reverbReturn;
    m.dry.r[k] += wet.r[k] * s.reverbReturn;
  }
  return m.dry;
}

}  // namespace

Rendered Render(const Song& s) {
  const double fpb = kRate * s.BeatSeconds();
  const bool loops = s.bodyBeats > 0;
  const double introEnd = s.introBeats, bodyEnd = s.introBeats + s.bodyBeats;
  const double total = s.introBeats + s.bodyBeats + s.outroBeats;
  const size_t J = static_cast<size_t>(std::llround(introEnd * fpb));
  const size_t T = static_cast<size_t>(std::llround(bodyEnd * fpb));
  if (loops && (J % 11025 != 0 || T % 11025 != 0))
    Fail(s.name + ": loop points must fall on quarter seconds (got frames " + std::to_string(J) + ", " +
         std::to_string(T) + ")");
  const size_t tail = Frames(kTailSeconds);
  // Section 0: intro (everything when the song does not loop), 1: body, 2: outro.
  double secStart[3] = {0, introEnd, bodyEnd};
  size_t secFrames[3] = {loops ? J : static_cast<size_t>(std::llround(total * fpb)), T - J,
                         static_cast<size_t>(std::llround(total * fpb)) - T};
  SectionMix sec[3];
  for (int i = 0; i < 3; ++i) sec[i].Resize(secFrames[i] + tail);

  Mono buf;
  uint32_t seed = 1;
  for (size_t pi = 0; pi < s.parts.size(); ++pi) {
    const Part& p = s.parts[pi];
    double a = (std::clamp(p.pan, -1.0f, 1.0f) + 1.0) * kPi / 4;
    float gl = static_cast<float>(std::cos(a) * std::sqrt(2.0)) * p.gain;
    float gr = static_cast<float>(std::sin(a) * std::sqrt(2.0)) * p.gain;
    Rng wobble(static_cast<uint32_t>(pi * 7919 + 13));
    for (const auto& n : p.notes) {
      ++seed;
      int si = !loops || n.beat < introEnd - 1e-9 ? 0 : n.beat < bodyEnd - 1e-9 ? 1 : 2;
      double rel = n.beat - secStart[si];
      float vel = std::clamp(n.vel * (1.0f + 0.06f * p.humanize * wobble.Bipolar()), 0.05f, 1.0f);
      long at = std::lround(rel * fpb + p.humanize * 0.002 * kRate * wobble.Bipolar());
      if (at < 0) at = 0;
      if (p.isDrum)
        RenderDrum(p.drum, vel, seed, buf, p.drumPitch);
      else
        RenderNote(p.inst, MidiHz(n.midi), n.len * s.BeatSeconds(), vel, seed, buf);
      Mix(sec[si].dry, buf, static_cast<size_t>(at), gl, gr);
      if (p.reverb > 0) Mix(sec[si].rev, buf, static_cast<size_t>(at), gl * p.reverb, gr * p.reverb);
      if (p.echo > 0) Mix(sec[si].echo, buf, static_cast<size_t>(at), gl * p.echo, gr * p.echo);
    }
  }

  Rendered out;
  Stereo parts[3];
  for (int i = 0; i < 3; ++i)
    if (secFrames[i] > 0 || i == 0) parts[i] = Finish(s, sec[i]);
  if (!loops) {
    out.pcm = parts[0];
  } else {
    const size_t L = T - J;
    // The body folded onto itself: what rings past its end sounds again at its start, so the
    // jump from its end back to its start continues every tail exactly.
    Stereo body;
    body.Resize(L);
    for (size_t k = 0; k < parts[1].Size(); ++k) {
      body.l[k % L] += parts[1].l[k];
      body.r[k % L] += parts[1].r[k];
    }
    out.pcm.Resize(T + parts[2].Size());
    // Intro, cross-faded into the end of the folded body over 40 ms that end 5 ms before the
    // loop start, so the first entry into the loop section sounds just like every later one.
    const size_t xf = std::min<size_t>(Frames(0.04), J / 2), flat = std::min<size_t>(Frames(0.005), J / 2);
    for (size_t k = 0; k < J; ++k) {
      out.pcm.l[k] = parts[0].l[k];
      out.pcm.r[k] = parts[0].r[k];
      if (k + xf + flat < J) continue;
      float w = std::min(1.0f, static_cast<float>(k + xf + flat - J + 1) / (xf + 1));
      out.pcm.l[k] = parts[0].l[k] * (1 - w) + body.l[L - (J - k)] * w;
      out.pcm.r[k] = parts[0].r[k] * (1 - w) + body.r[L - (J - k)] * w;
    }
    for (size_t k = 0; k < L; ++k) {
      out.pcm.l[J + k] = body.l[k];
      out.pcm.r[J + k] = body.r[k];
    }
    // After the last pass: the body's natural tails plus the outro.
    for (size_t k = L; k < parts[1].Size(); ++k) {
      out.pcm.l[J + k] += parts[1].l[k];
      out.pcm.r[J + k] += parts[1].r[k];
    }
    for (size_t k = 0; k < parts[2].Size(); ++k) {
      out.pcm.l[T + k] += parts[2].l[k];
      out.pcm.r[T + k] += parts[2].r[k];
    }
    out.loopStart = J;
    out.loopEnd = T;
  }
  // Drop the silent end, keep a short fade.
  Levels lv = Measure(out.pcm);
  // At most 3 s of ring after the last bar, so the editor's once-through preview stays short.
  size_t n = std::min(out.pcm.Size(), static_cast<size_t>(std::llround(total * fpb)) + Frames(3.0));
  size_t minLen = std::max(out.loopEnd + Frames(0.5), static_cast<size_t>(std::llround(total * fpb)));
  while (n > minLen && std::fabs(out.pcm.l[n - 1]) < lv.peak * 3e-4 && std::fabs(out.pcm.r[n - 1]) < lv.peak * 3e-4) --n;
  out.pcm.Resize(n);
  out.pcm.l.resize(n);
  out.pcm.r.resize(n);
  size_t fade = std::min(n, Frames(0.6));
  for (size_t k = 0; k < fade; ++k) {
    float g = static_cast<float>(k) / fade;
    out.pcm.l[n - 1 - k] *= g;
    out.pcm.r[n - 1 - k] *= g;
  }
  // Level: aim at the song's loudness, never above -1.6 dBFS before encoding.
  lv = Measure(out.pcm);
  if (s.fixedGain > 0) {
    Scale(out.pcm, s.fixedGain);
  } else if (lv.rms > 0) {
    double g = std::min(s.targetRms / lv.rms, 0.79 / lv.peak);
    Scale(out.pcm, static_cast<float>(g));
  }
  return out;
}

}  // namespace music
