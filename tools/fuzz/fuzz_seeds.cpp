// Writes the fuzzers' seed corpora with the programs' own writers:
//   plumet-fuzz-seeds game CORPUS                   records, folder files and settings files
//   plumet-fuzz-seeds stages KRM_DIR OUT            the course's .krm files
//   plumet-fuzz-seeds cut DIR EXT MAX_BYTES OUT     sound files, each cut to its first MAX_BYTES
//   plumet-fuzz-seeds waves OUT                     a short wave in each encoding the voice reads
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "editor/editor_files.h"
#include "editor/editor_state.h"
#include "game/game.h"
#include "game/menus/progress_record.h"
#include "game/play/stage_data_file.h"
#include "platform/api/sys.h"
#include "platform/null/null_host.h"
#include "tests/sound/wave_fixtures.h"

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> Read(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void Write(const fs::path& p, const std::vector<uint8_t>& bytes) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + p.string());
}

// Runs `write` with a fresh scratch folder as the program folder and moves the file it leaves
// there under `to`.
template <typename F>
void FromProgram(const fs::path& scratch, const std::string& name, const fs::path& to, F write) {
  fs::remove_all(scratch);
  fs::create_directories(scratch);
  write(scratch.string());
  fs::create_directories(to.parent_path());
  fs::copy_file(scratch / name, to, fs::copy_options::overwrite_existing);
}

void GameSeeds(const fs::path& corpus) {
  const fs::path scratch = corpus / ".scratch";
  const fs::path old = fs::current_path();
  plat::NullHost host;

  // Records: a new player's, one with every stage cleared and the bonus area open, and one
  // part way through the course.
  auto record = [&](const std::string& seed, auto&& setup) {
    FromProgram(scratch, "plumet.rec", corpus / "record" / seed, [&](const std::string& folder) {
      Game g(host);
      g.ProgramFolder = folder;
      setup(g);
      ComputeRecordChecksum(g);
      SaveProgressRecord(g);
    });
  };
  record("default.rec", [](Game&) {});
  record("all-clear.rec", [](Game& g) {
    for (int s = 1; s <= 56; ++s) {
      g.StageIndex = static_cast<uint8_t>(s);
      RecordStageClear(g);
    }
    RecordAllClear(g);
  });
  record("area-3.rec", [](Game& g) {
    for (int s = 1; s <= 12; ++s) {
      g.StageIndex = static_cast<uint8_t>(s);
      RecordStageClear(g);
    }
  });

  // Folder files of both programs, short and at the buffer's limit.
  const std::vector<std::string> folders = {"/home/player/stages", "/", std::string(150, 'd')};
  for (size_t i = 0; i < folders.size(); ++i) {
    const std::string seed = "folder-" + std::to_string(i);
    FromProgram(scratch, "plumet.str", corpus / "last_folder" / (seed + ".str"), [&](const std::string& folder) {
      Game g(host);
      g.ProgramFolder = folder;
      PutMapFolder(g, folders[i]);
      WriteMapFolderFile(g);
    });
    FromProgram(scratch, kFolderFileName, corpus / "last_folder" / (seed + "-edit.str"), [&](const std::string& folder) {
      EditorState e(host);
      e.ProgramFolder = folder;
      SaveEditFolder(e, folders[i]);
    });
  }

  // Settings files as the game writes them, and one a person edited.
  FromProgram(scratch, "plumet.ini", corpus / "settings" / "written.ini", [](const std::string& folder) {
    plat::IniWriteInt(folder + "/plumet.ini", "DWMAPI", "DisableComposition", 1);
  });
  FromProgram(scratch, "plumet.ini", corpus / "settings" / "edited.ini", [](const std::string& folder) {
    const std::string file = folder + "/plumet.ini";
    std::ofstream(file) << "; settings\n[Other]\nValue = 0x10\n\n[dwmapi]\n  DisableComposition = 0\n# end\n";
    plat::IniWriteInt(file, "Other", "Value", -3);
  });

  fs::current_path(old);
  fs::remove_all(scratch);
}

void CopyStages(const fs::path& from, const fs::path& to) {
  fs::create_directories(to);
  for (const auto& entry : fs::directory_iterator(from))
    if (entry.path().extension() == ".krm")
      fs::copy_file(entry.path(), to / entry.path().filename(), fs::copy_options::overwrite_existing);
}

void CutFiles(const fs::path& from, const std::string& ext, size_t maxBytes, const fs::path& to) {
  fs::create_directories(to);
  for (const auto& entry : fs::directory_iterator(from)) {
    if (entry.path().extension() != ext) continue;
    std::vector<uint8_t> bytes = Read(entry.path());
    if (bytes.size() > maxBytes) bytes.resize(maxBytes);
    Write(to / entry.path().filename(), bytes);
  }
}

void EncodedWaves(const fs::path& to) {
  using wavefix::Enc;
  struct Seed {
    const char* name;
    wavefix::Spec layout;
    int frames;
  } seeds[] = {
      {"u8-mono-11025.wav", {Enc::U8, 11025, 1}, 300},     {"s24-stereo-48000.wav", {Enc::S24, 48000, 2}, 300},
      {"s32-mono.wav", {Enc::S32, 44100, 1}, 300},         {"f32-stereo.wav", {Enc::F32, 44100, 2}, 300},
      {"ext-s16-stereo.wav", {Enc::S16, 44100, 2, true}, 300}, {"ext-three.wav", {Enc::S16, 22050, 3, true}, 300},
      {"ext-f32-mono.wav", {Enc::F32, 32000, 1, true}, 300}, {"mulaw-8000.wav", {Enc::MuLaw, 8000, 1}, 300},
      {"alaw-stereo-8000.wav", {Enc::ALaw, 8000, 2}, 300}, {"ima-mono.wav", {Enc::ImaAdpcm, 22050, 1, false, 64}, 2 * 121},
      {"ima-stereo.wav", {Enc::ImaAdpcm, 44100, 2, false, 128}, 2 * 105},
      {"ms-mono.wav", {Enc::MsAdpcm, 11025, 1, false, 64}, 2 * 116},
      {"ms-stereo.wav", {Enc::MsAdpcm, 44100, 2, false, 128}, 2 * 116},
  };
  fs::create_directories(to);
  for (const auto& s : seeds) Write(to / s.name, wavefix::Wave(s.layout, s.frames, wavefix::Sine(440, s.layout.rate, 0.5)));
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  try {
    if (args.size() == 2 && args[0] == "game") {
      GameSeeds(args[1]);
    } else if (args.size() == 3 && args[0] == "stages") {
      CopyStages(args[1], args[2]);
    } else if (args.size() == 5 && args[0] == "cut") {
      CutFiles(args[1], args[2], std::stoul(args[3]), args[4]);
    } else if (args.size() == 2 && args[0] == "waves") {
      EncodedWaves(args[1]);
    } else {
      std::fprintf(stderr, "usage: plumet-fuzz-seeds game CORPUS | stages KRM_DIR OUT | cut DIR EXT MAX_BYTES OUT | waves OUT\n");
      return 2;
    }
  } catch (const std::exception& ex) {
    std::fprintf(stderr, "plumet-fuzz-seeds: %s\n", ex.what());
    return 1;
  }
  return 0;
}
