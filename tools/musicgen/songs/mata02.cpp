// The alternate mode's song, "mata02": a quick, bouncy chip-flavoured romp in F major.
#include "tools/musicgen/songs.h"

namespace music {

using synth::Drum;
using synth::Inst;

Song Mata02() {
  Song s;
  s.name = "Mata";
  s.bpm = 1920.0 / 13;  // 1.625 s a bar
  s.introBeats = 8;
  s.bodyBeats = 128;
  s.outroBeats = 8;
  s.loopRepeat = -1;
  s.reverbRoom = 0.45f;
  s.echoBeats = 0.75;
  const double B = 8, O = 136;

  Progression intro = Prog("Bb C7");
  Progression a = Prog("F C/E Dm Bb F C Bb C");
  Progression b = Prog("Dm Am Bb F Gm7 C F F7");
  Progression c = Prog("Bb C Am7 Dm Gm7 Am7 Bb C7");

  const std::string aMel =
      "c5/2 f5/2 a5/2 f5/2 c6/4 a5/4 | g5/2 e5/2 c5/2 e5/2 g5/8 | f5/2 a5/2 d6/2 a5/2 f5/4 d5/4 | f5/6 d5/2 bb4/8 |"
      " a5/2 a5/2 g5/2 a5/2 c6/4 a5/4 | g5/2 g5/2 f5/2 e5/2 g5/8 | d6/4 c6/4 bb5/4 f5/4 | g5/12 r/4";
  auto& lead = s.Add(Inst::Lead, 0.6f, 0.0f, 0.2f, 0.2f);
  double m = B;
  m = Seq(lead, m, aMel);
  m = Seq(lead, m, "a5/4 f5/4 d5/4 f5/4 | e5/4 a5/4 c6/8 | bb5/4 a5/4 g5/4 f5/4 | a5/12 r/4 |"
                   " bb5/2 a5/2 g5/2 f5/2 d5/4 g5/4 | e5/2 f5/2 g5/2 a5/2 bb5/8 | a5/8 c6/4 f6/4 | eb6/8 c6/4 a5/4");
  m = Seq(lead, m, aMel);
  m = Seq(lead, m, "d6/4 f6/4 d6/4 bb5/4 | c6/4 e6/4 c6/4 g5/4 | a5/4 c6/4 e6/4 c6/4 | d6/4 a5/4 f5/4 a5/4 |"
                   " g5/4 bb5/4 d6/4 f6/4 | e6/4 c6/4 a5/4 e5/4 | f5/2 g5/2 a5/2 bb5/2 d6/8 | c6/4 bb5/4 g5/4 e5/4");
  ExpectBeat(m, O, "mata02 melody");
  Seq(lead, O, "f5/2 a5/2 c6/2 f6/10'", 0.8f);

  auto& echoLead = s.Add(Inst::Pluck, 0.35f, 0.45f, 0.3f);
  Harmonize(echoLead, lead, a, B + 64, B + 64, B + 96, 0.8f);

  auto& arp = s.Add(Inst::Pluck, 0.32f, -0.45f, 0.25f, 0.15f);
  Arp(arp, 0, intro, {0, 1, 2, 3}, 0.25, 65, 0.5f);
  Arp(arp, B, a, {0, 1, 2, 1, 0, 1, 2, 3}, 0.25, 65, 0.45f);
  Arp(arp, B + 32, b, {0, 2, 1, 2, 0, 2, 1, 3}, 0.25, 65, 0.45f);
  Arp(arp, B + 64, a, {0, 1, 2, 1, 0, 1, 2, 3}, 0.25, 65, 0.45f);
  Arp(arp, B + 96, c, {0, 2, 1, 3, 2, 4, 3, 1}, 0.25, 65, 0.45f);

  auto& brass = s.Add(Inst::Brass, 0.2f, 0.2f, 0.3f);
  Comp(brass, B + 96, c, "x.....x...x.....", 65, 0.5f, 2);
  PadChords(brass, O, Prog("F", 8), 65, 0.5f);

  auto& bass = s.Add(Inst::SynthBass, 0.42f, 0.0f, 0.05f);
  for (auto [start, pr] : {std::pair{B, &a}, {B + 32, &b}, {B + 64, &a}, {B + 96, &c}})
    BassLine(bass, start, *pr, "R/2 8/2 R/2 8/2 5/2 8/2 R/2 ^/2", 36, 0.8f);
  Seq(bass, O, "f2/2 f3/2 c3/2 f2/10", 0.8f);

  auto& kick = s.AddDrum(Drum::Kick, 0.45f, 0.0f, 0.05f);
  auto& snare = s.AddDrum(Drum::Snare, 0.6f, 0.05f, 0.2f);
  auto& hat = s.AddDrum(Drum::HatClosed, 0.22f, 0.35f, 0.12f);
  auto& tamb = s.AddDrum(Drum::Tambourine, 0.18f, -0.4f, 0.2f);
  auto& crash = s.AddDrum(Drum::Crash, 0.28f, -0.3f, 0.3f);
  Grid(kick, B, "x...x...x...x...", 32, 0.75f);
  Grid(snare, B, "....x.......x..o", 32, 0.7f);
  Grid(hat, B, "..x...x...x...x.", 32, 0.6f);
  Grid(tamb, B + 32, "x.x.x.x.x.x.x.x.", 32, 0.5f);
  for (double at : {B + 31.0, B + 63.0, B + 95.0}) Grid(snare, at, "xxxX", 1, 0.5f);
  Grid(snare, B + 127, "xxX.", 1, 0.5f);  // the last sixteenth stays clear for the loop seam
  for (double at : {B, B + 32.0, B + 64.0, B + 96.0}) Grid(crash, at, "x", 1, 0.6f);
  Grid(crash, O, "x", 1, 0.7f);
  Grid(kick, O, "x", 1, 0.8f);
  return s;
}

}  // namespace music
