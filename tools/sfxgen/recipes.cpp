// One recipe per sound effect of the game, each shaped to its event and its length bound.
#include "tools/sfxgen/recipes.h"

#include <algorithm>

namespace sfx {

using namespace synth;

namespace {

// Logo jingle: a rising music-box arpeggio that blooms into a warm sustained chord.
Mono Opening() {
  Mono b;
  const int arp[] = {72, 76, 79, 84, 88, 91};
  for (int i = 0; i < 6; ++i) Note(b, 0.02 + i * 0.1, Inst::MusicBox, arp[i], 0.3, 0.7f, 10 + i);
  for (int i = 0; i < 6; ++i) Note(b, 0.02 + i * 0.1, Inst::Bell, arp[i], 0.15, 0.25f, 20 + i);
  const int chord[] = {60, 67, 71, 74, 76};
  for (int i = 0; i < 5; ++i) Note(b, 0.62, Inst::Pad, chord[i], 1.5, 0.55f, 30 + i);
  for (int i = 0; i < 4; ++i) Note(b, 0.62 + i * 0.012, Inst::EPiano, chord[i + 1], 1.6, 0.6f, 40 + i);
  Note(b, 0.62, Inst::Bass, 48, 1.4, 0.6f, 50);
  // A few high glints on the chord.
  const int glint[] = {96, 100, 103, 98, 103};
  for (int i = 0; i < 5; ++i) Note(b, 0.75 + i * 0.23, Inst::MusicBox, glint[i], 0.1, 0.22f, 60 + i);
  AddReverb(b, 0.75f, 0.35f, 0.9f, 1.0);
  Finish(b, 0.55f, 3.2, 0.8);
  return b;
}

// Ball pick-up: two quick bright chimes a fifth apart.
Mono Boal() {
  Mono b;
  Note(b, 0.0, Inst::Bell, 88, 0.08, 0.8f, 1);
  Note(b, 0.06, Inst::Bell, 95, 0.12, 0.9f, 2);
  Note(b, 0.0, Inst::MusicBox, 100, 0.1, 0.35f, 3);
  Note(b, 0.06, Inst::MusicBox, 107, 0.1, 0.3f, 4);
  AddReverb(b, 0.4f, 0.5f, 0.35f, 0.2);
  Finish(b, 0.5f, 0.45, 0.15);
  return b;
}

// Cursor tick: a short round blip.
Mono Choise1() {
  Mono b;
  Tone(b, 0.0, 0.05, 1320, 1100, Wave::Sine, 0.8f, Adsr{0.001f, 0.02f, 0.0f, 0.01f});
  Tone(b, 0.0, 0.03, 2640, 2200, Wave::Triangle, 0.15f, Adsr{0.001f, 0.01f, 0.0f, 0.005f});
  Finish(b, 0.42f, 0.09, 0.02);
  return b;
}

// Mode blip: two quick rising steps, finished within one 100 ms repeat.
Mono Choise2() {
  Mono b;
  Adsr e{0.001f, 0.03f, 0.3f, 0.008f};
  Tone(b, 0.0, 0.035, 880, 880, Wave::Pulse25, 0.35f, e);
  Tone(b, 0.038, 0.035, 1320, 1320, Wave::Pulse25, 0.35f, e);
  Tone(b, 0.038, 0.035, 1320, 1320, Wave::Sine, 0.3f, e);
  Finish(b, 0.4f, 0.088, 0.01);
  return b;
}

// Cloud puff: a soft breath of filtered noise with a low "poof" under it.
Mono Croud() {
  Mono b;
  Noise(b, 0.0, 0.3, NoiseFilter::Low, 2600, 350, 0.8, 0.9f, Adsr{0.02f, 0.12f, 0.3f, 0.06f}, 7);
  Noise(b, 0.0, 0.2, NoiseFilter::Band, 1800, 900, 1.5, 0.25f, Adsr{0.005f, 0.08f, 0.2f, 0.05f}, 8);
  Tone(b, 0.0, 0.18, 220, 95, Wave::Sine, 0.5f, Adsr{0.01f, 0.08f, 0.2f, 0.05f});
  Finish(b, 0.5f, 0.4, 0.08);
  return b;
}

// Unlock: key turns (two metal clicks), the bolt slides, a small bright chime.
Mono Door() {
  Mono b;
  const double clickHz[] = {2300, 3400, 5100};
  for (double h : clickHz) Ping(b, 0.0, h, 0.012, 0.3f);
  for (double h : clickHz) Ping(b, 0.085, h * 0.82, 0.015, 0.35f);
  Hit(b, 0.085, Drum::Rim, 0.5f, 0.7);
  Noise(b, 0.14, 0.22, NoiseFilter::Band, 900, 2200, 3.0, 0.35f, Adsr{0.03f, 0.1f, 0.6f, 0.05f}, 9);
  Tone(b, 0.14, 0.22, 140, 180, Wave::Saw, 0.08f, Adsr{0.03f, 0.1f, 0.5f, 0.05f});
  Note(b, 0.36, Inst::Bell, 84, 0.1, 0.5f, 3);
  Note(b, 0.42, Inst::Bell, 91, 0.15, 0.5f, 4);
  AddReverb(b, 0.4f, 0.5f, 0.3f, 0.3);
  Finish(b, 0.5f, 0.78, 0.15);
  return b;
}

// Goal: a cascade of sparkling bells climbing to a shimmering major chord.
Mono Goal() {
  Mono b;
  const int run[] = {79, 84, 88, 91, 96, 100};
  for (int i = 0; i < 6; ++i) Note(b, i * 0.07, Inst::Bell, run[i], 0.1, 0.6f, 1 + i);
  const int chord[] = {84, 88, 91, 96};
  for (int i = 0; i < 4; ++i) Note(b, 0.45, Inst::MusicBox, chord[i], 0.6, 0.6f, 10 + i);
  for (int i = 0; i < 4; ++i) Note(b, 0.45, Inst::Pad, chord[i] - 12, 0.5, 0.35f, 20 + i);
  Rng rng(99);
  for (int i = 0; i < 14; ++i) Ping(b, 0.4 + 0.06 * i, 5000 + 3000 * rng.Unit(), 0.03, 0.12f);
  Noise(b, 0.4, 0.6, NoiseFilter::High, 6000, 9000, 0.7, 0.06f, Adsr{0.05f, 0.3f, 0.5f, 0.2f}, 11);
  AddReverb(b, 0.7f, 0.4f, 0.7f, 0.8);
  Finish(b, 0.55f, 1.6, 0.4);
  return b;
}

// Landing: a soft low thud.
Mono Ground() {
  Mono b;
  Tone(b, 0.0, 0.09, 140, 55, Wave::Sine, 0.9f, Adsr{0.002f, 0.05f, 0.0f, 0.03f});
  Noise(b, 0.0, 0.06, NoiseFilter::Low, 900, 300, 0.7, 0.5f, Adsr{0.001f, 0.02f, 0.0f, 0.02f}, 5);
  Finish(b, 0.5f, 0.16, 0.04);
  return b;
}

// Lifting: an upward swish with a light rising tone.
Mono Have() {
  Mono b;
  Noise(b, 0.0, 0.24, NoiseFilter::Band, 600, 3600, 2.2, 0.8f, Adsr{0.08f, 0.1f, 0.7f, 0.05f}, 3);
  Tone(b, 0.02, 0.2, 330, 660, Wave::Triangle, 0.12f, Adsr{0.05f, 0.1f, 0.5f, 0.04f});
  Finish(b, 0.45f, 0.3, 0.06);
  return b;
}

// Jump: the classic rising sweep, short so the landing thud is not held off.
Mono Jump() {
  Mono b;
  Tone(b, 0.0, 0.15, 280, 840, Wave::Square, 0.25f, Adsr{0.003f, 0.1f, 0.4f, 0.03f});
  Tone(b, 0.0, 0.15, 280, 840, Wave::Triangle, 0.5f, Adsr{0.003f, 0.1f, 0.4f, 0.03f});
  Finish(b, 0.42f, 0.24, 0.04);
  return b;
}

// Jump pad: a springy "boing" whose wobble settles.
Mono Jumpdai() {
  Mono b;
  Reserve(b, 0.4);
  double ph = 0;
  for (size_t k = 0; k < b.size(); ++k) {
    double t = static_cast<double>(k) / kRate;
    double f = (230 + 260 * (1 - std::exp(-t / 0.08))) * (1 + 0.12 * std::exp(-t / 0.12) * std::sin(kTwoPi * 28 * t));
    ph += f / kRate;
    double env = std::min(1.0, t / 0.004) * std::exp(-t / 0.13);
    b[k] += static_cast<float>(env * (std::sin(kTwoPi * ph) + 0.3 * std::sin(2 * kTwoPi * ph)));
  }
  Hit(b, 0.0, Drum::Tom, 0.4f, 1.6);
  Finish(b, 0.5f, 0.4, 0.08);
  return b;
}

// Key pick-up: a short jingle of small metal pings.
Mono Key() {
  Mono b;
  const double t0[] = {0.0, 0.05, 0.1, 0.17};
  const double base[] = {3100, 3700, 2900, 4200};
  for (int i = 0; i < 4; ++i) {
    Ping(b, t0[i], base[i], 0.06, 0.35f);
    Ping(b, t0[i], base[i] * 1.51, 0.04, 0.2f);
    Ping(b, t0[i], base[i] * 2.32, 0.025, 0.12f);
  }
  Note(b, 0.08, Inst::Bell, 96, 0.1, 0.4f, 2);
  AddReverb(b, 0.4f, 0.4f, 0.3f, 0.2);
  Finish(b, 0.45f, 0.48, 0.1);
  return b;
}

// Magic: a quick pentatonic glissando over a glittering hiss.
Mono Mahou() {
  Mono b;
  const int gl[] = {84, 86, 88, 91, 93, 96, 98, 100};
  for (int i = 0; i < 8; ++i) Note(b, i * 0.022, Inst::MusicBox, gl[i], 0.05, 0.5f, i + 1);
  Noise(b, 0.0, 0.2, NoiseFilter::High, 5000, 9000, 0.8, 0.12f, Adsr{0.02f, 0.1f, 0.4f, 0.05f}, 13);
  AddReverb(b, 0.55f, 0.4f, 0.5f, 0.2);
  Finish(b, 0.45f, 0.32, 0.08);
  return b;
}

// Confirm: a bright two-note chime, fifth up to the octave.
Mono Ok1() {
  Mono b;
  Note(b, 0.0, Inst::EPiano, 79, 0.09, 0.8f, 1);
  Note(b, 0.0, Inst::Bell, 91, 0.08, 0.35f, 2);
  Note(b, 0.09, Inst::EPiano, 84, 0.3, 0.85f, 3);
  Note(b, 0.09, Inst::Bell, 96, 0.2, 0.35f, 4);
  Note(b, 0.09, Inst::EPiano, 88, 0.3, 0.5f, 5);
  AddReverb(b, 0.5f, 0.45f, 0.4f, 0.3);
  Finish(b, 0.5f, 0.65, 0.2);
  return b;
}

// Jail bars: two heavy metallic clanks with inharmonic ringing.
Mono Rouya() {
  Mono b;
  const double bars[] = {410, 1135, 2215, 3590};
  const float amps[] = {0.5f, 0.35f, 0.22f, 0.12f};
  for (int i = 0; i < 4; ++i) Ping(b, 0.0, bars[i], 0.12 - 0.02 * i, amps[i]);
  for (int i = 0; i < 4; ++i) Ping(b, 0.11, bars[i] * 1.06, 0.09 - 0.015 * i, amps[i] * 0.8f);
  Hit(b, 0.0, Drum::Tom, 0.5f, 0.8);
  Noise(b, 0.0, 0.03, NoiseFilter::Band, 2500, 2000, 1.5, 0.5f, Adsr{0.001f, 0.01f, 0.0f, 0.01f}, 4);
  AddReverb(b, 0.4f, 0.5f, 0.3f, 0.2);
  Finish(b, 0.5f, 0.5, 0.1);
  return b;
}

// Window: a downward airy swish.
Mono Window() {
  Mono b;
  Noise(b, 0.0, 0.25, NoiseFilter::Band, 4200, 700, 1.8, 0.8f, Adsr{0.04f, 0.1f, 0.6f, 0.05f}, 21);
  Tone(b, 0.0, 0.2, 900, 600, Wave::Sine, 0.08f, Adsr{0.03f, 0.1f, 0.4f, 0.04f});
  Finish(b, 0.42f, 0.3, 0.07);
  return b;
}

// Barrier dissolve: a humming energy chord that falls, flutters faster and fades away.
Mono Barrior() {
  Mono b;
  Reserve(b, 1.25);
  double ph[3] = {0, 0.2, 0.5};
  const double base[3] = {220, 277.2, 329.6};
  Svf f;
  double trem = 0;
  for (size_t k = 0; k < b.size(); ++k) {
    double t = static_cast<double>(k) / kRate;
    double fall = std::pow(0.5, t / 1.1);
    float s = 0;
    for (int v = 0; v < 3; ++v) {
      double dt = base[v] * fall / kRate;
      ph[v] += dt;
      s += Osc(Wave::Saw, ph[v], dt) / 3;
    }
    trem += (6 + 30 * t) / kRate;
    double tremolo = 0.6 + 0.4 * std::sin(kTwoPi * trem);
    float y = f.Step(s, static_cast<float>(3500 * fall + 200), 1.2f);
    double env = std::min(1.0, t / 0.03) * (t < 0.4 ? 1.0 : std::exp(-(t - 0.4) / 0.3));
    b[k] += static_cast<float>(y * tremolo * env);
  }
  Noise(b, 0.0, 1.0, NoiseFilter::High, 3000, 8000, 0.7, 0.2f, Adsr{0.05f, 0.4f, 0.4f, 0.2f}, 17);
  Rng rng(5);
  for (int i = 0; i < 16; ++i) Ping(b, 0.1 + 0.06 * i, 2500 + 4000 * rng.Unit(), 0.025, 0.12f * (1 - i / 20.0f));
  AddReverb(b, 0.6f, 0.4f, 0.5f, 0.3);
  Finish(b, 0.5f, 1.2, 0.3);
  return b;
}

// Firework: a bang that scatters into fading crackles.
Mono Hanabi() {
  Mono b;
  Noise(b, 0.0, 0.12, NoiseFilter::Low, 5000, 500, 0.7, 1.0f, Adsr{0.001f, 0.06f, 0.1f, 0.08f}, 31);
  Tone(b, 0.0, 0.15, 110, 45, Wave::Sine, 0.9f, Adsr{0.001f, 0.08f, 0.0f, 0.06f});
  Rng rng(77);
  for (int i = 0; i < 60; ++i) {
    double t = 0.12 + 1.0 * std::pow(rng.Unit(), 1.4);
    float a = static_cast<float>(0.35 * (1.1 - t));
    Noise(b, t, 0.004, NoiseFilter::High, 3000, 3000, 0.7, a, Adsr{0.0005f, 0.003f, 0.0f, 0.003f}, 100 + i);
  }
  for (int i = 0; i < 10; ++i) Ping(b, 0.15 + 0.09 * i, 3000 + 3000 * rng.Unit(), 0.04, 0.06f);
  AddReverb(b, 0.7f, 0.3f, 0.6f, 0.3);
  Finish(b, 0.55f, 1.25, 0.25);
  return b;
}

// Ice: a glassy hiss with soft edges, so back-to-back repeats blend into one slide.
Mono Ice() {
  Mono b;
  Noise(b, 0.0, 0.2, NoiseFilter::High, 5500, 4500, 0.7, 0.5f, Adsr{0.02f, 0.1f, 0.8f, 0.01f}, 19);
  Noise(b, 0.0, 0.2, NoiseFilter::Band, 2800, 3400, 3.0, 0.25f, Adsr{0.02f, 0.1f, 0.8f, 0.01f}, 20);
  Ping(b, 0.01, 5274, 0.05, 0.05f);
  Ping(b, 0.09, 6272, 0.05, 0.04f);
  Finish(b, 0.3f, 0.2, 0.03);
  // Matching fade-in so a restart joins without a click.
  FadeEdges(b, 0.02, 0.0);
  return b;
}

// Rocket: a launch hiss and rising whistle complete within 150 ms, then the whistle climbs on
// and ends in a pop with sparks.
Mono Hanabi2() {
  Mono b;
  Noise(b, 0.0, 0.1, NoiseFilter::Band, 1500, 3500, 1.2, 0.6f, Adsr{0.003f, 0.05f, 0.3f, 0.03f}, 41);
  Tone(b, 0.005, 0.13, 900, 1900, Wave::Sine, 0.45f, Adsr{0.01f, 0.06f, 0.6f, 0.02f});
  Tone(b, 0.15, 0.3, 1900, 2700, Wave::Sine, 0.22f, Adsr{0.02f, 0.2f, 0.5f, 0.02f});
  Noise(b, 0.46, 0.05, NoiseFilter::Low, 6000, 800, 0.7, 0.8f, Adsr{0.001f, 0.03f, 0.1f, 0.05f}, 42);
  Tone(b, 0.46, 0.08, 160, 60, Wave::Sine, 0.6f, Adsr{0.001f, 0.04f, 0.0f, 0.04f});
  Rng rng(43);
  for (int i = 0; i < 20; ++i) {
    double t = 0.5 + 0.3 * rng.Unit();
    Noise(b, t, 0.004, NoiseFilter::High, 3500, 3500, 0.7, 0.25f, Adsr{0.0005f, 0.003f, 0.0f, 0.003f}, 200 + i);
  }
  AddReverb(b, 0.5f, 0.4f, 0.4f, 0.2);
  Finish(b, 0.5f, 0.9, 0.15);
  return b;
}

}  // namespace

const std::vector<Recipe>& Recipes() {
  static const std::vector<Recipe> kRecipes = {
      {"opening.wav", Opening, 2.0, 4.0}, {"boal.wav", Boal, 0.1, 0.5},
      {"choise1.wav", Choise1, 0.05, 0.12}, {"choise2.wav", Choise2, 0.05, 0.1},
      {"croud.wav", Croud, 0.3, 0.5},      {"door.wav", Door, 0.3, 0.8},
      {"goal.wav", Goal, 1.0, 2.0},        {"ground.wav", Ground, 0.05, 0.2},
      {"have.wav", Have, 0.2, 0.4},        {"jump.wav", Jump, 0.1, 0.3},
      {"jumpdai.wav", Jumpdai, 0.3, 0.5},  {"key.wav", Key, 0.2, 0.5},
      {"mahou.wav", Mahou, 0.2, 0.4},      {"ok1.wav", Ok1, 0.2, 0.7},
      {"rouya.wav", Rouya, 0.35, 0.6},     {"window.wav", Window, 0.2, 0.4},
      {"barrior.wav", Barrior, 0.9, 1.5},  {"hanabi.wav", Hanabi, 0.5, 1.3},
      {"ice.wav", Ice, 0.15, 0.25},        {"hanabi2.wav", Hanabi2, 0.3, 1.0},
  };
  return kRecipes;
}

}  // namespace sfx
