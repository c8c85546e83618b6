// Start-up reads of "plumet.map" (the built-in course) and "plumet.str" (the last folder).
#include "game/play/stage_data_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include "game/game.h"
#include "game/play/stage_format.h"
#include "game/shell/program.h"
#include "platform/api/sys.h"

namespace {

constexpr const char* kStageDataFile = "plumet.map";
constexpr const char* kMapFolderFile = "plumet.str";

}  // namespace

bool LoadStageData(Game& g) {
  std::error_code ec;
  if (!std::filesystem::exists(kStageDataFile, ec)) {
    FatalStartupExit(g, "マップデータが見つかりません。", false);
    return false;
  }
  // Only the file's own size is read, and only from a regular file (a FIFO must not block
  // the start).
  std::vector<uint8_t> raw;
  const bool ok = plat::ReadFileHead(kStageDataFile, kStageDataFileSize, raw) == 0;
  // A short file is not an error: whatever it lacks stays zero.
  raw.resize(kStageDataFileSize, 0);
  if (!ok) {
    FatalStartupExit(g, "マップデータの読みこみに失敗しました。", false);
    return false;
  }
  DecodeStageData(raw, g.BuiltinStages, g.StageStyleTable);
  if (g.BuiltinStages[1 * kGridCells + GridIndex(1, 1)] != ccEmpty) {
    FatalStartupExit(g, "マップデータが壊れています。", false);
    return false;
  }
  return true;
}

bool PutMapFolder(Game& g, const std::string& folder) {
  // The buffer holds 150 bytes and the NUL; a longer path is not stored.
  if (folder.size() >= static_cast<size_t>(kMapFolderBufSize)) return false;
  std::memcpy(g.MapFolderBuf.data(), folder.data(), folder.size());
  g.MapFolderBuf[folder.size()] = '\0';
  return true;
}

int WriteMapFolderFile(Game& g) {
  return plat::WriteFileAtomic(ProgramFile(g, kMapFolderFile), g.MapFolderBuf.data(),
                               g.MapFolderBuf.size());
}

void ReadMapFolderFile(Game& g) {
  std::string path = ProgramFile(g, kMapFolderFile);
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) {
    std::string cwd = std::filesystem::current_path(ec).string();
    PutMapFolder(g, cwd);
    if (int err = WriteMapFolderFile(g)) {
      ShowError(g, "フォルダ記録ファイル(plumet.str)を作成できませんでした。\r" + plat::ErrorText(err));
    }
    EnterProgramFolder(g);
  }
  std::vector<uint8_t> buf;
  if (int err = plat::ReadFileHead(path, kMapFolderBufSize, buf)) {
    if (err != ENOENT)
      ShowError(g, "フォルダ記録ファイル(plumet.str)を読みこめませんでした。\r" + plat::ErrorText(err));
  } else {
    std::memcpy(g.MapFolderBuf.data(), buf.data(), buf.size());
  }
  // The text up to the first NUL; a buffer without one is taken whole.
  size_t n = 0;
  while (n < g.MapFolderBuf.size() && g.MapFolderBuf[n] != '\0') ++n;
  g.MapFolder.assign(g.MapFolderBuf.data(), n);
}
