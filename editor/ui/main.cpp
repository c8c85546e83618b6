// The editor's program entry: the Qt application, the editor's host and form, its message loop.
#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "editor/editor_form.h"
#include "editor/ui/editor_host.h"
#include "editor/ui/editor_window.h"
#include "platform/sdl/sdl_audio.h"

namespace {

// No single-instance guard and no command-line options: every start opens a form.
int EditorMain(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QString::fromUtf8(kEditorTitle));
  // The boxes' and dialogs' own buttons in Japanese, like the rest of the form.
  QTranslator qtText;
  if (qtText.load(QLocale(QLocale::Japanese), "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(&qtText);
  editorui::EditorHost host;
  host.SetAudio(std::make_unique<plat::SdlAudioDevice>());
  EditorState e(host);
  editorui::EditorWindow form(e);
  host.SetForm(&form);
  FormCreate(e);
  if (!host.TerminateRequested()) {
    form.Sync();
    form.show();
    e.host.ActivateWindow();
    app.exec();
  }
  FormDestroy(e);
  return 0;
}

}  // namespace

int main(int argc, char** argv) { return EditorMain(argc, argv); }
