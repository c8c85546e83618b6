// The program's folder and files, the error box, the fatal start-up exit and the quit sequence:
// what start-up and the scenes both need, kept below both.
#include "game/shell/program.h"

#include <filesystem>

#include "game/game.h"
#include "game/shell/music_control.h"
#include "game/shell/sound_setup.h"
#include "game/shell/transitions.h"

using plat::MsgButtons;
using plat::MsgIcon;

std::string ProgramFile(Game& g, const std::string& name) {
  return (std::filesystem::path(g.ProgramFolder) / name).string();
}

void EnterProgramFolder(Game& g) {
  std::error_code ec;
  std::filesystem::current_path(g.ProgramFolder, ec);
}

void ShowError(Game& g, const std::string& message) {
  g.host.MessageBox(message, kGameTitle, MsgButtons::Ok, MsgIcon::Error);
}

void FatalStartupExit(Game& g, const std::string& message, bool decoderFailure) {
  ShowError(g, message);
  g.StartupFailed = 1;
  g.QuitRequested = 1;
  g.Paused = 1;
  g.host.ShowWindow(false);
  if (decoderFailure) g.MusicState = 2;
  g.host.Terminate();
}

void QuitSequence(Game& g) {
  g.QuitRequested = 1;
  g.Paused = 1;
  StopMusic(g);
  g.host.ShowWindow(false);
  LeaveFullScreen(g);
  ShutSoundPlayers(g);
  g.host.Terminate();
}
