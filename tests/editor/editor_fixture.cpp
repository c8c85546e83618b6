// Test aid: the editor on the headless host.
#include "tests/editor/editor_fixture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

namespace edtest {

uint8_t CodeOf(char c) {
  switch (c) {
    case '#': return ccBlock;
    case '.': return ccEmpty;
    case 'P': return ccPlayerStart;
    case 'G': return ccGoal;
    case 'b': return ccBalloon;
    case 'j': return ccJumpPad;
    case 'k': return ccKey;
    case 'L': return ccLadder;
    default: throw std::invalid_argument(std::string("cell letter ") + c);
  }
}

std::vector<uint8_t> StageFile(const std::vector<std::string>& rows, std::array<uint8_t, 8> fileSelectors,
                               uint8_t theme, uint8_t facing, int32_t mark) {
  std::vector<uint8_t> out;
  for (int y = 0; y < 15; y++)
    for (int x = 0; x < 20; x++) out.push_back(CodeOf(rows.at(y).at(x)));
  for (uint8_t b : fileSelectors) out.push_back(b);
  out.push_back(theme);
  out.push_back(facing);
  const auto m = static_cast<uint32_t>(mark);
  for (int i = 0; i < 4; i++) out.push_back(static_cast<uint8_t>(m >> (8 * i)));
  return out;
}

std::vector<std::string> Bordered(const std::vector<std::string>& inner) {
  std::vector<std::string> rows(15, "#" + std::string(18, '.') + "#");
  rows[0] = rows[14] = std::string(20, '#');
  for (size_t i = 0; i < inner.size() && i < 13; i++) rows[i + 1] = "#" + (inner[i] + std::string(18, '.')).substr(0, 18) + "#";
  return rows;
}

ProgramFolder::ProgramFolder(bool withDecoder) {
  std::string tmpl = (fs::temp_directory_path() / "plumetedit-test-XXXXXX").string();
  if (!::mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
  path_ = tmpl;
  fs::create_directories(path_ + "/plumetogg");
  if (withDecoder) {
    const char* dist = std::getenv("PLUMET_DIST");
    const std::string src = std::string(dist && *dist ? dist : PLUMET_DIST_DIR) + "/plumetogg/wuvorbis.dll";
    fs::copy_file(src, File("plumetogg/wuvorbis.dll"), fs::copy_options::overwrite_existing);
  }
}

ProgramFolder::~ProgramFolder() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

void ProgramFolder::Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
  fs::create_directories(fs::path(File(name)).parent_path());
  std::ofstream out(File(name), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> ProgramFolder::Read(const std::string& name) const {
  std::ifstream in(File(name), std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool ProgramFolder::Exists(const std::string& name) const { return fs::exists(File(name)); }

Editor::Editor(bool create) {
  host.SetProgramPath(folder.File("plumetedit"));
  if (create) Create();
}

void Editor::Create() {
  FormCreate(e);
  e.RepaintForm = [this] { repaints++; };
}

Editor::~Editor() { FormDestroy(e); }

void Editor::Put(int part, int col, int row) {
  e.SelectedPart = part;
  MoveTo(col, row);
  picDisplayMouseDown(e, MouseButton::Left);
  picDisplayMouseUp(e);
}

std::string Editor::Line(const std::string& text, const char* buttons) {
  std::string t;
  for (char c : text) {
    if (c == '\r') t += "\\r";
    else if (c == '\n') t += "\\n";
    else t += c;
  }
  return std::string(kEditorTitle) + " | " + t + " | " + buttons;
}

}  // namespace edtest
