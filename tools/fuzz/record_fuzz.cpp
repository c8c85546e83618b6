// Fuzzes the start-up read of the progress record "plumet.rec": whatever the file holds, the
// record in memory ends consistent with its checksum, and a damaged file is replaced by the
// default record after one message.
#include <unistd.h>

#include "game/game.h"
#include "game/menus/progress_record.h"
#include "platform/null/null_host.h"
#include "tools/fuzz/fuzz_support.h"

namespace {

std::vector<uint8_t> BytesOf(const TProgressRecord& r) {
  std::vector<uint8_t> out;
  out.push_back(r.HighestStage);
  out.insert(out.end(), r.StageCleared.begin(), r.StageCleared.end());
  out.push_back(r.ClearedCount);
  out.push_back(r.BonusAreaOpen);
  const auto sum = static_cast<uint32_t>(r.RecordChecksum);
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(sum >> (8 * i)));
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz::WriteInput("plumet.rec", data, size);
  fuzz::Check(::chdir(fuzz::WorkDir().c_str()) == 0, "cannot enter the scratch folder");
  plat::NullHost host;
  host.SetAudioFollowsClock(false);  // nothing plays; rendering would only cost time
  Game g(host);
  g.ProgramFolder = fuzz::WorkDir();
  LoadProgressRecord(g);

  const TProgressRecord& r = g;
  fuzz::Check(RecordChecksumOf(r) == r.RecordChecksum, "the record in memory fails its own checksum");
  const std::vector<uint8_t> onDisk = fuzz::ReadFile(path);
  if (host.DialogLog.empty()) {
    // Accepted: the file is left alone and its fields are what was read.
    fuzz::Check(onDisk == std::vector<uint8_t>(data, data + size), "an accepted record file was changed");
    if (size >= static_cast<size_t>(kProgressRecordFileSize))
      fuzz::Check(BytesOf(r) == std::vector<uint8_t>(data, data + kProgressRecordFileSize),
                  "the record read differs from the file");
  } else {
    // Damaged: one message, and the default record replaces the file.
    fuzz::Check(host.DialogLog.size() == 1, "more than one message for a damaged record");
    const TProgressRecord fresh;
    fuzz::Check(BytesOf(r) == BytesOf(fresh), "a damaged record did not give the default record");
    fuzz::Check(onDisk == BytesOf(fresh), "a damaged record file was not rewritten with the default");
  }
  return 0;
}
