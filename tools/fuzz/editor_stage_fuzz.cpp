// Fuzzes the editor's stage loader: LOAD reads the dialog's .krm, saving it again under the same
// name gives back the same 314 bytes, and lowering a set cleared mark changes only the mark.
#include <algorithm>

#include "editor/editor_files.h"
#include "editor/editor_state.h"
#include "game/play/stage_format.h"
#include "platform/null/null_host.h"
#include "tools/fuzz/fuzz_support.h"

namespace {

// One host and one editor for the whole run: a fresh editor costs its 1.2 MB picture each time.
// Everything the file commands read or set is put back to a new editor's values around every
// input, memory included (libFuzzer takes memory kept from one input to the next for a leak).
struct Reused {
  plat::NullHost host;
  EditorState e{host};

  Reused() { host.SetAudioFollowsClock(false); }  // nothing plays; rendering would only cost time
  void Reset() {
    host.DialogLog = {};
    host.FileDialogLog = {};
    host.Answers = {};
    host.OpenAnswers = {};
    host.SaveAnswers = {};
    e.EditGrid.fill(0);
    e.EditGridRows.fill(0);
    e.EditStyle.fill(0);
    e.EditStartFacing = e.EditTheme = 0;
    e.BalloonCount = e.JumpPadCount = 0;
    e.PlayerPlaced = e.GoalPlaced = 0;
    e.EditCleared = 0;
    e.EditFileName = {};
    e.EditFolder = {};
    e.EditFolderBuf.fill(0);
    e.Label5 = {};
    e.ProgramFolder = {};
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz::WriteInput("stage.krm", data, size);
  const std::vector<uint8_t> bytes(data, data + size);
  static Reused& reused = *new Reused;
  struct ResetAfter {
    Reused& r;
    ~ResetAfter() { r.Reset(); }
  } resetAfter{reused};
  reused.Reset();
  plat::NullHost& host = reused.host;
  EditorState& e = reused.e;
  e.ProgramFolder = fuzz::WorkDir();

  TUserStage decoded;
  decoded.Rows = e.EditGridRows;
  decoded.Style = e.EditStyle;
  decoded.Theme = e.EditTheme;
  decoded.Facing = e.EditStartFacing;
  DecodeUserStage(bytes, decoded);
  host.OpenAnswers.push_back(path);
  LoadUserStageFile(e);
  fuzz::Check(e.EditGridRows == decoded.Rows && e.EditStyle == decoded.Style && e.EditTheme == decoded.Theme &&
                  e.EditStartFacing == decoded.Facing,
              "the editor read the stage differently from the codec");
  if (size < static_cast<size_t>(kUserStageFileSize)) {
    // A short file is a failed load: no file name, no mark.
    fuzz::Check(e.EditFileName.empty() && e.EditCleared == 0, "a short file was taken as loaded");
    return 0;
  }
  fuzz::Check(e.EditFileName == path && e.EditCleared == decoded.Cleared, "a whole file was not loaded");
  int balloons = 0, pads = 0;
  for (int x = 0; x < kGridCols; x++)
    for (int y = 0; y < kGridRows; y++) {
      const uint8_t c = e.EditGrid[GridIndex(x, y)];
      fuzz::Check(c == e.EditGridRows[RowsIndex(x, y)], "the grid is not the file's rows");
      balloons += c == ccBalloon;
      pads += c == ccJumpPad;
    }
  fuzz::Check(e.BalloonCount == balloons && e.JumpPadCount == pads, "the object counts are wrong");

  const std::vector<uint8_t> expected(bytes.begin(), bytes.begin() + kUserStageFileSize);
  host.SaveAnswers.push_back(path);
  SaveUserStageFile(e);
  fuzz::Check(fuzz::ReadFile(path) == expected, "saving an unchanged stage changed its file");

  // Lowering the mark: asks only for a mark of 1, and then writes it as 0.
  host.OpenAnswers.push_back(path);
  Button14Click(e);
  std::vector<uint8_t> lowered = expected;
  if (decoded.Cleared == 1) std::fill(lowered.end() - 4, lowered.end(), 0);
  fuzz::Check(fuzz::ReadFile(path) == lowered, "lowering the mark changed more than the mark");
  return 0;
}
