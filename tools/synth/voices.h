// Instruments and drum voices built from the synthesiser: each renders one note into a buffer.
#pragma once
#include <cstdint>

#include "tools/synth/synth.h"

namespace synth {

enum class Inst : uint8_t {
  EPiano,    // two-operator FM electric piano
  Bell,      // glassy FM bell
  MusicBox,  // tinkly comb partials
  Marimba,   // wooden mallet
  Pluck,     // plucked string (Karplus-Strong)
  Lead,      // soft pulse lead with vibrato
  Flute,     // breathy sine lead
  Pad,       // detuned saws, slow swell
  Strings,   // bowed ensemble
  Bass,      // round finger bass
  SynthBass, // filtered saw bass
  Organ,     // soft drawbar organ
  Brass,     // bright swelling saw section
};

enum class Drum : uint8_t { Kick, Snare, HatClosed, HatOpen, Shaker, Clap, Rim, Tom, Crash, Triangle, Tambourine };

// Renders a note of `gate` seconds at `hz` and velocity 0..1 into `out` (resized to the note's
// whole length including its release). `seed` varies noise and small detunes between notes.
void RenderNote(Inst inst, double hz, double gate, float vel, uint32_t seed, Mono& out);
void RenderDrum(Drum drum, float vel, uint32_t seed, Mono& out, double pitch = 1.0);

}  // namespace synth
