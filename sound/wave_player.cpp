// The wave player.
#include "sound/wave_player.h"

#include <cstdio>
#include <filesystem>

#include "platform/api/sys.h"
#include "sound/memory_stream.h"

void TWavePlayer::SetEnabled(bool value) {
  enabled_ = value;
  if (!value) Stop();
}

void TWavePlayer::SetFileName(const std::string& value) {
  fileName_ = value;
  if (loaded_ && !value.empty()) LoadFromFile(value);
}

void TWavePlayer::SetResourceName(const std::string& value) {
  resourceName_ = value;
  if (loaded_ && !value.empty()) LoadFromResource(value);
}

void TWavePlayer::Loaded() {
  if (!fileName_.empty())
    LoadFromFile(fileName_);
  else if (!resourceName_.empty())
    LoadFromResource(resourceName_);
  loaded_ = true;
}

void TWavePlayer::PlayWith(bool noStop) {
  if (!enabled_ || data_.empty()) return;
  if (Allowed && !Allowed()) return;
  output_.PlayWave(data_.data(), data_.size(), noStop && !Sync, Sync);
}

void TWavePlayer::Play() { PlayWith(false); }
void TWavePlayer::PlayNoStop() { PlayWith(true); }
void TWavePlayer::Stop() { output_.StopWave(); }

void TWavePlayer::WarmUp() {
  bool sync = Sync;
  Sync = false;
  Play();
  Stop();
  Sync = sync;
}

void TWavePlayer::LoadFromFile(const std::string& name) {
  FreeData();
  std::string path = name;
  if (SearchExePath) path = (std::filesystem::path(ProgramFolder) / "plumetwave" / name).string();
  // Only a regular file, and no more of it than the limit allows: a FIFO must not block.
  std::vector<uint8_t> bytes;
  if (plat::ReadFileHead(path, static_cast<size_t>(kMaxBytes) + 1, bytes) != 0) throw EInOutError("cannot read " + path);
  if (static_cast<int64_t>(bytes.size()) <= kMaxBytes) data_ = std::move(bytes);
  WarmUp();
}

void TWavePlayer::LoadFromResource(const std::string& name) {
  FreeData();
  std::vector<uint8_t> bytes;
  if (!Resources || !Resources(name, bytes)) throw EInOutError("resource not found: " + name);
  if (static_cast<int64_t>(bytes.size()) <= kMaxBytes) data_ = std::move(bytes);
  WarmUp();
}
