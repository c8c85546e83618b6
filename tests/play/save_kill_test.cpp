// Kills a process at random moments while it rewrites the progress record and a user stage file
// through the game's own save functions, and checks after every kill that each file is whole:
// byte for byte either the old or the new content, never a mix, a cut or a missing file.
//
//   save_kill_test [--rounds N] [--seconds S] [--seed N]   the check (the seed is printed)
//   save_kill_test --writer FOLDER FD FIRST                the process that is killed
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "game/game.h"
#include "game/menus/progress_record.h"
#include "game/play/play.h"
#include "platform/api/sys.h"
#include "platform/null/null_host.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kStageName = "mine.krm";

// Two states of the game that differ in every field the files hold.
void SetState(Game& g, int which) {
  g.HighestStage = which ? 11 : 7;
  g.StageCleared.fill(0);
  g.StageCleared[0] = 1;
  if (which) g.StageCleared[5] = 1;
  g.ClearedCount = which ? 2 : 1;
  g.BonusAreaOpen = 0;
  ComputeRecordChecksum(g);
  for (size_t i = 0; i < g.StageGridRows.size(); ++i)
    g.StageGridRows[i] = static_cast<uint8_t>((i + static_cast<size_t>(which) * 7) % 18);
  g.StageStyle.fill(static_cast<uint8_t>(which));
  g.StageTheme = static_cast<uint8_t>(which ? 4 : 1);
  g.StartFacing = static_cast<uint8_t>(which);
}

// One save of each file, exactly as a clear does it.
void Save(Game& g, int which) {
  SetState(g, which);
  SaveProgressRecord(g);
  SaveUserStage(g);
}

Game* NewGame(plat::NullHost& host, const std::string& folder) {
  host.SetProgramPath(folder + "/plumet");
  auto* g = new Game(host);
  g->ProgramFolder = folder;
  g->UserStageFileName = folder + "/" + kStageName;
  return g;
}

// Saves the two states in turn from `first` on, for ever; the first save already changes the
// files, so even a slow disk shows both states over the rounds.
int Writer(const std::string& folder, int readyFd, int first) {
  plat::NullHost host;
  Game* g = NewGame(host, folder);
  const char ready = 'r';
  if (::write(readyFd, &ready, 1) != 1) return 1;
  ::close(readyFd);
  for (int i = 0;; ++i) {
    Save(*g, (first + i) % 2);
    if (!host.DialogLog.empty()) {
      std::cerr << "writer: " << host.DialogLog.back() << "\n";
      return 1;
    }
  }
}

std::vector<uint8_t> Bytes(const std::string& p) {
  std::ifstream f(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::string(argv[1]) == "--writer")
    return Writer(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));

  int rounds = 200;
  double seconds = 20;
  unsigned seed = 16;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string a = argv[i];
    if (a == "--rounds") rounds = std::atoi(argv[i + 1]);
    else if (a == "--seconds") seconds = std::atof(argv[i + 1]);
    else if (a == "--seed") seed = static_cast<unsigned>(std::strtoul(argv[i + 1], nullptr, 10));
  }
  std::cout << "seed " << seed << " (rerun with --seed " << seed << ")\n";

  std::string tmpl = (fs::temp_directory_path() / "plumet-kill-XXXXXX").string();
  if (!::mkdtemp(tmpl.data())) return 1;
  const std::string folder = tmpl;
  const std::string rec = folder + "/plumet.rec", stage = folder + "/" + kStageName;

  // The two images of each file, made by the same functions in this process.
  std::vector<uint8_t> recImage[2], stageImage[2];
  {
    plat::NullHost host;
    Game* g = NewGame(host, folder);
    for (int w : {1, 0}) {
      Save(*g, w);
      recImage[w] = Bytes(rec);
      stageImage[w] = Bytes(stage);
    }
    delete g;
  }
  if (recImage[0] == recImage[1] || stageImage[0] == stageImage[1] || recImage[0].size() != 63 ||
      stageImage[0].size() != 314) {
    std::cerr << "the two states do not give two different whole files\n";
    return 1;
  }

  std::mt19937 rng(seed);
  // Kill points from the writer's first save to well into its loop.
  std::uniform_int_distribution<int> delayUs(0, 20000);
  int seen[2][2] = {}, failures = 0, done = 0;
  int onDisk = 0;  // the state the files hold: the last one saved above
  const auto start = std::chrono::steady_clock::now();
  for (; done < rounds; ++done) {
    if (std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() > seconds) break;
    int pipeFd[2];
    if (::pipe(pipeFd) != 0) return 1;
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::close(pipeFd[0]);
      const std::string fd = std::to_string(pipeFd[1]), first = std::to_string(1 - onDisk);
      ::execl("/proc/self/exe", argv[0], "--writer", folder.c_str(), fd.c_str(), first.c_str(),
              static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(pipeFd[1]);
    char ready = 0;
    const bool started = ::read(pipeFd[0], &ready, 1) == 1;
    ::close(pipeFd[0]);
    std::this_thread::sleep_for(std::chrono::microseconds(delayUs(rng)));
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!started || !WIFSIGNALED(status)) {
      std::cerr << "round " << done << ": the writer ended on its own (status " << status << ")\n";
      return 1;
    }
    const auto r = Bytes(rec), s = Bytes(stage);
    const int rw = r == recImage[0] ? 0 : r == recImage[1] ? 1 : -1;
    const int sw = s == stageImage[0] ? 0 : s == stageImage[1] ? 1 : -1;
    if (rw < 0 || sw < 0) {
      std::cerr << "round " << done << ": " << (rw < 0 ? "plumet.rec" : kStageName) << " is neither the old nor the new file ("
                << (rw < 0 ? r.size() : s.size()) << " bytes)\n";
      ++failures;
      continue;
    }
    ++seen[0][rw];
    ++seen[1][sw];
    onDisk = rw;
  }
  auto leftovers = [&] {
    int n = 0;
    for (const auto& e : fs::directory_iterator(folder))
      if (e.path().filename().string().find(".tmp") != std::string::npos) ++n;
    return n;
  };
  const int left = leftovers();
  // The next save of each file clears what the killed writers left.
  {
    plat::NullHost host;
    Game* g = NewGame(host, folder);
    Save(*g, onDisk);
    delete g;
  }
  const int stale = leftovers();
  std::cout << done << " kills, " << failures << " damaged; record seen old/new " << seen[0][0] << "/" << seen[0][1]
            << ", stage " << seen[1][0] << "/" << seen[1][1] << "; " << left
            << " temporary files left by killed writes, " << stale << " after the next save\n";
  std::error_code ec;
  fs::remove_all(folder, ec);
  if (failures > 0) return 1;
  if (stale > 0) {
    std::cerr << "temporary files of killed writers outlived the next save\n";
    return 1;
  }
  // Both states must have been caught on disk, or the kills never landed inside the loop.
  if (done >= 20 && (seen[0][0] == 0 || seen[0][1] == 0 || seen[1][0] == 0 || seen[1][1] == 0)) {
    std::cerr << "the kills never caught both states of a file\n";
    return 1;
  }
  return 0;
}
