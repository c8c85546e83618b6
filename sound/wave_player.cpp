// The wave player.
#include "sound/wave_player.h"

#include <cstdio>
#include <filesystem>

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
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) throw EInOutError("cannot open " + path);
  bool ok = std::fseek(f, 0, SEEK_END) == 0;
  long size = ok ? std::ftell(f) : -1;
  ok = ok && size >= 0 && std::fseek(f, 0, SEEK_SET) == 0;
  if (ok && size <= kMaxBytes) {
    data_.assign(static_cast<size_t>(size), 0);
    ok = std::fread(data_.data(), 1, data_.size(), f) == data_.size();
  }
  std::fclose(f);
  if (!ok) {
    FreeData();
    throw EInOutError("cannot read " + path);
  }
  WarmUp();
}

void TWavePlayer::LoadFromResource(const std::string& name) {
  FreeData();
  std::vector<uint8_t> bytes;
  if (!Resources || !Resources(name, bytes)) throw EInOutError("resource not found: " + name);
  if (static_cast<int64_t>(bytes.size()) <= kMaxBytes) data_ = std::move(bytes);
  WarmUp();
}
