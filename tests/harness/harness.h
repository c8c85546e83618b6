// Test harness: a program folder in a temporary directory and the real game on the headless
// host, run frame by frame.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "game/game.h"
#include "platform/null/null_host.h"

namespace harness {

// A program folder laid out as a player receives it, in a fresh temporary directory that is
// removed again at the end of the test.
class ProgramFolder {
 public:
  // With `complete`, holds a valid "plumet.map" (an empty course) and the decoder library.
  explicit ProgramFolder(bool complete = true);
  ~ProgramFolder();
  ProgramFolder(const ProgramFolder&) = delete;
  ProgramFolder& operator=(const ProgramFolder&) = delete;

  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  void Write(const std::string& name, const std::vector<uint8_t>& bytes) const;
  void WriteText(const std::string& name, const std::string& text) const;
  std::vector<uint8_t> Read(const std::string& name) const;
  bool Exists(const std::string& name) const;
  void Remove(const std::string& name) const;
  // Copies the built decoder library (or the test copy that lacks "wu_ov_crosslap").
  void InstallDecoder(bool withoutCrosslap = false) const;
  // A stage data file of the right size with every cell empty.
  static std::vector<uint8_t> EmptyStageData();

 private:
  std::string path_;
};

// How a run ended.
enum class RunEnd { Quit, Fatal, Frames };

// The game on a NullHost whose program lives in `folder`.
class Harness {
 public:
  explicit Harness(const ProgramFolder& folder);
  ~Harness();

  plat::NullHost host;
  Game g{host};

  // Runs the whole program until it ends or `frames` frames were presented.
  RunEnd Run(int frames);
  // The dialog lines logged so far.
  const std::vector<std::string>& Dialogs() const { return host.DialogLog; }

 private:
  std::string oldCwd_;
};

// Art stand-ins for shell tests: ImgAnten whose tile k clears bit k of every pixel, so the
// tiles a cell went through can be read back from its colour.
plat::Bitmap BitTiles();

}  // namespace harness
