// Test harness: temporary program folders and the real game on the headless host.
#include "tests/harness/harness.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "game/play/stage_data_file.h"
#include "game/shell/main_form.h"
#include "platform/qtgfx/qt_gfx.h"

namespace fs = std::filesystem;

namespace harness {

namespace {

std::string DistDir() {
  if (const char* d = std::getenv("PLUMET_DIST")) return d;
  return PLUMET_DIST_DIR;
}

}  // namespace

ProgramFolder::ProgramFolder(bool complete) {
  std::string tmpl = (fs::temp_directory_path() / "plumet-test-XXXXXX").string();
  std::vector<char> buf(tmpl.begin(), tmpl.end());
  buf.push_back('\0');
  if (!::mkdtemp(buf.data())) throw std::runtime_error("mkdtemp failed");
  path_ = buf.data();
  fs::create_directories(path_ + "/plumetogg");
  fs::create_directories(path_ + "/plumetwave");
  if (complete) {
    Write("plumet.map", EmptyStageData());
    InstallDecoder();
  }
}

ProgramFolder::~ProgramFolder() {
  std::error_code ec;
  // Restore permissions a test may have taken away, so the folder can be removed.
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(path_, ec);
}

void ProgramFolder::Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
  fs::create_directories(fs::path(File(name)).parent_path());
  std::ofstream out(File(name), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void ProgramFolder::WriteText(const std::string& name, const std::string& text) const {
  Write(name, std::vector<uint8_t>(text.begin(), text.end()));
}

std::vector<uint8_t> ProgramFolder::Read(const std::string& name) const {
  std::ifstream in(File(name), std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool ProgramFolder::Exists(const std::string& name) const { return fs::exists(File(name)); }

void ProgramFolder::Remove(const std::string& name) const { fs::remove_all(File(name)); }

void ProgramFolder::InstallDecoder(bool withoutCrosslap) const {
  std::string src = withoutCrosslap ? std::string(PLUMET_TESTLIBS_DIR) + "/nocrosslap/wuvorbis.dll"
                                    : DistDir() + "/plumetogg/wuvorbis.dll";
  fs::copy_file(src, File("plumetogg/wuvorbis.dll"), fs::copy_options::overwrite_existing);
}

std::vector<uint8_t> ProgramFolder::EmptyStageData() { return std::vector<uint8_t>(kStageDataFileSize, 0); }

Harness::Harness(const ProgramFolder& folder) {
  plat::qtgfx::EnsureGuiApplication();
  oldCwd_ = fs::current_path().string();
  host.SetProgramPath(folder.File("plumet"));
  host.SetFrameBudget(200000);
}

Harness::~Harness() {
  std::error_code ec;
  fs::current_path(oldCwd_, ec);
}

RunEnd Harness::Run(int frames) {
  host.StopAfterFrames(frames);
  try {
    ProgramMain(g);
  } catch (const plat::StopRun&) {
    return RunEnd::Frames;
  }
  return g.StartupFailed ? RunEnd::Fatal : RunEnd::Quit;
}

plat::Bitmap BitTiles() {
  plat::Bitmap b(256, 32, 0);
  for (int k = 0; k < 8; ++k)
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) b.Set(32 * k + x, y, k == 7 ? 0 : (0xFFFFFFu & ~(1u << k)));
  return b;
}

}  // namespace harness
