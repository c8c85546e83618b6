// The game's program entry: the Qt application, the windowed host and the game on it.
#include <QApplication>

#include "game/game.h"
#include "game/shell/main_form.h"
#include "platform/qt/qt_host.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QString::fromUtf8(kGameTitle));
  plat::QtHost host;
  // The sound output: the host starts with a silent device; the SDL device goes in here with
  // host.SetAudio(...) once it exists.
  Game g(host);
  return ProgramMain(g);
}
