// Music control by file name (stand-in until the sound library lands: music is unavailable).
#include "game/shell/music_control.h"

#include "game/game.h"

void PlayMusic(Game& g, const std::string&) { g.SongStatus = 0; }
void ArmMusicStart(Game&) {}
void MusicTick(Game&) {}
void StopMusic(Game& g) { g.SongStatus = 0; }
void Timer1Timer(Game& g) { MusicTick(g); }
void FadeMusicOut(Game&, double) {}
void SetTimer1Enabled(Game& g, bool enabled) {
  if (enabled && g.Timer1 == 0) {
    g.Timer1 = g.host.StartTimer(100, [&g] { Timer1Timer(g); });
  } else if (!enabled && g.Timer1 != 0) {
    g.host.StopTimer(g.Timer1);
    g.Timer1 = 0;
  }
}
