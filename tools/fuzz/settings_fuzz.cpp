// Fuzzes the INI settings file reader and writer with the key the game keeps there: a value
// written must read back, and keys of other sections must be kept.
#include <climits>

#include "platform/api/sys.h"
#include "tools/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz::WriteInput("plumet.ini", data, size);
  const int other = plat::IniReadInt(path, "Other", "Value", INT_MIN);
  const int old = plat::IniReadInt(path, "DWMAPI", "DisableComposition", 2);
  // Always a different value, so the check sees the write.
  const int value = old == 1 ? -7 : 1;
  fuzz::Check(plat::IniWriteInt(path, "DWMAPI", "DisableComposition", value), "cannot write the settings file");
  fuzz::Check(plat::IniReadInt(path, "DWMAPI", "DisableComposition", 2) == value, "the value written does not read back");
  fuzz::Check(plat::IniReadInt(path, "Other", "Value", INT_MIN) == other, "writing a key changed another section");
  return 0;
}
