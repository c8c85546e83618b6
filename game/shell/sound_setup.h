// The main form's sound steps: creating and loading the wave players, the sound device, the
// music objects and the stream's notify handler; freeing the players' data; the music teardown.
#pragma once
#include <cstdint>
#include <string>

struct Game;
class TDDSDGenWave;
class TDDSDChannel;

// The wave players' files, WavePlayer1..20 in order.
extern const char* const kWavePlayerFiles[20];

// Start-up: the 20 players, Enabled, not Sync, their file names, taken from the program
// folder's "plumetwave/".
void CreateWavePlayers(Game& g);
// Loads each player whose file exists (a missing or unreadable file leaves it silent).
void LoadWavePlayers(Game& g);
// DDSD1 with [dsoHaltOnError], then its Loaded (opens the device). The stream's notify worker
// is the output's: a thread on the windowed output, the virtual clock's periods on the headless
// one, so headless runs stay deterministic.
void CreateSoundDevice(Game& g);
// True when "plumetogg/wuvorbis.dll" exists in the program's folder.
bool DecoderPresent(Game& g);
// Loads the decoder (a library lacking an export counts as a
// failure), creates OggPlayer, OggData and WaveData, hooks OnStreamNotify and starts channel 0.
// Throws a std::exception on any failure.
void CreateMusicObjects(Game& g);
// The stream's notify handler (notify thread): mix the next half and write it.
void OnStreamNotify(Game& g, TDDSDGenWave* sender, TDDSDChannel* channel, uint32_t offset,
                    uint32_t length);
// Frees the sound data of WavePlayer1..20, in order (the quit sequence).
void ShutSoundPlayers(Game& g);
// FormDestroy's music part, after StopMusic: stop channel 0 and detach it, free WaveData, OggData
// and OggPlayer where created, unload the decoder.
void TearDownMusic(Game& g);
// Plays wave player `player` (1..20): noStop leaves a sound already playing alone. Nothing while
// quitting or with sound effects off.
void PlaySound(Game& g, int player, bool noStop);
