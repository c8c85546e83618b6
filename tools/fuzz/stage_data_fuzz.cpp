// Fuzzes the start-up read of the stage data file "plumet.map" and its codec: the game's reader
// and the codec must agree on every byte, and a file of the right size must encode back as it was.
#include <unistd.h>

#include <algorithm>

#include "game/game.h"
#include "game/play/stage_data_file.h"
#include "game/play/stage_format.h"
#include "platform/null/null_host.h"
#include "tools/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::WriteInput("plumet.map", data, size);
  // The game reads the file from its working folder.
  fuzz::Check(::chdir(fuzz::WorkDir().c_str()) == 0, "cannot enter the scratch folder");
  plat::NullHost host;
  host.SetAudioFollowsClock(false);  // nothing plays; rendering would only cost time
  Game g(host);
  const bool loaded = LoadStageData(g);

  const std::vector<uint8_t> bytes(data, data + size);
  TBuiltinStages stages{};
  TStyleTable styles{};
  DecodeStageData(bytes, stages, styles);
  fuzz::Check(stages == g.BuiltinStages && styles == g.StageStyleTable,
              "the game's reader and the codec read the file differently");
  // Only the check cell of stage 1 makes a file unusable; the reason is shown once.
  fuzz::Check(loaded == (stages[1 * kGridCells + GridIndex(1, 1)] == ccEmpty), "wrong verdict on the file");
  fuzz::Check(loaded == host.DialogLog.empty() && loaded == (g.StartupFailed == 0),
              "a refused file must end start-up with one message");

  // What a short file lacks reads as zero; bytes past the layout are not part of it.
  std::vector<uint8_t> expected(kStageDataFileSize, 0);
  std::copy_n(bytes.begin(), std::min<size_t>(size, expected.size()), expected.begin());
  fuzz::Check(EncodeStageData(stages, styles) == expected, "the stage data does not encode back to the file");
  return 0;
}
