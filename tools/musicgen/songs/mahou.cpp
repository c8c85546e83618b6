// Area theme 5, "mahou": mysterious and magical; celesta and triplet arpeggios in D minor.
#include "tools/musicgen/songs.h"

namespace music {

using synth::Drum;
using synth::Inst;

Song Mahou() {
  Song s;
  s.name = "Mahou no Komichi wo Nukete";
  s.bpm = 1920.0 / 18;  // 2.25 s a bar
  s.introBeats = 8;
  s.bodyBeats = 88;
  s.outroBeats = 8;
  s.loopRepeat = 1;
  s.reverbRoom = 0.8f;
  s.reverbDamp = 0.35f;
  s.echoBeats = 1.0 / 1.5;
  s.echoFeedback = 0.4f;
  const double B = 8, O = 96;

  Progression intro = Prog("Em7b5 A7");
  Progression a = Prog("Dm Bbmaj7 Gm6 A7 Dm Bbmaj7 Em7b5 A7");
  Progression b = Prog("Gm7 C7 Fmaj7 Bbmaj7 Em7b5 A7 Dm D7");
  Progression c = Prog("Gm Gm6 Dm/F Bbmaj7 Em7b5 A7");

  auto& cel = s.Add(Inst::Bell, 0.5f, 0.1f, 0.45f, 0.3f);
  double m = B;
  m = Seq(cel, m, "a4/4 d5/4 e5/4 f5/4 | f5/6 e5/2 d5/8 | e5/6 d5/2 bb4/8 | c#5/8 e5/4 a4/4");
  m = Seq(cel, m, "a4/4 d5/4 f5/4 a5/4 | bb5/6 a5/2 f5/8 | g5/6 f5/2 e5/4 bb4/4 | a4/4 c#5/4 e5/4 g5/4");
  m = Seq(cel, m, "f5/8 d5/4 bb4/4 | e5/6 f5/2 g5/8 | a5/12 c6/4 | d6/8 a5/8");
  m = Seq(cel, m, "bb5/6 a5/2 g5/4 e5/4 | c#5/4 e5/4 g5/4 bb5/4 | a5/16 | f#5/8 a5/4 c6/4");
  m = Seq(cel, m, "bb5/6 a5/2 g5/4 d5/4 | e5/8 g5/4 bb5/4 | a5/6 f5/2 d5/8 | f5/4 a5/4 d6/8");
  m = Seq(cel, m, "d6/6 c6/2 bb5/4 g5/4 | c#6/8 a5/4 e5/4");
  ExpectBeat(m, O, "mahou melody");
  Seq(cel, O, "d5/4 f5/4 a5/4 d6/4 | d6/16", 0.55f);

  auto& organ = s.Add(Inst::Organ, 0.3f, -0.15f, 0.5f);
  PadChords(organ, 0, intro, 62, 0.4f);
  PadChords(organ, B, a, 62, 0.4f);
  PadChords(organ, B + 32, b, 62, 0.45f);
  PadChords(organ, B + 64, c, 62, 0.45f);
  PadChords(organ, O, Prog("Dm", 8), 62, 0.4f);

  auto& box = s.Add(Inst::MusicBox, 0.28f, 0.45f, 0.45f, 0.3f);
  Arp(box, 0, intro, {0, 1, 2, 3, 2, 1}, 1.0 / 3, 62, 0.5f);
  Arp(box, B, a, {0, 1, 2, 3, 2, 1}, 1.0 / 3, 62, 0.45f);
  Arp(box, B + 32, b, {0, 2, 1, 3, 2, 4}, 1.0 / 3, 62, 0.5f);
  Arp(box, B + 64, c, {0, 1, 2, 3, 4, 5}, 1.0 / 3, 62, 0.5f);

  auto& pluck = s.Add(Inst::Pluck, 0.35f, -0.45f, 0.4f);
  Harmonize(pluck, cel, b, B + 32, B + 32, B + 64, 0.75f);

  auto& strings = s.Add(Inst::Strings, 0.2f, 0.3f, 0.6f);
  PadChords(strings, B + 64, c, 69, 0.45f, 3);

  auto& bass = s.Add(Inst::Bass, 0.55f, 0.0f, 0.05f);
  BassLine(bass, B, a, "R/6 R/2 5/4 8/4", 36, 0.7f);
  BassLine(bass, B + 32, b, "R/6 5/2 8/4 5/4", 36, 0.7f);
  BassLine(bass, B + 64, c, "R/6 R/2 5/4 ^/4", 36, 0.7f);
  Seq(bass, O, "d2/16 | d2/16", 0.7f);

  auto& tom = s.AddDrum(Drum::Tom, 0.3f, -0.2f, 0.35f, 0.8);
  auto& shaker = s.AddDrum(Drum::Shaker, 0.24f, 0.35f, 0.3f);
  auto& rim = s.AddDrum(Drum::Rim, 0.3f, 0.2f, 0.4f, 0.8);
  auto& tri = s.AddDrum(Drum::Triangle, 0.25f, -0.45f, 0.6f);
  Grid(tom, B, "x.......x.x.....", 22, 0.6f);
  Grid(shaker, B + 32, "x..o.ox..o.ox..o", 14, 0.5f);
  Grid(rim, B + 32, "....x.......x...", 14, 0.45f);
  Grid(tri, B, "x...............................", 11, 0.45f);
  Grid(tri, O, "x", 1, 0.55f);
  return s;
}

}  // namespace music
