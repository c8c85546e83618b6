// Test aid: the editor form created on the headless host in a temporary program folder, with
// mouse helpers and user stage files written byte by byte from rows of text.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "editor/editor_form.h"
#include "editor/editor_state.h"
#include "editor/map_edit.h"
#include "platform/null/null_host.h"

namespace edtest {

// Cell letters: '#' block, '.' empty, 'P' player start, 'G' goal, 'b' balloon, 'j' jump pad,
// 'k' key, 'L' ladder.
uint8_t CodeOf(char c);

// A 314-byte user stage file: 15 rows of 20 letters, the selector bytes in file order (barrier
// last), theme, facing and the mark, little-endian.
std::vector<uint8_t> StageFile(const std::vector<std::string>& rows, std::array<uint8_t, 8> fileSelectors,
                               uint8_t theme, uint8_t facing, int32_t mark);
// 15 rows: a border of blocks, with `inner` rows (up to 18 letters, padded with '.') from row 1 on, the rest empty.
std::vector<std::string> Bordered(const std::vector<std::string>& inner);

// The editor's program folder in a fresh temporary directory (removed at the end), holding the
// built decoder library under "plumetogg".
class ProgramFolder {
 public:
  explicit ProgramFolder(bool withDecoder = true);
  ~ProgramFolder();
  ProgramFolder(const ProgramFolder&) = delete;
  ProgramFolder& operator=(const ProgramFolder&) = delete;

  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  void Write(const std::string& name, const std::vector<uint8_t>& bytes) const;
  std::vector<uint8_t> Read(const std::string& name) const;
  bool Exists(const std::string& name) const;

 private:
  std::string path_;
};

struct Editor {
  ProgramFolder folder;
  plat::NullHost host;
  EditorState e{host};
  int repaints = 0;

  explicit Editor(bool create = true);
  ~Editor();
  void Create();

  void MoveTo(int col, int row) { picDisplayMouseMove(e, 32 * col + 16, 32 * row + 16); }
  // A left click on a cell with `part` selected.
  void Put(int part, int col, int row);
  uint8_t Cell(int col, int row) const { return e.EditGrid[GridIndex(col, row)]; }
  std::string LastDialog() const { return host.DialogLog.empty() ? "" : host.DialogLog.back(); }
  // "caption | text | buttons" as the headless host logs it.
  static std::string Line(const std::string& text, const char* buttons = "ok");
};

}  // namespace edtest
