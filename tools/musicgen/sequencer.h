// The music sequencer: parts with note data written as text, chord-driven accompaniment
// generators, and the renderer that mixes a song with its loop section kept seamless.
#pragma once
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "tools/synth/synth.h"
#include "tools/synth/voices.h"

namespace music {

struct NoteEv {
  double beat;  // start, in beats from the song start
  double len;   // held length in beats
  double midi;
  float vel;
};

struct Part {
  bool isDrum = false;
  synth::Inst inst = synth::Inst::EPiano;
  synth::Drum drum = synth::Drum::Kick;
  float gain = 1.0f;
  float pan = 0.0f;     // -1 left .. 1 right
  float reverb = 0.2f;  // send to the reverb
  float echo = 0.0f;    // send to the echo
  double drumPitch = 1.0;
  float humanize = 1.0f;  // timing and velocity wobble, 0 = exact
  std::vector<NoteEv> notes;
};

struct Chord {
  int root = 0;               // pitch class 0..11
  int bass = 0;               // pitch class of the bass note
  std::vector<int> tones;     // intervals above the root
};
// "C", "Am", "F#m7", "Bbmaj7", "G7", "Dsus4", "Cadd9", "Em7b5", "Bdim", "F/A", "C6".
Chord ParseChord(const std::string& name);
// A progression: chord names separated by spaces, each lasting `beatsEach`.
struct Progression {
  std::vector<Chord> chords;
  double beatsEach = 4;
  const Chord& At(double beatFromStart) const;
  double Beats() const { return chords.size() * beatsEach; }
};
Progression Prog(const std::string& names, double beatsEach = 4);

struct Song {
  std::string name;
  double bpm = 120;
  int beatsPerBar = 4;
  double introBeats = 0, bodyBeats = 0, outroBeats = 0;  // bodyBeats 0: no loop section
  int32_t loopRepeat = 0;   // repeat count written into the loop header (-1 every time)
  float reverbRoom = 0.6f, reverbDamp = 0.4f, reverbReturn = 1.0f;
  double echoBeats = 0.75;
  float echoFeedback = 0.35f;
  float targetRms = 0.12f;
  float fixedGain = 0.0f;  // above 0: this gain instead of levelling (part balance checks)
  std::deque<Part> parts;  // deque: references from Add stay valid

  double BeatSeconds() const { return 60.0 / bpm; }
  Part& Add(synth::Inst inst, float gain, float pan, float reverb, float echo = 0.0f);
  Part& AddDrum(synth::Drum drum, float gain, float pan, float reverb, double pitch = 1.0);
};

// Note text, starting at `beat`: tokens separated by spaces; "|" is ignored.
//   c5 d#4 eb3  a pitch; "r" a rest; "c4+e4+g4" a chord
//   /N          length in sixteenths (kept for the next tokens), e.g. c5/4 is a quarter note
//   suffix ~    tied (held the whole length), suffix ' short, ! accent, ? soft
// Returns the beat after the last token.
double Seq(Part& p, double beat, const std::string& text, float vel = 0.75f, int transpose = 0);
// Drum grid: one character per sixteenth, "x" hit, "X" accent, "o" soft, "." rest; repeated.
double Grid(Part& p, double beat, const std::string& grid, int repeats = 1, float vel = 0.8f);

// Accompaniment from a progression, from `beat` over the progression's length.
// Held chord voiced near `centre` (midi).
void PadChords(Part& p, double beat, const Progression& pr, int centre, float vel = 0.5f, int maxVoices = 4);
// Arpeggio: `pattern` of chord-tone indices (0 = lowest tone at/above `low`), `step` beats each.
void Arp(Part& p, double beat, const Progression& pr, const std::vector<int>& pattern, double step, int low,
         float vel = 0.6f, double gateFrac = 0.9);
// Bass line: tokens "R" root, "5" fifth, "8" octave, "3" third, "7" seventh, "-" rest, "^" the
// next chord's root a step early (approach); each with /N sixteenths as in Seq. One bar pattern
// per chord repeated; `octave` is the midi of C of the bass register.
void BassLine(Part& p, double beat, const Progression& pr, const std::string& pattern, int octaveC, float vel = 0.8f);
// Chord stabs on a sixteenth grid ("x" hit) per chord, voiced near `centre`.
void Comp(Part& p, double beat, const Progression& pr, const std::string& grid, int centre, float vel = 0.55f,
          double gateSixteenths = 1.5);
// A second voice a third or sixth under every melody note, taken from the chord at that time.
void Harmonize(Part& out, const Part& melody, const Progression& pr, double progStart, double fromBeat,
               double toBeat, float velScale = 0.7f);

// Stops the generator when a line of note text does not end where its section does.
void ExpectBeat(double got, double want, const std::string& what);

// Rendered song, with the loop points in frames (both 0 when the song does not loop).
struct Rendered {
  synth::Stereo pcm;
  size_t loopStart = 0, loopEnd = 0;
};
Rendered Render(const Song& s);

}  // namespace music
