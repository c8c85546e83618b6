// The monotonic millisecond clock of the windowed hosts.
#include <chrono>
#include <thread>

#include "platform/sys/host_sys.h"

namespace plat {

uint32_t MonotonicTickMs() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void SleepToNextTick() {
  using namespace std::chrono;
  const auto now = steady_clock::now();
  std::this_thread::sleep_until(steady_clock::time_point(floor<milliseconds>(now.time_since_epoch()) + milliseconds(1)));
}

void SleepToTick(uint32_t tick) {
  using namespace std::chrono;
  const int64_t now = floor<milliseconds>(steady_clock::now().time_since_epoch()).count();
  const auto left = static_cast<int32_t>(tick - static_cast<uint32_t>(now));
  if (left <= 0) return;
  std::this_thread::sleep_until(steady_clock::time_point(milliseconds(now + left)));
}

}  // namespace plat
