// The menu song, "rhythmicpark": lively and funky in C major; loops for as long as the menu stays.
#include "tools/musicgen/songs.h"

namespace music {

using synth::Drum;
using synth::Inst;

Song RhythmicPark() {
  Song s;
  s.name = "Rhythmic Park";
  s.bpm = 128;  // 1.875 s a bar
  s.introBeats = 8;
  s.bodyBeats = 128;
  s.outroBeats = 8;
  s.loopRepeat = -1;
  s.reverbRoom = 0.5f;
  s.echoBeats = 0.75;
  const double B = 8, O = 136;

  Progression intro = Prog("Dm7 G7");
  Progression a = Prog("Cmaj7 Am7 Dm7 G7 Em7 A7 Dm7 G7");
  Progression b = Prog("Fmaj7 G Em7 Am7 Dm7 G C C7");
  Progression c = Prog("Fmaj7 Fm6 Em7 A7 Dm7 G7 Cmaj7 G7");
  Progression d = Prog("Am7 Dm7 G7 Cmaj7 Fmaj7 Em7 Dm7 G7");  // the lighter break before the loop

  auto& lead = s.Add(Inst::Lead, 0.6f, 0.05f, 0.22f, 0.18f);
  double m = B;
  m = Seq(lead, m, "e5/2 g5/2 r/2 b5/4 a5/2 g5/4 | e5/2 c5/2 r/2 e5/4 g5/2 a5/4 | f5/2 a5/2 r/2 c6/4 b5/2 a5/4 | g5/6 f5/2 d5/8");
  m = Seq(lead, m, "e5/2 g5/2 r/2 b5/4 d6/2 b5/4 | c#6/6 b5/2 a5/4 e5/4 | d5/2 f5/2 a5/2 c6/2 b5/4 a5/4 | g5/8 f5/4 d5/4");
  m = Seq(lead, m, "a5/4 c6/4 e6/2 c6/2 a5/4 | b5/4 d6/2 b5/2 g5/8 | g5/4 b5/2 g5/2 e5/8 | a5/4 c6/2 a5/2 e5/8");
  m = Seq(lead, m, "f5/4 a5/4 d6/4 c6/4 | b5/6 a5/2 g5/8 | e5/2 g5/2 c6/4 e6/4 g6/4 | bb5/8 g5/4 e5/4");
  m = Seq(lead, m, "a5/2 c6/2 r/2 e6/4 d6/2 c6/4 | ab5/6 g5/2 f5/8 | g5/2 b5/2 r/2 d6/4 b5/2 g5/4 | c#6/8 e6/4 c#6/4");
  m = Seq(lead, m, "d6/4 c6/4 a5/4 f5/4 | g5/4 b5/4 d6/4 f6/4 | e6/6 d6/2 c6/4 b5/4 | d6/8 b5/4 g5/4");
  m = Seq(lead, m, "e5/4 r/4 a5/4 g5/4 | f5/6 e5/2 d5/8 | b4/4 d5/4 f5/4 a5/4 | g5/12 r/4");
  m = Seq(lead, m, "a5/4 r/4 c6/4 a5/4 | b5/6 a5/2 g5/8 | f5/4 a5/4 c6/4 d6/4 | b5/6 a5/2 g5/4 f5/4");
  ExpectBeat(m, O, "rhythmicpark melody");
  Seq(lead, O, "c6/2 e6/2 g6/4' c6/8'", 0.8f);

  auto& harm = s.Add(Inst::Lead, 0.3f, -0.4f, 0.3f, 0.2f);
  Harmonize(harm, lead, c, B + 64, B + 64, B + 96, 0.8f);

  auto& ep = s.Add(Inst::EPiano, 0.36f, -0.25f, 0.25f);
  PadChords(ep, 0, intro, 62, 0.5f);
  Comp(ep, B, a, "..x..x....x..x..", 62, 0.5f, 1.4);
  Comp(ep, B + 32, b, "x..x..x...x..x..", 62, 0.5f, 1.4);
  Comp(ep, B + 64, c, "..x..x....x..x..", 62, 0.5f, 1.4);
  Comp(ep, B + 96, d, "x..x..x...x..x..", 62, 0.5f, 2.5);
  PadChords(ep, O, Prog("Cmaj9", 8), 62, 0.5f);

  auto& brass = s.Add(Inst::Brass, 0.2f, 0.3f, 0.3f);
  Comp(brass, B + 32, b, "x.......x.....x.", 67, 0.5f, 2);

  auto& box = s.Add(Inst::Marimba, 0.24f, 0.45f, 0.25f);
  Arp(box, B + 64, c, {0, 2, 1, 3, 2, 1, 3, 4}, 0.5, 72, 0.5f);
  // In the break the marimba answers each phrase of the lead.
  Arp(box, B + 96, d, {-1, -1, -1, -1, -1, -1, -1, -1, 4, 3, 2, 1, 2, 3, 4, 5}, 0.25, 72, 0.55f);

  auto& bass = s.Add(Inst::SynthBass, 0.5f, 0.0f, 0.05f);
  BassLine(bass, 0, intro, "R/2 R/2 8/2 R/2 -/2 R/2 8/2 ^/2", 36, 0.75f);
  BassLine(bass, B, a, "R/3 -/1 8/2 R/2 -/2 5/2 8/2 ^/2", 36, 0.8f);
  BassLine(bass, B + 32, b, "R/2 R/2 8/2 R/2 5/2 R/2 8/2 7/2", 36, 0.8f);
  BassLine(bass, B + 64, c, "R/3 -/1 8/2 R/2 -/2 5/2 8/2 ^/2", 36, 0.8f);
  BassLine(bass, B + 96, d, "R/6 R/2 5/4 8/2 ^/2", 36, 0.75f);
  Seq(bass, O, "c2/2 c3/2 g2/2 c2/10", 0.8f);

  auto& kick = s.AddDrum(Drum::Kick, 0.5f, 0.0f, 0.05f);
  auto& snare = s.AddDrum(Drum::Snare, 0.62f, 0.05f, 0.22f);
  auto& hat = s.AddDrum(Drum::HatClosed, 0.24f, 0.35f, 0.12f);
  auto& ohat = s.AddDrum(Drum::HatOpen, 0.16f, 0.35f, 0.15f);
  auto& clap = s.AddDrum(Drum::Clap, 0.35f, -0.2f, 0.3f);
  auto& crash = s.AddDrum(Drum::Crash, 0.3f, -0.3f, 0.3f);
  Grid(hat, 0, "x.o.x.o.x.o.x.oo", 2, 0.55f);
  Grid(snare, 7, "oxxX", 1, 0.5f);
  Grid(kick, B, "x..x..x...x..x..", 24, 0.75f);
  Grid(snare, B, "....x.......x...", 24, 0.7f);
  Grid(hat, B, "xoxoxoxoxoxoxoxo", 32, 0.55f);
  Grid(ohat, B, "..............x.", 24, 0.5f);
  Grid(kick, B + 96, "x.......x.x.....", 8, 0.7f);
  Grid(clap, B + 96, "....x.......x...", 8, 0.55f);
  Grid(clap, B + 32, "....x.......x...", 8, 0.6f);
  Grid(snare, B + 31, "oxxX", 1, 0.5f);
  Grid(snare, B + 63, "xxxX", 1, 0.5f);
  Grid(snare, B + 95, "oxxX", 1, 0.5f);
  Grid(snare, B + 127, "oxX.", 1, 0.5f);  // the last sixteenth stays clear for the loop seam
  for (double at : {B, B + 32.0, B + 64.0}) Grid(crash, at, "x", 1, 0.6f);
  Grid(crash, O, "x", 1, 0.7f);
  Grid(kick, O, "x", 1, 0.8f);
  return s;
}

}  // namespace music
