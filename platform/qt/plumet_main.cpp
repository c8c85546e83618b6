// The game's program entry: the Qt application, the windowed host and the game on it.
#include <QApplication>
#include <memory>

#include "game/game.h"
#include "game/shell/main_form.h"
#include "platform/qt/qt_host.h"
#include "platform/sdl/sdl_audio.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QString::fromUtf8(kGameTitle));
  plat::QtHost host;
  // The sound output under the sound library; it falls back to silence without a sound card.
  host.SetAudio(std::make_unique<plat::SdlAudioDevice>());
  Game g(host);
  return ProgramMain(g);
}
