// Crash-safe file writes, the INI settings file and dlopen, shared by both hosts.
#include "platform/api/sys.h"
#include "platform/sys/host_sys.h"

#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string_view>

namespace plat {

namespace {

constexpr int kMaxLinkHops = 40;  // as the kernel's own limit on a chain of links

// Follows `path` through symbolic links to the name that really holds the file. `st` gets the
// target's status and `exists` whether there is one (a new file, or a link left dangling).
int ResolveTarget(const std::string& path, std::string& target, struct stat& st, bool& exists) {
  target = path;
  for (int hops = 0; hops <= kMaxLinkHops; ++hops) {
    if (::lstat(target.c_str(), &st) != 0) {
      if (errno != ENOENT) return errno;
      exists = false;
      return 0;
    }
    if (!S_ISLNK(st.st_mode)) {
      exists = true;
      return 0;
    }
    std::vector<char> buf(PATH_MAX);
    ssize_t n = ::readlink(target.c_str(), buf.data(), buf.size());
    if (n < 0) return errno;
    if (static_cast<size_t>(n) >= buf.size()) return ENAMETOOLONG;
    std::filesystem::path next(std::string(buf.data(), static_cast<size_t>(n)));
    if (next.is_relative()) next = std::filesystem::path(target).parent_path() / next;
    target = next.string();
  }
  return ELOOP;
}

// Removes the temporaries "NAME.tmpPID" of `target` that a writer killed between naming and
// renaming left behind. Only regular files whose process is gone go: a live writer's file (or
// one whose process id we may not probe) stays, and so do our own, which the write replaces.
void RemoveStaleTemporaries(const std::string& target) {
  const std::filesystem::path t(target);
  std::string dir = t.parent_path().string();
  if (dir.empty()) dir = ".";
  const std::string prefix = t.filename().string() + ".tmp";
  DIR* d = ::opendir(dir.c_str());
  if (!d) return;
  const pid_t self = ::getpid();
  while (const dirent* e = ::readdir(d)) {
    const std::string_view name(e->d_name);
    if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix) continue;
    const std::string_view digits = name.substr(prefix.size());
    if (digits.size() > 9 || digits[0] == '0' ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
      continue;
    const pid_t pid = static_cast<pid_t>(std::stol(std::string(digits)));
    if (pid == self || ::kill(pid, 0) == 0 || errno != ESRCH) continue;
    struct stat st {};
    if (::fstatat(::dirfd(d), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) continue;
    ::unlinkat(::dirfd(d), e->d_name, 0);
  }
  ::closedir(d);
}

// Writes the new content beside `target` and renames it over it. With `unnamed`, the
// temporary file has no name until just before the rename, so a process killed while writing
// leaves nothing behind; `retry` is set when that way is not open here (no O_TMPFILE or no
// /proc) and a named temporary file must be used instead.
int WriteAndRename(const std::string& target, const struct stat& old, bool exists, const void* data, size_t size,
                   bool unnamed, bool& retry) {
  std::string dir = std::filesystem::path(target).parent_path().string();
  if (dir.empty()) dir = ".";
  const std::string tmp = target + ".tmp" + std::to_string(::getpid());
  // A private file stays private while it is written: the old mode is set only at the end.
  const mode_t createMode = exists ? 0600 : 0666;
  int fd = -1;
  if (unnamed) {
    fd = ::open(dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, createMode);
    if (fd < 0) {
      retry = true;
      return errno;
    }
  } else {
    auto openNamed = [&] {
      return ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, createMode);
    };
    fd = openNamed();
    if (fd < 0 && errno == EEXIST) {
      // Left by an earlier run with our process id that was killed while writing.
      ::unlink(tmp.c_str());
      fd = openNamed();
    }
    if (fd < 0) return errno ? errno : EIO;
  }
  auto fail = [&](int err) {
    ::close(fd);
    if (!unnamed) ::unlink(tmp.c_str());
    return err;
  };
  const char* p = static_cast<const char*>(data);
  size_t left = size;
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail(errno);
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  if (exists) {
    // Owner first (a change of owner may clear set-id bits), then the mode; someone else's
    // file rewritten by root stays theirs, and an owner we may not give is not an error.
    [[maybe_unused]] int owned = ::fchown(fd, old.st_uid, old.st_gid);
    if (::fchmod(fd, old.st_mode & 07777) != 0) return fail(errno);
  }
  if (::fsync(fd) != 0 && errno != EINVAL) return fail(errno);
  if (unnamed) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    int linked = ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, tmp.c_str(), AT_SYMLINK_FOLLOW);
    if (linked != 0 && errno == EEXIST) {
      ::unlink(tmp.c_str());
      linked = ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, tmp.c_str(), AT_SYMLINK_FOLLOW);
    }
    if (linked != 0) {
      retry = true;
      return fail(errno);
    }
  }
  // Once named, the temporary file is renamed at once, so only a kill between the two steps
  // can leave it behind; its content is already on disk, so closing it later loses nothing.
  if (!unnamed && ::close(fd) != 0) {
    int err = errno;
    ::unlink(tmp.c_str());
    return err;
  }
  const int renamed = ::rename(tmp.c_str(), target.c_str());
  const int renameErr = errno;
  if (unnamed) ::close(fd);
  if (renamed != 0) {
    ::unlink(tmp.c_str());
    return renameErr;
  }
  // Make the rename itself durable.
  int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
  return 0;
}

}  // namespace

