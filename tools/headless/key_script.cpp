// Key scripts of the headless runner.
#include "tools/headless/key_script.h"

#include <sstream>

#include "game/game.h"
#include "platform/api/keys.h"

int KeyCodeByName(const std::string& name) {
  static const struct {
    const char* name;
    int vk;
  } kNames[] = {{"Up", plat::kVkUp},     {"Down", plat::kVkDown},   {"Left", plat::kVkLeft},
                {"Right", plat::kVkRight}, {"Z", plat::kVkZ},       {"X", plat::kVkX},
                {"M", plat::kVkM},       {"E", plat::kVkE},         {"H", plat::kVkH},
                {"C", plat::kVkC},       {"F", plat::kVkF},         {"Esc", plat::kVkEscape},
                {"Shift", plat::kVkShift}, {"Ctrl", plat::kVkCtrl}};
  for (const auto& k : kNames)
    if (name == k.name) return k.vk;
  return -1;
}

bool ParseKeyScript(const std::string& text, std::vector<plat::NullHost::KeyStep>& out, std::string& error) {
  std::istringstream in(text);
  std::string line;
  int lineNo = 0;
  while (std::getline(in, line)) {
    ++lineNo;
    if (auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    std::istringstream words(line);
    std::string count, keys, extra;
    if (!(words >> count)) continue;
    if (!(words >> keys) || (words >> extra)) {
      error = "line " + std::to_string(lineNo) + ": expected COUNT KEY[+KEY...] or COUNT -";
      return false;
    }
    plat::NullHost::KeyStep step{};
    try {
      size_t used = 0;
      step.frames = std::stoi(count, &used);
      if (used != count.size() || step.frames < 0) throw std::invalid_argument(count);
    } catch (const std::exception&) {
      error = "line " + std::to_string(lineNo) + ": bad frame count '" + count + "'";
      return false;
    }
    if (keys != "-") {
      std::istringstream parts(keys);
      std::string name;
      while (std::getline(parts, name, '+')) {
        int vk = KeyCodeByName(name);
        if (vk < 0) {
          error = "line " + std::to_string(lineNo) + ": unknown key '" + name + "'";
          return false;
        }
        step.vks.push_back(vk);
      }
    }
    out.push_back(step);
  }
  return true;
}

void StageKeyScript::OnPresent(plat::NullHost& host, const Game& g, int frame) {
  if (started_ || g.SceneId != scPlay) return;
  started_ = true;
  host.SetKeyScript(steps_, frame);
}
