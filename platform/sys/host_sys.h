// What only the hosts and the programs' entries use: the running program's path and the wall
// clock. The logic reads time and its program's place through the Host (TickMs, SleepMs,
// ProgramPath), never from here.
#pragma once
#include <cstdint>
#include <string>

namespace plat {

// Full path of the running executable.
std::string ExecutablePath();

// The windowed hosts' clock: milliseconds of the monotonic clock, wrapping at 32 bits like the
// system tick count it stands for.
uint32_t MonotonicTickMs();
// Sleeps until MonotonicTickMs() next moves on: a short wait that ends on the tick, for pacing
// loops that must not spin.
void SleepToNextTick();
// Sleeps until MonotonicTickMs() reads `tick` or later, in one sleep.
void SleepToTick(uint32_t tick);

}  // namespace plat
