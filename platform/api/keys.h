// Virtual-key codes the programs read, and the key-state query's bits.
#pragma once

namespace plat {

enum Vk : int {
  kVkShift = 0x10,
  kVkCtrl = 0x11,
  kVkEscape = 0x1B,
  kVkLeft = 0x25,
  kVkUp = 0x26,
  kVkRight = 0x27,
  kVkDown = 0x28,
  kVkC = 0x43,
  kVkE = 0x45,
  kVkF = 0x46,
  kVkH = 0x48,
  kVkM = 0x4D,
  kVkX = 0x58,
  kVkZ = 0x5A,
};

// AsyncKeyState result bits: down now, and pressed since the previous query.
constexpr short kKeyDown = static_cast<short>(0x8000);
constexpr short kKeyPressedSince = 0x0001;

}  // namespace plat
