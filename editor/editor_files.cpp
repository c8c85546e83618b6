// Loading and saving user stage files, the cleared-mark reset and the folder file.
#include "editor/editor_files.h"

#include <cstring>
#include <filesystem>
#include <optional>
#include <vector>

#include "editor/editor_form.h"
#include "editor/map_edit.h"
#include "game/play/stage_format.h"
#include "platform/api/sys.h"

namespace fs = std::filesystem;
using plat::MsgButtons;
using plat::MsgIcon;
using plat::MsgResult;

namespace {

constexpr size_t kMarkOffset = 310;

plat::MsgResult Box(EditorState& e, const std::string& text, MsgButtons buttons = MsgButtons::Ok) {
  return e.host.MessageBox(text, kEditorTitle, buttons, MsgIcon::None);
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

// Up to `limit` bytes of the file; nullopt when it cannot be opened or read, or is not a
// regular file (a FIFO chosen in the dialog must not hang the editor).
std::optional<std::vector<uint8_t>> ReadBytes(const std::string& path, size_t limit) {
  std::vector<uint8_t> bytes;
  if (plat::ReadFileHead(path, limit, bytes) != 0) return std::nullopt;
  return bytes;
}

int32_t MarkOf(const std::vector<uint8_t>& b) {
  return static_cast<int32_t>(b[kMarkOffset] | b[kMarkOffset + 1] << 8 | b[kMarkOffset + 2] << 16 |
                              static_cast<uint32_t>(b[kMarkOffset + 3]) << 24);
}

std::string FolderOf(const std::string& path) { return fs::path(path).parent_path().string(); }

plat::FileDialogSpec StageDialog(EditorState& e, bool save) {
  plat::FileDialogSpec request;
  request.initialDir = e.EditFolder;
  request.filter = kStageFilter;
  request.defaultExt = "krm";
  request.fileMustExist = !save;
  request.overwritePrompt = save;
  return request;
}

void WriteFolderFile(EditorState& e) {
  // Only a remembered folder is lost when this fails; nothing to report.
  const std::string path = (fs::path(e.ProgramFolder) / kFolderFileName).string();
  plat::WriteFileAtomic(path, e.EditFolderBuf.data(), e.EditFolderBuf.size());
}

// A folder that does not fit the 151-byte buffer leaves the buffer (and the file) alone.
bool PutFolder(EditorState& e, const std::string& folder) {
  if (folder.size() > kMapFolderBufSize - 1) return false;
  std::memcpy(e.EditFolderBuf.data(), folder.c_str(), folder.size() + 1);
  return true;
}

void Recount(EditorState& e) {
  e.BalloonCount = e.JumpPadCount = 0;
  e.PlayerPlaced = e.GoalPlaced = 0;
  for (uint8_t c : e.EditGrid) {
    if (c == ccPlayerStart) e.PlayerPlaced = 1;
    if (c == ccGoal) e.GoalPlaced = 1;
    if (c == ccBalloon) e.BalloonCount++;
    if (c == ccJumpPad) e.JumpPadCount++;
  }
}

}  // namespace

void ReadEditFolderFile(EditorState& e) {
  const std::string path = (fs::path(e.ProgramFolder) / kFolderFileName).string();
  if (!FileExists(path)) {
    e.EditFolder = e.ProgramFolder;
    if (PutFolder(e, e.EditFolder)) WriteFolderFile(e);
  }
  // An unreadable file keeps the folder we have rather than ending the program.
  auto bytes = ReadBytes(path, kMapFolderBufSize);
  if (!bytes) {
    if (e.EditFolder.empty()) e.EditFolder = e.ProgramFolder;
    return;
  }
  std::memcpy(e.EditFolderBuf.data(), bytes->data(), bytes->size());
  size_t n = 0;
  while (n < bytes->size() && (*bytes)[n] != 0) n++;
  e.EditFolder.assign(e.EditFolderBuf.data(), n);
}

void SaveEditFolder(EditorState& e, const std::string& folder) {
  e.EditFolder = folder;
  if (PutFolder(e, folder)) WriteFolderFile(e);
}

void LoadUserStageFile(EditorState& e) {
  auto chosen = e.host.OpenFileDialog(StageDialog(e, false));
  if (!chosen) return;
  WaitMs(e, 50);
  const std::string name = *chosen;
  if (!FileExists(name)) return;
  e.EditCleared = 0;
  auto bytes = ReadBytes(name, kUserStageFileSize);
  if (!bytes) return;
  TUserStage s;
  s.Rows = e.EditGridRows;
  s.Style = e.EditStyle;
  s.Theme = e.EditTheme;
  s.Facing = e.EditStartFacing;
  DecodeUserStage(*bytes, s);
  // A short file is a read error: the fields read so far stay, the rest of the load is skipped.
  e.EditGridRows = s.Rows;
  e.EditStyle = s.Style;
  e.EditTheme = s.Theme;
  e.EditStartFacing = s.Facing;
  if (bytes->size() < static_cast<size_t>(kUserStageFileSize)) return;
  e.EditCleared = s.Cleared;
  e.EditFileName = name;
  SaveEditFolder(e, FolderOf(name));
  for (int x = 0; x < kGridCols; x++)
    for (int y = 0; y < kGridRows; y++) e.EditGrid[GridIndex(x, y)] = e.EditGridRows[RowsIndex(x, y)];
  Recount(e);
}

void SaveUserStageFile(EditorState& e) {
  for (int x = 0; x < kGridCols; x++)
    for (int y = 0; y < kGridRows; y++) e.EditGridRows[RowsIndex(x, y)] = e.EditGrid[GridIndex(x, y)];
  auto chosen = e.host.SaveFileDialog(StageDialog(e, true));
  if (!chosen) return;
  WaitMs(e, 50);
  const std::string name = *chosen;
  if (name == e.EditFileName && FileExists(name)) {
    // The game may have cleared the stage since it was loaded: the file's mark wins.
    auto old = ReadBytes(name, kUserStageFileSize);
    if (!old || old->size() < static_cast<size_t>(kUserStageFileSize)) return;
    const int32_t mark = MarkOf(*old);
    if (mark != e.EditCleared) {
      Box(e, "ファイルとエディタのクリアフラグの値が異なっています。\r\nファイルのクリアフラグの値で保存します。");
      e.EditCleared = mark;
      e.Label5 = ClearedLabel(mark);
    }
  }
  TUserStage s;
  s.Rows = e.EditGridRows;
  s.Style = e.EditStyle;
  s.Theme = e.EditTheme;
  s.Facing = e.EditStartFacing;
  s.Cleared = e.EditCleared;
  const std::vector<uint8_t> bytes = EncodeUserStage(s);
  // Written through a temporary file: a failed save leaves the old file whole.
  if (int err = plat::WriteFileAtomic(name, bytes.data(), bytes.size())) {
    e.host.MessageBox(plat::ErrorText(err), kEditorTitle, MsgButtons::Ok, MsgIcon::Error);
    return;
  }
  SaveEditFolder(e, FolderOf(name));
  e.EditFileName = name;
}

void cmdLoadClick(EditorState& e) {
  LoadUserStageFile(e);
  DrawEditMap(e);
}

void cmdSaveClick(EditorState& e) {
  if (e.PlayerPlaced == 0) {
    Box(e, "プレイヤーを置かないとセーブ出来ません。");
  } else if (e.GoalPlaced == 0) {
    Box(e, "ゴールを置かないとセーブ出来ません。");
  } else {
    SaveUserStageFile(e);
  }
}

void Button14Click(EditorState& e) {
  auto chosen = e.host.OpenFileDialog(StageDialog(e, false));
  if (!chosen || !FileExists(*chosen)) return;
  const std::string name = *chosen;
  WaitMs(e, 50);
  SaveEditFolder(e, FolderOf(name));
  auto bytes = ReadBytes(name, kUserStageFileSize);
  if (!bytes || bytes->size() < static_cast<size_t>(kUserStageFileSize)) return;
  if (MarkOf(*bytes) != 1) {
    Box(e, "選択されたマップデータは現在、未クリア状態です。");
    return;
  }
  if (Box(e, "選択されたマップデータは現在クリア済みとなっています。\r\nこのマップデータを未クリア状態にしてよろしいですか？",
          MsgButtons::YesNo) != MsgResult::Yes)
    return;
  std::memset(bytes->data() + kMarkOffset, 0, 4);
  if (plat::WriteFileAtomic(name, bytes->data(), bytes->size()) != 0) return;
  if (name == e.EditFileName) {
    e.EditCleared = 0;
    e.Label5 = ClearedLabel(0);
  }
}
