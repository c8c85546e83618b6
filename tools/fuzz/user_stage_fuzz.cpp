// Fuzzes a user stage file (.krm) as the game opens it from the EDIT GAME screen: the dialog's
// file is read, the last folder is remembered, the board is set up from the cells, and a clear
// writes the file back with its mark set.
#include <unistd.h>

#include <algorithm>
#include <utility>

#include "game/game.h"
#include "game/play/play.h"
#include "game/play/stage_format.h"
#include "platform/null/null_host.h"
#include "tools/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz::WriteInput("stage.krm", data, size);
  fuzz::Check(::chdir(fuzz::WorkDir().c_str()) == 0, "cannot enter the scratch folder");
  plat::NullHost host;
  host.SetAudioFollowsClock(false);  // nothing plays; rendering would only cost time
  Game g(host);
  g.ProgramFolder = fuzz::WorkDir();
  // The board picture is lent from one kept for the whole run (a fresh one costs 1.2 MB).
  static plat::Bitmap& board = *new plat::Bitmap(640, 480);
  struct Lend {
    plat::Bitmap& a;
    plat::Bitmap& b;
    ~Lend() { std::swap(a, b); }
  } lend{g.BoardLayer, board};
  std::swap(g.BoardLayer, board);

  TUserStage before = CurrentUserStage(g);
  before.Cleared = 0;  // opening a file clears the mark before reading
  host.OpenAnswers.push_back(path);
  OpenUserStage(g);
  const TUserStage after = CurrentUserStage(g);

  const std::vector<uint8_t> bytes(data, data + size);
  TUserStage decoded = before;
  DecodeUserStage(bytes, decoded);
  // A file read is remembered by its folder; it reads as the codec reads it. A refused file
  // changes nothing.
  const bool read = g.MapFolder == fuzz::WorkDir();
  fuzz::Check(after == (read ? decoded : before), "the stage is neither the file nor the old stage");
  if (!read) return 0;

  // The board setup already picks the first action, which may be a whole scene (a start on the
  // goal clears the stage): one frame of it is enough.
  g.StageIndex = kUserStageIndex;
  UserStageToGrid(g);
  host.StopAfterFrames(host.Frames() + 1);
  try {
    SetupPlayBoard(g);
  } catch (const plat::StopRun&) {
  }

  // A clear rewrites the file whole with the mark set; the rest of a full-size file is kept.
  SaveUserStage(g);
  const std::vector<uint8_t> saved = fuzz::ReadFile(path);
  fuzz::Check(saved.size() == static_cast<size_t>(kUserStageFileSize), "the saved stage has the wrong size");
  if (size >= static_cast<size_t>(kUserStageFileSize)) {
    std::vector<uint8_t> expected(bytes.begin(), bytes.begin() + kUserStageFileSize);
    const uint8_t mark[4] = {1, 0, 0, 0};
    std::copy(mark, mark + 4, expected.end() - 4);
    // The board setup may only have changed cells of StageGrid, never the file's rows.
    fuzz::Check(saved == expected, "saving a cleared stage changed more than its mark");
  }
  return 0;
}
