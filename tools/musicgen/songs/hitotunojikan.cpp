// Area theme 0, "hitotunojikan": calm and bright; flute over electric piano in D major.
#include "tools/musicgen/songs.h"

namespace music {

using synth::Drum;
using synth::Inst;

Song Hitotunojikan() {
  Song s;
  s.name = "Hitotsu no Jikan";
  s.bpm = 96;  // 2.5 s a bar
  s.introBeats = 8;
  s.bodyBeats = 80;
  s.outroBeats = 8;
  s.loopRepeat = 1;
  s.reverbRoom = 0.7f;
  s.echoBeats = 0.75;
  const double B = 8, O = 88;

  Progression intro = Prog("Gmaj7 A7sus4");
  Progression a = Prog("D Bm7 Gmaj7 A7 D F#m7 Gmaj7 A");
  Progression b = Prog("Gmaj7 A F#m7 Bm7 Em7 A Gmaj7 A7sus4");
  Progression c = Prog("Em7 F#m7 Gmaj7 A7");

  auto& flute = s.Add(Inst::Flute, 0.7f, 0.12f, 0.35f, 0.18f);
  double m = B;
  m = Seq(flute, m, "f#5/6 e5/2 d5/4 a4/4 | b4/6 c#5/2 d5/4 f#5/4 | g5/6 f#5/2 e5/4 d5/4 | e5/12 r/4");
  m = Seq(flute, m, "f#5/6 e5/2 d5/4 a5/4 | c#6/6 b5/2 a5/8 | b5/4 a5/4 g5/4 f#5/4 | e5/8 r/4 a4/4");
  m = Seq(flute, m, "b4/4 d5/4 g5/4 f#5/4 | e5/6 c#5/2 a4/8 | c#5/4 e5/4 a5/6 f#5/2 | f#5/8 d5/4 b4/4");
  m = Seq(flute, m, "g5/6 f#5/2 e5/4 b4/4 | c#5/4 e5/4 a5/8 | b5/6 a5/2 g5/4 d5/4 | e5/12 r/4");
  m = Seq(flute, m, "d5/4 e5/4 g5/4 b5/4 | a5/6 c#6/2 a5/8 | d6/6 b5/2 g5/8 | a5/8 g5/4 e5/4");
  ExpectBeat(m, O, "hitotunojikan melody");
  Seq(flute, O, "f#5/4 a5/4 d6/8~", 0.6f);

  auto& second = s.Add(Inst::MusicBox, 0.3f, -0.35f, 0.4f, 0.2f);
  Harmonize(second, flute, b, B + 32, B + 32, B + 64, 0.8f);

  auto& ep = s.Add(Inst::EPiano, 0.36f, -0.2f, 0.3f);
  PadChords(ep, 0, intro, 62, 0.5f);
  Comp(ep, B, a, "x.....x...x.....", 62, 0.5f, 5);
  Comp(ep, B + 32, b, "x.....x...x.....", 62, 0.5f, 5);
  Comp(ep, B + 64, c, "x.....x...x...x.", 62, 0.5f, 3);
  PadChords(ep, O, Prog("Dmaj7", 8), 62, 0.55f);

  auto& strings = s.Add(Inst::Strings, 0.22f, 0.3f, 0.5f);
  PadChords(strings, B + 32, b, 67, 0.45f, 3);
  PadChords(strings, B + 64, c, 67, 0.5f, 3);

  auto& box = s.Add(Inst::MusicBox, 0.22f, 0.45f, 0.45f, 0.25f);
  Arp(box, 0, intro, {0, 1, 2, 3, 4, 3, 2, 1}, 0.5, 74, 0.5f);
  Arp(box, B + 64, c, {0, 2, 1, 3, 2, 4, 3, 1}, 0.5, 74, 0.45f);

  auto& bass = s.Add(Inst::Bass, 0.62f, 0.0f, 0.05f);
  BassLine(bass, B, a, "R/6 5/6 8/4", 36, 0.75f);
  BassLine(bass, B + 32, b, "R/6 5/6 8/4", 36, 0.75f);
  BassLine(bass, B + 64, c, "R/6 5/2 8/4 5/4", 36, 0.75f);
  Seq(bass, O, "d2/16", 0.75f);

  auto& kick = s.AddDrum(Drum::Kick, 0.5f, 0.0f, 0.05f);
  auto& rim = s.AddDrum(Drum::Rim, 0.45f, -0.25f, 0.25f);
  auto& shaker = s.AddDrum(Drum::Shaker, 0.3f, 0.3f, 0.2f);
  Grid(kick, B, "x.......x.x.....", 20, 0.7f);
  Grid(rim, B, "....x.......x...", 20, 0.6f);
  Grid(shaker, B + 32, "x.o.x.o.x.o.x.oo", 12, 0.6f);
  auto& tri = s.AddDrum(Drum::Triangle, 0.4f, 0.4f, 0.4f);
  Grid(tri, O, "x", 1, 0.7f);
  Grid(kick, O, "x", 1, 0.6f);
  return s;
}

}  // namespace music
