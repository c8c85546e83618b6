// Loading built-in stages, opening and saving user stage files, and the last-folder file.
#include <filesystem>

#include "game/play/play_internal.h"
#include "game/play/stage_format.h"
#include "game/scenes.h"
#include "game/shell/frame.h"
#include "game/shell/music_control.h"
#include "platform/api/sys.h"

TUserStage CurrentUserStage(const Game& g) {
  TUserStage s;
  s.Rows = g.StageGridRows;
  s.Style = g.StageStyle;
  s.Theme = g.StageTheme;
  s.Facing = g.StartFacing;
  s.Cleared = g.UserStageCleared;
  return s;
}

void SetStartFacing(Game& g) {
  static constexpr int kLeft[] = {10, 11, 12, 20, 21, 31, 33, 38, 40, 46, 51, 52, 54};
  g.StartFacing = 0;
  for (int s : kLeft)
    if (s == g.StageIndex) g.StartFacing = 1;
}

void LoadStage(Game& g) {
  const int s = g.StageIndex < kBuiltinStageCount ? g.StageIndex : 0;  // callers pass 0..54
  for (int x = 0; x < kGridCols; x++)
    for (int y = 0; y < kGridRows; y++) {
      const uint8_t c = g.BuiltinStages[s * kGridCells + GridIndex(x, y)];
      g.StageGrid[GridIndex(x, y)] = c;
      g.StageGridRows[RowsIndex(x, y)] = c;
    }
  for (int k = 0; k < 8; k++) g.StageStyle[k] = g.StageStyleTable[k][s];
  g.UserStageFileName.clear();
  SetStartFacing(g);
  // A number outside the course keeps the theme it had.
  const int theme = BuiltinStageTheme(g.StageIndex);
  if (theme >= 0) g.StageTheme = static_cast<uint8_t>(theme);
}

void UserStageToGrid(Game& g) {
  for (int x = 0; x < kGridCols; x++)
    for (int y = 0; y < kGridRows; y++) g.StageGrid[GridIndex(x, y)] = g.StageGridRows[RowsIndex(x, y)];
}

bool ReadUserStageFile(Game& g, const std::string& path) {
  // Only what the format holds is read, and only from a regular file: a link to a device, a
  // huge file or a FIFO under a stage's name must neither exhaust memory nor block the game.
  std::vector<uint8_t> bytes;
  if (plat::ReadFileHead(path, kUserStageFileSize + 1, bytes) != 0) return false;
  TUserStage s = CurrentUserStage(g);
  DecodeUserStage(bytes, s);
  g.StageGridRows = s.Rows;
  g.StageStyle = s.Style;
  g.StageTheme = s.Theme;
  g.StartFacing = s.Facing;
  g.UserStageCleared = s.Cleared;
  return true;
}

bool WriteLastFolder(Game& g, const std::string& folder) {
  g.MapFolder = folder;
  // A folder longer than the file's 150 characters is kept for this run only.
  if (!PutMapFolder(g, folder)) return true;
  return WriteMapFolderFile(g) == 0;
}

void OpenUserStage(Game& g) {
  ResetPlayState(g);
  plat::FileDialogSpec request;
  request.initialDir = g.MapFolder;
  request.filter = "からくりマップ(*.krm)|*.krm";
  request.defaultExt = "krm";
  request.fileMustExist = true;
  SetTimer1Enabled(g, true);
  if (g.MusicStartDelay > 10) g.MusicStartDelay = 10;
  const std::optional<std::string> chosen = g.host.OpenFileDialog(request);
  if (chosen) {
    WaitMs(g, 50);
    g.UserStageFileName = *chosen;
    std::error_code ec;
    if (!std::filesystem::exists(*chosen, ec)) {
      SetTimer1Enabled(g, false);
      return;
    }
    g.UserStageCleared = 0;
    // Errors here are silent, as is a failed last-folder write; what was read stays.
    if (!ReadUserStageFile(g, *chosen) ||
        !WriteLastFolder(g, std::filesystem::path(*chosen).parent_path().string())) {
      SetTimer1Enabled(g, false);
      return;
    }
  }
  SetTimer1Enabled(g, false);
  FlushKeys(g);
}

void SaveUserStage(Game& g) {
  if (g.UserStageFileName.empty()) return;
  g.UserStageCleared = 1;
  const std::vector<uint8_t> bytes = EncodeUserStage(CurrentUserStage(g));
  // Written through a temporary file, so a failure leaves the old file whole; the game goes on.
  const int err = plat::WriteFileAtomic(g.UserStageFileName, bytes.data(), bytes.size());
  if (err != 0)
    g.host.MessageBox("クリアの記録を保存できませんでした。\r" + g.UserStageFileName + "\r" + plat::ErrorText(err),
                      kGameTitle, plat::MsgButtons::Ok, plat::MsgIcon::Error);
}
