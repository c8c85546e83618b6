// Area theme 2, "sunshine": cheerful; a bright lead over marimba and a bouncy bass in G major.
#include "tools/musicgen/songs.h"

namespace music {

using synth::Drum;
using synth::Inst;

Song Sunshine() {
  Song s;
  s.name = "Hogaraka Sunshine";
  s.bpm = 128;  // 1.875 s a bar
  s.introBeats = 8;
  s.bodyBeats = 112;
  s.outroBeats = 8;
  s.loopRepeat = 1;
  s.reverbRoom = 0.55f;
  s.echoBeats = 0.75;
  const double B = 8, O = 120;

  Progression intro = Prog("C D7");
  Progression a = Prog("G D/F# Em C G D/F# C D");
  Progression b = Prog("C D Bm7 Em Am7 D G G7");
  Progression tag = Prog("C D C D7");

  const std::string aMel =
      "d5/2 g5/2 b5/2 a5/2 g5/4 d5/4 | f#5/2 a5/2 d6/4 c6/2 b5/2 a5/4 | g5/2 b5/2 e6/4 d6/2 b5/2 g5/4 |"
      " e5/6 g5/2 c6/4 b5/4 | d5/2 g5/2 b5/2 a5/2 g5/4 b5/4 | a5/2 f#5/2 d5/4 e5/2 f#5/2 a5/4 |"
      " g5/4 e5/4 c6/4 e6/4 | d6/12 r/4";
  const std::string bMel =
      "e5/4 e5/2 f#5/2 g5/4 e5/4 | f#5/4 f#5/2 g5/2 a5/8 | b5/4 a5/2 g5/2 f#5/4 d5/4 | e5/8 g5/4 b5/4 |"
      " c6/4 b5/2 a5/2 g5/4 e5/4 | f#5/4 a5/4 d6/4 c6/4 | b5/6 a5/2 g5/4 d5/4 | f5/8 g5/4 b5/4";
  auto& lead = s.Add(Inst::Lead, 0.62f, 0.05f, 0.25f, 0.15f);
  double m = B;
  m = Seq(lead, m, aMel);
  m = Seq(lead, m, bMel);
  m = Seq(lead, m, aMel);
  m = Seq(lead, m, "e6/4 d6/4 c6/4 g5/4 | a5/4 b5/4 c6/4 d6/4 | e6/2 d6/2 c6/4 g5/4 e5/4 | f#5/8 a5/4 c6/4");
  ExpectBeat(m, O, "sunshine melody");
  Seq(lead, O, "g5/2 b5/2 d6/2 g6/10'", 0.8f);

  auto& harm = s.Add(Inst::Marimba, 0.4f, -0.35f, 0.25f);
  Harmonize(harm, lead, a, B + 64, B + 64, B + 96, 0.8f);

  auto& marimba = s.Add(Inst::Marimba, 0.42f, 0.4f, 0.2f);
  Arp(marimba, 0, intro, {0, 1, 2, 1, 3, 2, 1, 2}, 0.5, 62, 0.6f);
  Comp(marimba, B, a, "x.x...x.x.x...x.", 64, 0.5f, 1.2);
  Comp(marimba, B + 32, b, "x...x.x...x.x...", 64, 0.5f, 1.2);
  Arp(marimba, B + 64, a, {0, 2, 1, 3, 2, 4, 3, 1}, 0.5, 67, 0.55f);
  Comp(marimba, B + 96, tag, "x.x...x.x.x...x.", 64, 0.5f, 1.2);

  auto& ep = s.Add(Inst::EPiano, 0.3f, -0.25f, 0.3f);
  PadChords(ep, 0, intro, 60, 0.45f);
  Comp(ep, B + 32, b, "..x...x...x...x.", 60, 0.45f, 1.8);
  PadChords(ep, O, Prog("G", 8), 62, 0.5f);

  auto& brass = s.Add(Inst::Brass, 0.22f, 0.25f, 0.35f);
  Comp(brass, B + 96, tag, "x.....x.....x...", 67, 0.55f, 2.5);

  auto& bass = s.Add(Inst::SynthBass, 0.5f, 0.0f, 0.05f);
  BassLine(bass, B, a, "R/2 -/2 8/2 R/2 5/2 -/2 8/2 5/2", 36, 0.8f);
  BassLine(bass, B + 32, b, "R/4 5/2 R/2 8/4 5/2 ^/2", 36, 0.8f);
  BassLine(bass, B + 64, a, "R/2 -/2 8/2 R/2 5/2 -/2 8/2 5/2", 36, 0.8f);
  BassLine(bass, B + 96, tag, "R/2 R/2 8/2 R/2 5/2 R/2 8/2 ^/2", 36, 0.8f);
  Seq(bass, O, "g2/4 r/4 g1/8", 0.8f);

  auto& kick = s.AddDrum(Drum::Kick, 0.48f, 0.0f, 0.05f);
  auto& snare = s.AddDrum(Drum::Snare, 0.6f, 0.05f, 0.25f);
  auto& hat = s.AddDrum(Drum::HatClosed, 0.3f, 0.35f, 0.15f);
  auto& clap = s.AddDrum(Drum::Clap, 0.25f, -0.2f, 0.3f);
  auto& tamb = s.AddDrum(Drum::Tambourine, 0.2f, -0.45f, 0.2f);
  auto& crash = s.AddDrum(Drum::Crash, 0.3f, 0.3f, 0.3f);
  Grid(kick, B, "x.....x.x.......", 28, 0.75f);
  Grid(snare, B, "....x.......x...", 28, 0.7f);
  Grid(hat, B, "x.o.x.o.x.o.x.o.", 28, 0.6f);
  Grid(clap, B + 32, "....x.......x...", 8, 0.6f);
  Grid(tamb, B + 64, "..x...x...x...x.", 32, 0.6f);
  Grid(snare, B - 1, "oxxX", 1, 0.5f);
  Grid(snare, B + 31, "oxxX", 1, 0.5f);
  Grid(snare, B + 63, "oxxX", 1, 0.5f);
  Grid(snare, B + 95, "xxxX", 1, 0.5f);
  Grid(snare, B + 111, "oxX.", 1, 0.5f);  // the last sixteenth stays clear for the loop seam
  for (double at : {B, B + 32.0, B + 64.0, B + 96.0}) Grid(crash, at, "x", 1, 0.6f);
  Grid(crash, O, "x", 1, 0.7f);
  Grid(kick, O, "x.......x", 1, 0.8f);
  return s;
}

}  // namespace music
