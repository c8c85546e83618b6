// Music control by file name: one song at a time in slot 0 of the mixer.
#pragma once
#include <cstdint>
#include <string>

struct Game;

struct MusicControlState {
  uint8_t MusicState = 1;  // 1 music available; 2 the decoder was missing or failed
  uint8_t SongStatus = 0;
  std::string CurrentSongFile;
  int32_t SongLoadTime = 0;
  uint8_t SongLoadPhase = 0;
  int32_t MusicStartDelay = 0;
  int Timer1 = 0;  // host timer id while the 100 ms music timer runs; 0 when disabled
};

void PlayMusic(Game& g, const std::string& fileName);
void ArmMusicStart(Game& g);
void MusicTick(Game& g);
void StopMusic(Game& g);
void Timer1Timer(Game& g);
// The wipe's music fade: slot 0 fades to volume 0.0 over `seconds`, then is set playing
// without looping (so a finished fade leaves the song stopped where it was).
void FadeMusicOut(Game& g, double seconds);
// Enables or disables the form's 100 ms music timer.
void SetTimer1Enabled(Game& g, bool enabled);
