// The crash-safe rewrite through links with the mode kept, and bounded reads that refuse
// anything but a regular file.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/api/sys.h"

namespace fs = std::filesystem;

namespace {

// A fresh folder, removed with everything in it.
struct TempDir {
  fs::path path;
  TempDir() {
    std::string tmpl = (fs::temp_directory_path() / "plumet-sys-XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    path = tmpl;
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
  std::string operator/(const std::string& name) const { return (path / name).string(); }
};

std::string Text(const std::string& p) {
  std::ifstream f(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}
void Put(const std::string& p, const std::string& text, mode_t mode = 0644) {
  std::ofstream(p, std::ios::binary | std::ios::trunc) << text;
  ::chmod(p.c_str(), mode);
}
mode_t ModeOf(const std::string& p) {
  struct stat st {};
  ::stat(p.c_str(), &st);
  return st.st_mode & 07777;
}
int Write(const std::string& p, const std::string& text) { return plat::WriteFileAtomic(p, text.data(), text.size()); }

// Temporary files left anywhere in the folder.
int Leftovers(const TempDir& d) {
  int n = 0;
  for (const auto& e : fs::recursive_directory_iterator(d.path))
    if (e.path().filename().string().find(".tmp") != std::string::npos) ++n;
  return n;
}

mode_t Umask() {
  const mode_t m = ::umask(022);
  ::umask(m);
  return m;
}

}  // namespace

TEST(WriteFileAtomic, KeepsTheModeAndWritesThroughLinksToTheirTarget) {
  struct Case {
    const char* name;
    // Sets up the folder; returns the name the program writes to.
    std::string (*setUp)(const TempDir&);
    const char* target;  // the file that must hold the new text
    std::vector<std::string> links;  // names that must still be links
    mode_t mode;
  } cases[] = {
      {"private file stays private", [](const TempDir& d) { Put(d / "plumet.rec", "old", 0600); return d / "plumet.rec"; },
       "plumet.rec", {}, 0600},
      {"relative link",
       [](const TempDir& d) {
         Put(d / "real.rec", "old", 0640);
         fs::create_symlink("real.rec", d / "plumet.rec");
         return d / "plumet.rec";
       },
       "real.rec", {"plumet.rec"}, 0640},
      {"chain of an absolute and a relative link into a subfolder",
       [](const TempDir& d) {
         fs::create_directory(d / "saves");
         Put(d / "saves/real.krm", "old", 0600);
         fs::create_symlink("saves/real.krm", d / "mid.krm");
         fs::create_symlink(d / "mid.krm", d / "my.krm");
         return d / "my.krm";
       },
       "saves/real.krm", {"mid.krm", "my.krm"}, 0600},
      {"dangling link creates its target",
       [](const TempDir& d) {
         fs::create_symlink("new.str", d / "plumet.str");
         return d / "plumet.str";
       },
       "new.str", {"plumet.str"}, static_cast<mode_t>(0666 & ~Umask())},
      {"new file gets the default mode", [](const TempDir& d) { return d / "fresh.krm"; }, "fresh.krm", {},
       static_cast<mode_t>(0666 & ~Umask())},
  };
  for (const Case& c : cases) {
    TempDir d;
    const std::string name = c.setUp(d);
    ASSERT_EQ(Write(name, "new content"), 0) << c.name;
    EXPECT_EQ(Text(d / c.target), "new content") << c.name;
    EXPECT_FALSE(fs::is_symlink(d / c.target)) << c.name;
    for (const auto& l : c.links) EXPECT_TRUE(fs::is_symlink(d / l)) << c.name << ": " << l;
    EXPECT_EQ(ModeOf(d / c.target), c.mode) << c.name;
    EXPECT_EQ(Leftovers(d), 0) << c.name << ": a temporary file was left";
  }
}

namespace {

// The id of a process that has ended and been reaped.
pid_t GonePid() {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(0);
  ::waitpid(pid, nullptr, 0);
  return pid;
}

// A child that waits until it is killed, standing for another game writing the same file.
struct LiveWriter {
  pid_t pid = ::fork();
  LiveWriter() {
    if (pid == 0) {
      ::pause();
      ::_exit(0);
    }
  }
  ~LiveWriter() {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
  }
};

}  // namespace

TEST(WriteFileAtomic, RemovesTemporariesWhoseWriterIsGoneAndNoOtherFile) {
  TempDir d;
  LiveWriter live;
  ASSERT_GT(live.pid, 0);
  const std::string gone = std::to_string(GonePid());
  const std::string gone2 = std::to_string(GonePid());
  const std::string gone3 = std::to_string(GonePid());
  Put(d / "real.rec", "old");
  fs::create_symlink("real.rec", d / "plumet.rec");
  // What a writer killed between naming and renaming leaves: a whole copy under the name the
  // link leads to.
  Put(d / ("real.rec.tmp" + gone), "killed writer's copy");
  enum Kind { kFile, kLink, kFolder };
  struct Kept {
    const char* why;
    std::string name;
    Kind kind;
  } kept[] = {
      {"a live writer's file", "real.rec.tmp" + std::to_string(live.pid), kFile},
      {"another file's temporary", "plumet.ini.tmp" + gone, kFile},
      {"the link's own name is not where temporaries go", "plumet.rec.tmp" + gone, kFile},
      {"not a process id", "real.rec.tmp" + gone + "x", kFile},
      {"a link in a temporary's place", "real.rec.tmp" + gone2, kLink},
      {"a folder in a temporary's place", "real.rec.tmp" + gone3, kFolder},
  };
  for (const Kept& k : kept) {
    if (k.kind == kLink)
      fs::create_symlink("outside", d / k.name);
    else if (k.kind == kFolder)
      fs::create_directory(d / k.name);
    else
      Put(d / k.name, "keep");
  }
  Put(d / "outside", "keep");

  ASSERT_EQ(Write(d / "plumet.rec", "new"), 0);
  EXPECT_EQ(Text(d / "real.rec"), "new");
  EXPECT_FALSE(fs::exists(fs::symlink_status(d / ("real.rec.tmp" + gone)))) << "the stale copy is removed";
  for (const Kept& k : kept) EXPECT_TRUE(fs::exists(fs::symlink_status(d / k.name))) << k.why;
  EXPECT_EQ(Text(d / "outside"), "keep");
  EXPECT_EQ(Text(d / ("real.rec.tmp" + std::to_string(live.pid))), "keep");
}

TEST(WriteFileAtomic, RefusesTargetsThatAreNotRegularFilesAndLinkLoops) {
  struct Case {
    const char* name;
    std::string (*setUp)(const TempDir&);
    int err;
  } cases[] = {
      {"FIFO", [](const TempDir& d) { ::mkfifo((d / "plumet.rec").c_str(), 0600); return d / "plumet.rec"; },
       plat::kErrNotRegularFile},
      {"link to a device",
       [](const TempDir& d) {
         fs::create_symlink("/dev/null", d / "plumet.rec");
         return d / "plumet.rec";
       },
       plat::kErrNotRegularFile},
      {"folder", [](const TempDir& d) { fs::create_directory(d / "a.krm"); return d / "a.krm"; }, EISDIR},
      {"link loop",
       [](const TempDir& d) {
         fs::create_symlink("b.krm", d / "a.krm");
         fs::create_symlink("a.krm", d / "b.krm");
         return d / "a.krm";
       },
       ELOOP},
  };
  for (const Case& c : cases) {
    TempDir d;
    const std::string name = c.setUp(d);
    const auto before = fs::symlink_status(name).type();
    EXPECT_EQ(Write(name, "x"), c.err) << c.name;
    EXPECT_EQ(fs::symlink_status(name).type(), before) << c.name;
    EXPECT_FALSE(plat::ErrorText(c.err).empty());
  }
  EXPECT_EQ(plat::ErrorText(plat::kErrNotRegularFile), "not a regular file");
}

TEST(ReadFileHead, ReadsAtMostTheLimitAndOnlyFromRegularFiles) {
  TempDir d;
  Put(d / "short.krm", "abc");
  Put(d / "long.krm", std::string(1000, 'k'));
  ::mkfifo((d / "fifo.krm").c_str(), 0600);  // no writer: a blocking open would never return
  fs::create_symlink("/dev/zero", d / "zero.krm");
  fs::create_directory(d / "folder.krm");
  {
    // 3 GB of nothing: only the head is read.
    int fd = ::open((d / "sparse.krm").c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, 3LL << 30), 0);
    ::close(fd);
  }
  struct Case {
    const char* name;
    size_t limit;
    int err;
    size_t size;
  } cases[] = {
      {"short.krm", 315, 0, 3},       {"long.krm", 315, 0, 315},
      {"sparse.krm", 315, 0, 315},    {"fifo.krm", 315, plat::kErrNotRegularFile, 0},
      {"zero.krm", 315, plat::kErrNotRegularFile, 0}, {"folder.krm", 315, EISDIR, 0},
      {"missing.krm", 315, ENOENT, 0}, {"long.krm", 0, 0, 0},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> out(7, 1);
    EXPECT_EQ(plat::ReadFileHead(d / c.name, c.limit, out), c.err) << c.name;
    EXPECT_EQ(out.size(), c.size) << c.name;
  }
  EXPECT_TRUE(fs::is_fifo(d / "fifo.krm"));
}

TEST(IniFile, ASettingsFileThatCannotBeReadWholeIsNeitherBlockingNorRewritten) {
  TempDir d;
  // Far more than any settings file, with the key at its start.
  std::string big = "[DWMAPI]\r\nDisableComposition=0\r\n" + std::string(100 * 1024, ';');
  Put(d / "big.ini", big);
  ::mkfifo((d / "fifo.ini").c_str(), 0600);
  for (const char* name : {"big.ini", "fifo.ini"}) {
    EXPECT_EQ(plat::IniReadInt(d / name, "DWMAPI", "DisableComposition", 7), 7) << name;
    EXPECT_FALSE(plat::IniWriteInt(d / name, "DWMAPI", "DisableComposition", 1)) << name;
  }
  EXPECT_EQ(Text(d / "big.ini"), big);
  EXPECT_TRUE(fs::is_fifo(d / "fifo.ini"));
  // An ordinary file is read and rewritten as before, other lines kept.
  Put(d / "ok.ini", "[Other]\r\nA=1\r\n");
  EXPECT_TRUE(plat::IniWriteInt(d / "ok.ini", "DWMAPI", "DisableComposition", 1));
  EXPECT_EQ(plat::IniReadInt(d / "ok.ini", "DWMAPI", "DisableComposition", 7), 1);
  EXPECT_EQ(plat::IniReadInt(d / "ok.ini", "Other", "A", 7), 1);
}
