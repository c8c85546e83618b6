// plumet-stagec: builds "plumet.map" and user stage files (.krm) from text stages, and prints
// a .krm or a stage of a map back as text.
//
//   plumet-stagec map OUT.map [--krm-dir DIR] STAGE.txt...   (slot from the "NN-" file name)
//   plumet-stagec krm IN.txt OUT.krm
//   plumet-stagec dump FILE.krm
//   plumet-stagec dump FILE.map SLOT
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "game/play/stage_format.h"
#include "game/play/stage_text.h"

namespace fs = std::filesystem;

namespace {

int Usage() {
  std::cerr << "usage: plumet-stagec map OUT.map [--krm-dir DIR] NN-name.txt...\n"
               "       plumet-stagec krm IN.txt OUT.krm\n"
               "       plumet-stagec dump FILE.krm | FILE.map SLOT\n";
  return 2;
}

bool ReadText(const std::string& path, std::string& out) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return false;
  std::stringstream s;
  s << f.rdbuf();
  out = s.str();
  return true;
}

bool ReadBytes(const std::string& path, std::vector<uint8_t>& out) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return false;
  out.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
  return true;
}

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  const std::string tmp = path + ".tmp";
  {
    std::ofstream f(tmp, std::ios::binary | std::ios::trunc);
    if (!f) return false;
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!f) return false;
  }
  std::error_code ec;
  fs::rename(tmp, path, ec);
  return !ec;
}

bool LoadStage(const std::string& path, TUserStage& s) {
  std::string text, error;
  if (!ReadText(path, text)) {
    std::cerr << path << ": cannot read\n";
    return false;
  }
  if (!ParseStageText(text, s, error)) {
    std::cerr << path << ": " << error << "\n";
    return false;
  }
  return true;
}

// The stage of every slot without a source: a bordered room with a start and a goal.
TUserStage FillerStage() {
  std::vector<std::string> rows(15, "#..................#");
  rows[0] = rows[14] = std::string(20, '#');
  rows[13] = "#.P..............G.#";
  TUserStage s;
  s.Rows = RowsFromText(rows);
  return s;
}

int BuildMap(int argc, char** argv) {
  if (argc < 3) return Usage();
  const std::string out = argv[2];
  std::string krmDir;
  TBuiltinStages stages{};
  TStyleTable styles{};
  std::array<bool, kBuiltinStageCount> given{};
  std::vector<std::pair<std::string, TUserStage>> krms;
  for (int i = 3; i < argc; i++) {
    const std::string a = argv[i];
    if (a == "--krm-dir") {
      if (++i >= argc) return Usage();
      krmDir = argv[i];
      continue;
    }
    const std::string name = fs::path(a).filename().string();
    int slot = -1;
    if (name.size() > 3 && std::isdigit(static_cast<unsigned char>(name[0])) &&
        std::isdigit(static_cast<unsigned char>(name[1])) && name[2] == '-')
      slot = (name[0] - '0') * 10 + (name[1] - '0');
    if (slot < 0 || slot >= kBuiltinStageCount) {
      std::cerr << a << ": the file name must start with the slot number \"NN-\" (00..55)\n";
      return 1;
    }
    if (given[slot]) {
      std::cerr << a << ": slot " << slot << " is given twice\n";
      return 1;
    }
    TUserStage s;
    if (!LoadStage(a, s)) return 1;
    given[slot] = true;
    for (int x = 0; x < kGridCols; x++)
      for (int y = 0; y < kGridRows; y++) stages[slot * kGridCells + GridIndex(x, y)] = s.Rows[RowsIndex(x, y)];
    for (int k = 0; k < 8; k++) styles[k][slot] = s.Style[k];
    krms.emplace_back(fs::path(a).stem().string(), s);
  }
  const TUserStage filler = FillerStage();
  for (int slot = 0; slot < kBuiltinStageCount; slot++) {
    if (given[slot]) continue;
    for (int x = 0; x < kGridCols; x++)
      for (int y = 0; y < kGridRows; y++) stages[slot * kGridCells + GridIndex(x, y)] = filler.Rows[RowsIndex(x, y)];
  }
  // The game refuses a map whose stage 1 holds anything at column 1, row 1.
  if (stages[1 * kGridCells + GridIndex(1, 1)] != ccEmpty) {
    std::cerr << "stage 01 must leave column 1, row 1 empty\n";
    return 1;
  }
  if (!WriteBytes(out, EncodeStageData(stages, styles))) {
    std::cerr << out << ": cannot write\n";
    return 1;
  }
  if (!krmDir.empty()) {
    fs::create_directories(krmDir);
    for (const auto& [stem, s] : krms)
      if (!WriteBytes((fs::path(krmDir) / (stem + ".krm")).string(), EncodeUserStage(s))) {
        std::cerr << krmDir << ": cannot write " << stem << ".krm\n";
        return 1;
      }
  }
  return 0;
}

int BuildKrm(int argc, char** argv) {
  if (argc != 4) return Usage();
  TUserStage s;
  if (!LoadStage(argv[2], s)) return 1;
  if (!WriteBytes(argv[3], EncodeUserStage(s))) {
    std::cerr << argv[3] << ": cannot write\n";
    return 1;
  }
  return 0;
}

int Dump(int argc, char** argv) {
  if (argc < 3) return Usage();
  std::vector<uint8_t> bytes;
  if (!ReadBytes(argv[2], bytes)) {
    std::cerr << argv[2] << ": cannot read\n";
    return 1;
  }
  TUserStage s;
  if (argc == 4) {
    const int slot = std::atoi(argv[3]);
    if (slot < 0 || slot >= kBuiltinStageCount) return Usage();
    TBuiltinStages stages{};
    TStyleTable styles{};
    DecodeStageData(bytes, stages, styles);
    for (int x = 0; x < kGridCols; x++)
      for (int y = 0; y < kGridRows; y++) s.Rows[RowsIndex(x, y)] = stages[slot * kGridCells + GridIndex(x, y)];
    for (int k = 0; k < 8; k++) s.Style[k] = styles[k][slot];
  } else {
    DecodeUserStage(bytes, s);
  }
  std::cout << FormatStageText(s);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string cmd = argv[1];
  if (cmd == "map") return BuildMap(argc, argv);
  if (cmd == "krm") return BuildKrm(argc, argv);
  if (cmd == "dump") return Dump(argc, argv);
  return Usage();
}
