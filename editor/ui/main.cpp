// The editor's program entry: the Qt application, the editor's host and form, its message loop.
#include <QApplication>

#include "editor/editor_form.h"
#include "editor/ui/editor_host.h"
#include "editor/ui/editor_window.h"
#include "platform/sdl/sdl_audio.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QString::fromUtf8(kEditorTitle));
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
