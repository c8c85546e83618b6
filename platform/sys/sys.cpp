// Crash-safe file writes, the INI settings file and dlopen, shared by both hosts.
#include "platform/api/sys.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace plat {

int WriteFileAtomic(const std::string& path, const void* data, size_t size) {
  std::string tmp = path + ".tmp" + std::to_string(::getpid());
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return errno ? errno : EIO;
  const char* p = static_cast<const char*>(data);
  size_t left = size;
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      ::close(fd);
      ::unlink(tmp.c_str());
      return err;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  if (::fsync(fd) != 0 && errno != EINVAL) {
    int err = errno;
    ::close(fd);
    ::unlink(tmp.c_str());
    return err;
  }
  if (::close(fd) != 0) {
    int err = errno;
    ::unlink(tmp.c_str());
    return err;
  }
  if (::rename(tmp.c_str(), path.c_str()) != 0) {
    int err = errno;
    ::unlink(tmp.c_str());
    return err;
  }
  // Make the rename itself durable.
  std::string dir = std::filesystem::path(path).parent_path().string();
  if (dir.empty()) dir = ".";
  int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
  return 0;
}

std::string ErrorText(int err) { return std::strerror(err); }

namespace {

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return {};
  size_t e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (std::tolower(x) != std::tolower(y)) return false;
  }
  return true;
}

std::vector<std::string> ReadLines(const std::string& file) {
  std::vector<std::string> lines;
  std::ifstream in(file, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

}  // namespace

int IniReadInt(const std::string& file, const std::string& section, const std::string& key, int def) {
  std::string current;
  for (const std::string& raw : ReadLines(file)) {
    std::string line = Trim(raw);
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line.front() == '[' && line.back() == ']') {
      current = Trim(line.substr(1, line.size() - 2));
      continue;
    }
    size_t eq = line.find('=');
    if (eq == std::string::npos || !SameName(current, section)) continue;
    if (!SameName(Trim(line.substr(0, eq)), key)) continue;
    std::string v = Trim(line.substr(eq + 1));
    if (v.empty()) return def;
    errno = 0;
    char* end = nullptr;
    long n = std::strtol(v.c_str(), &end, 0);
    if (end == v.c_str() || *end != '\0' || errno == ERANGE) return def;
    return static_cast<int>(n);
  }
  return def;
}

bool IniWriteInt(const std::string& file, const std::string& section, const std::string& key, int value) {
  std::vector<std::string> lines = ReadLines(file);
  std::string entry = key + "=" + std::to_string(value);
  std::string current;
  int sectionEnd = -1;  // index after the last line of the wanted section
  bool inSection = false, done = false;
  for (size_t i = 0; i < lines.size() && !done; ++i) {
    std::string line = Trim(lines[i]);
    if (!line.empty() && line.front() == '[' && line.back() == ']') {
      current = Trim(line.substr(1, line.size() - 2));
      inSection = SameName(current, section);
      if (inSection) sectionEnd = static_cast<int>(i) + 1;
      continue;
    }
    if (!inSection) continue;
    sectionEnd = static_cast<int>(i) + 1;
    size_t eq = line.find('=');
    if (eq != std::string::npos && SameName(Trim(line.substr(0, eq)), key)) {
      lines[i] = entry;
      done = true;
    }
  }
  if (!done) {
    if (sectionEnd < 0) {
      lines.push_back("[" + section + "]");
      lines.push_back(entry);
    } else {
      lines.insert(lines.begin() + sectionEnd, entry);
    }
  }
  std::string text;
  for (const std::string& l : lines) text += l + "\r\n";
  return WriteFileAtomic(file, text.data(), text.size()) == 0;
}

void* LibOpen(const std::string& path) {
  if (!LibFileWhole(path)) return nullptr;
  return ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* LibSymbol(void* lib, const char* name) { return lib ? ::dlsym(lib, name) : nullptr; }

void LibClose(void* lib) {
  if (lib) ::dlclose(lib);
}

std::string LibFileName(void* lib) {
  if (!lib) return {};
  struct link_map* map = nullptr;
  if (::dlinfo(lib, RTLD_DI_LINKMAP, &map) != 0 || !map || !map->l_name) return {};
  return map->l_name;
}

std::string ExecutablePath() {
  std::error_code ec;
  auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : p.string();
}

}  // namespace plat
