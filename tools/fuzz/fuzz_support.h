// Shared by the fuzz harnesses: a scratch folder of this process's own for readers that take a
// path, and a check that stops the run when a harness's expectation fails.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fuzz {

// A fresh folder under $PLUMET_FUZZ_TMPDIR, /dev/shm or the temporary folder, made at first use
// and removed at exit. Parallel fuzzing workers are separate processes, so each gets its own.
const std::string& WorkDir();
// Writes the input as WorkDir()/name (replacing it) and returns the full path.
std::string WriteInput(const std::string& name, const uint8_t* data, size_t size);
// The whole content of a file (empty when missing).
std::vector<uint8_t> ReadFile(const std::string& path);
// Aborts with `what` when `ok` is false, so libFuzzer keeps the input as a crash.
void Check(bool ok, const char* what);

}  // namespace fuzz
