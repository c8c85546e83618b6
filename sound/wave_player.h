// The wave player: one wave file held whole in memory, played through the system sound
// player's one voice (a new Play cuts the sound playing; PlayNoStop does not).
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/api/audio.h"

class TWavePlayer {
 public:
  // Files or resources larger than this are not loaded (the player stays silent).
  static constexpr int64_t kMaxBytes = 268435456;

  explicit TWavePlayer(plat::AudioDevice& output) : output_(output) {}
  TWavePlayer(const TWavePlayer&) = delete;
  TWavePlayer& operator=(const TWavePlayer&) = delete;

  // Properties. Set them, then call Loaded.
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  bool Sync = false;
  const std::string& FileName() const { return fileName_; }
  void SetFileName(const std::string& value);
  const std::string& ResourceName() const { return resourceName_; }
  void SetResourceName(const std::string& value);
  bool SearchExePath = false;
  std::string Name;
  // The program's folder; with SearchExePath, FileName is taken from its "plumetwave/".
  std::string ProgramFolder;
  // Whether the program allows sound effects now (the game: not quitting, effects on).
  std::function<bool()> Allowed;
  // The program's embedded resources by name; false when there is none.
  std::function<bool(const std::string& name, std::vector<uint8_t>& out)> Resources;

  void Loaded();
  void Play();
  void PlayNoStop();
  // Ends any sound the voice plays, not only this player's.
  void Stop();
  // Throw EInOutError when the file or resource cannot be read.
  void LoadFromFile(const std::string& name);
  void LoadFromResource(const std::string& name);
  // Frees the sound data (the quit sequence does this for every player).
  void FreeData() { data_.clear(); data_.shrink_to_fit(); }
  const std::vector<uint8_t>& Data() const { return data_; }
  bool HasData() const { return !data_.empty(); }
  bool IsLoaded() const { return loaded_; }

 private:
  void PlayWith(bool noStop);
  void WarmUp();

  plat::AudioDevice& output_;
  bool enabled_ = true;
  std::string fileName_, resourceName_;
  std::vector<uint8_t> data_;
  bool loaded_ = false;
};