int WriteFileAtomic(const std::string& path, const void* data, size_t size) {
  // The user's link stays a link: the file it leads to is the one rewritten.
  std::string target;
  struct stat old {};
  bool exists = false;
  if (int err = ResolveTarget(path, target, old, exists)) return err;
  if (exists && !S_ISREG(old.st_mode)) return S_ISDIR(old.st_mode) ? EISDIR : kErrNotRegularFile;
  RemoveStaleTemporaries(target);
  bool retry = false;
  const int err = WriteAndRename(target, old, exists, data, size, true, retry);
  if (!retry) return err;
  return WriteAndRename(target, old, exists, data, size, false, retry);
}

int ReadFileHead(const std::string& path, size_t limit, std::vector<uint8_t>& out) {
  out.clear();
  // Non-blocking, so opening a FIFO with no writer returns at once; fstat then refuses it.
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return errno ? errno : EIO;
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    int err = errno;
    ::close(fd);
    return err;
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    return S_ISDIR(st.st_mode) ? EISDIR : kErrNotRegularFile;
  }
  // Room for what the file holds now (plus a byte to see it grow), not for the whole limit: a
  // generous limit must not cost its size in memory for every small file.
  size_t room = std::min(limit, static_cast<size_t>(std::max<off_t>(st.st_size, 0)) + 1);
  out.resize(room);
  size_t got = 0;
  while (got < limit) {
    if (got == room) out.resize(room = std::min(limit, room * 2));
    ssize_t n = ::read(fd, out.data() + got, room - got);
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      ::close(fd);
      out.clear();
      return err;
    }
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  out.resize(got);
  ::close(fd);
  return 0;
}

std::string ErrorText(int err) {
  if (err == kErrNotRegularFile) return "not a regular file";
  return std::strerror(err);
}

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

// A settings file is a few lines; more than this is not one of ours.
constexpr size_t kIniSizeLimit = 64 * 1024;

// The file's lines; false when it is there but unreadable, not a regular file or too long to
// be rewritten whole. A missing file has no lines.
bool ReadLines(const std::string& file, std::vector<std::string>& lines) {
  lines.clear();
  std::vector<uint8_t> bytes;
  if (int err = ReadFileHead(file, kIniSizeLimit + 1, bytes)) return err == ENOENT;
  if (bytes.size() > kIniSizeLimit) return false;
  std::istringstream in(std::string(bytes.begin(), bytes.end()));
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return true;
}

}  // namespace

int IniReadInt(const std::string& file, const std::string& section, const std::string& key, int def) {
  std::string current;
  std::vector<std::string> lines;
  if (!ReadLines(file, lines)) return def;
  for (const std::string& raw : lines) {
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
  // A file we cannot read whole is not rewritten: its other lines would be lost.
  std::vector<std::string> lines;
  if (!ReadLines(file, lines)) return false;
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
