// The ending song, "never": a warm, nostalgic piece in G major that builds over the staff roll
// and closes on its final chord at about 90 seconds.
#include "tools/musicgen/songs.h"

namespace music {

using synth::Drum;
using synth::Inst;

Song Never() {
  Song s;
  s.name = "Never";
  s.bpm = 96;  // 2.5 s a bar; 35 bars and the last chord's ring
  s.introBeats = 140;
  s.reverbRoom = 0.75f;
  s.echoBeats = 0.75;
  const double A = 16, Bs = 48, A2 = 80, C = 112, F = 136;

  Progression intro = Prog("Gmaj7 Cmaj7 Am7 D7sus4");
  Progression a = Prog("G D/F# Em7 Cmaj7 Am7 D G D7");
  Progression b = Prog("Cmaj7 D Bm7 Em7 Am7 D Gmaj7 E7");
  Progression a2 = Prog("Am7 D G Em7 Cmaj7 D Em7 Cmaj7");
  Progression coda = Prog("Am7 D7sus4 Gmaj7 Cmaj7 Am7 D7sus4");

  auto& flute = s.Add(Inst::Flute, 0.6f, 0.1f, 0.4f, 0.15f);
  double m = A;
  m = Seq(flute, m, "b4/4 d5/4 g5/6 f#5/2 | a5/8 f#5/4 d5/4 | g5/6 f#5/2 e5/4 b4/4 | e5/12 r/4");
  m = Seq(flute, m, "c5/4 e5/4 a5/6 g5/2 | f#5/8 a5/4 d6/4 | b5/6 a5/2 g5/4 d5/4 | a5/12 r/4");
  ExpectBeat(m, Bs, "never A");
  auto& bell = s.Add(Inst::Bell, 0.35f, -0.2f, 0.45f, 0.3f);
  m = Seq(bell, Bs, "g5/4 b5/4 e6/6 d6/2 | d6/8 a5/4 f#5/4 | f#5/6 a5/2 b5/8 | g5/6 f#5/2 e5/8");
  m = Seq(bell, m, "c6/6 b5/2 a5/4 e5/4 | f#5/6 g5/2 a5/8 | b5/6 a5/2 g5/4 f#5/4 | g#5/8 b5/4 d6/4");
  ExpectBeat(m, A2, "never B");
  Seq(flute, Bs, "e5/16 | f#5/16 | d5/16 | e5/16 | e5/16 | d5/16 | d5/16 | d5/16", 0.45f);
  auto& lead = s.Add(Inst::Lead, 0.5f, 0.05f, 0.35f, 0.2f);
  m = Seq(lead, A2, "c5/4 e5/4 a5/6 g5/2 | f#5/8 a5/4 d6/4 | b5/6 a5/2 g5/4 d5/4 | g5/6 a5/2 b5/8");
  m = Seq(lead, m, "e5/4 g5/4 c6/6 b5/2 | a5/8 f#5/4 d5/4 | b5/6 a5/2 g5/4 e5/4 | g5/12 r/4");
  ExpectBeat(m, C, "never A2");
  auto& harm = s.Add(Inst::Flute, 0.28f, -0.35f, 0.45f, 0.15f);
  Harmonize(harm, lead, a2, A2, A2, C, 0.75f);
  m = Seq(flute, C, "e5/4 a5/4 c6/4 e6/4 | d6/12 c6/4 | b5/8 d6/4 b5/4 | g5/12 e5/4 | c6/6 b5/2 a5/4 e5/4 | g5/6 a5/2 d5/8");
  ExpectBeat(m, F, "never coda");
  Seq(flute, F, "g5/16~", 0.55f);
  Seq(bell, F, "g6/16", 0.4f);

  auto& ep = s.Add(Inst::EPiano, 0.32f, -0.15f, 0.35f);
  Arp(ep, 0, intro, {0, 1, 2, 3, 2, 1, 2, 3}, 0.5, 55, 0.5f);
  Arp(ep, A, a, {0, 1, 2, 3, 2, 1, 2, 3}, 0.5, 55, 0.45f);
  Comp(ep, Bs, b, "x.....x...x.....", 60, 0.45f, 5);
  Comp(ep, A2, a2, "x..x..x...x..x..", 60, 0.45f, 2.5);
  Arp(ep, C, coda, {0, 1, 2, 3, 4, 3, 2, 1}, 0.5, 55, 0.45f);
  PadChords(ep, F, Prog("Gmaj9", 4), 60, 0.5f, 5);

  auto& strings = s.Add(Inst::Strings, 0.26f, 0.3f, 0.55f);
  PadChords(strings, Bs, b, 67, 0.45f, 3);
  PadChords(strings, A2, a2, 67, 0.5f, 3);
  PadChords(strings, C, coda, 67, 0.5f, 3);
  PadChords(strings, F, Prog("G", 4), 67, 0.5f, 3);

  auto& box = s.Add(Inst::MusicBox, 0.18f, 0.5f, 0.5f, 0.3f);
  Arp(box, A2, a2, {2, -1, 3, -1, 4, -1, 3, -1}, 0.5, 76, 0.4f);

  auto& bass = s.Add(Inst::Bass, 0.55f, 0.0f, 0.05f);
  BassLine(bass, A, a, "R/12 5/4", 36, 0.7f);
  BassLine(bass, Bs, b, "R/6 5/6 8/4", 36, 0.7f);
  BassLine(bass, A2, a2, "R/6 R/2 5/4 8/4", 36, 0.75f);
  BassLine(bass, C, coda, "R/12 5/4", 36, 0.7f);
  Seq(bass, F, "g1/16~", 0.7f);

  auto& kick = s.AddDrum(Drum::Kick, 0.45f, 0.0f, 0.05f);
  auto& snare = s.AddDrum(Drum::Snare, 0.4f, 0.05f, 0.3f);
  auto& hat = s.AddDrum(Drum::HatClosed, 0.18f, 0.35f, 0.15f);
  auto& rim = s.AddDrum(Drum::Rim, 0.4f, -0.25f, 0.3f);
  auto& crash = s.AddDrum(Drum::Crash, 0.28f, -0.3f, 0.4f);
  Grid(kick, Bs, "x.......x.x.....", 8, 0.65f);
  Grid(rim, Bs, "....x.......x...", 8, 0.55f);
  Grid(kick, A2, "x.....x.x.......", 8, 0.7f);
  Grid(snare, A2, "....x.......x...", 8, 0.65f);
  Grid(hat, A2, "x.o.x.o.x.o.x.o.", 8, 0.55f);
  Grid(snare, A2 - 1, "oxxX", 1, 0.45f);
  Grid(kick, C, "x...............", 6, 0.6f);
  for (double at : {Bs, A2, F}) Grid(crash, at, "x", 1, 0.6f);
  Grid(kick, F, "x", 1, 0.7f);
  return s;
}

}  // namespace music
