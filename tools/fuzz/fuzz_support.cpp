// Scratch folder and file helpers for the fuzz harnesses.
#include "tools/fuzz/fuzz_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fuzz {

namespace {

std::string& Folder() {
  static std::string folder;
  return folder;
}

void RemoveFolder() {
  std::error_code ec;
  if (!Folder().empty()) std::filesystem::remove_all(Folder(), ec);
}

}  // namespace

const std::string& WorkDir() {
  std::string& folder = Folder();
  if (folder.empty()) {
    // Memory-backed when there is one: the crash-safe writes fsync every file they write.
    std::error_code ec;
    const char* chosen = std::getenv("PLUMET_FUZZ_TMPDIR");
    std::filesystem::path base = chosen && *chosen ? std::filesystem::path(chosen)
                                 : std::filesystem::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0
                                     ? std::filesystem::path("/dev/shm")
                                     : std::filesystem::temp_directory_path();
    std::string tmpl = (base / "plumet-fuzz-XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) {
      std::perror("mkdtemp");
      std::abort();
    }
    folder = tmpl;
    std::atexit(RemoveFolder);
  }
  return folder;
}

std::string WriteInput(const std::string& name, const uint8_t* data, size_t size) {
  const std::string path = WorkDir() + "/" + name;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  Check(f != nullptr, "cannot create the input file");
  Check(size == 0 || std::fwrite(data, 1, size, f) == size, "cannot write the input file");
  Check(std::fclose(f) == 0, "cannot close the input file");
  return path;
}

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void Check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::fflush(stderr);
  std::abort();
}

}  // namespace fuzz
