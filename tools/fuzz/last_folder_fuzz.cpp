// Fuzzes the last-folder files: the game's "plumet.str" and the editor's "pledit.str" readers
// get the same bytes, must agree on the folder (the text up to the first NUL of the 151-byte
// buffer), and the game's write-back must read as the same folder.
#include <unistd.h>

#include <algorithm>
#include <string>

#include "editor/editor_files.h"
#include "editor/editor_state.h"
#include "game/game.h"
#include "game/play/stage_data_file.h"
#include "platform/null/null_host.h"
#include "tools/fuzz/fuzz_support.h"

namespace {

void ResetFolder(EditorState& e) {
  e.ProgramFolder = {};
  e.EditFolder = {};
  e.EditFolderBuf.fill(0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::WriteInput("plumet.str", data, size);
  fuzz::WriteInput(kFolderFileName, data, size);
  fuzz::Check(::chdir(fuzz::WorkDir().c_str()) == 0, "cannot enter the scratch folder");

  const size_t limit = std::min<size_t>(size, kMapFolderBufSize);
  const std::string expected(reinterpret_cast<const char*>(data),
                             std::find(data, data + limit, 0) - data);

  plat::NullHost host;
  host.SetAudioFollowsClock(false);  // nothing plays; rendering would only cost time
  Game g(host);
  g.ProgramFolder = fuzz::WorkDir();
  ReadMapFolderFile(g);
  fuzz::Check(g.MapFolder == expected, "the game read another folder");

  // One editor for the whole run: a fresh one costs its 1.2 MB picture each time. Its folder
  // state starts empty on every input and is freed after it (libFuzzer takes memory kept from
  // one input to the next for a leak).
  static plat::NullHost& editorHost = *new plat::NullHost;
  static EditorState& e = *new EditorState(editorHost);
  struct ResetAfter {
    EditorState& e;
    ~ResetAfter() { ResetFolder(e); }
  } resetAfter{e};
  ResetFolder(e);
  e.ProgramFolder = fuzz::WorkDir();
  ReadEditFolderFile(e);
  fuzz::Check(e.EditFolder == expected, "the editor read another folder");

  fuzz::Check(WriteMapFolderFile(g) == 0, "cannot write the folder file back");
  Game again(host);
  again.ProgramFolder = fuzz::WorkDir();
  ReadMapFolderFile(again);
  fuzz::Check(again.MapFolder == expected, "the folder file written back reads as another folder");
  fuzz::Check(host.DialogLog.empty(), "a readable folder file gave a message");
  return 0;
}
