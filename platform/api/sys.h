// Portable process services both hosts share: files written crash-safely, the INI settings
// file, and run-time loaded libraries. Plain C++ over POSIX; no window system.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace plat {

// Writes `data` to `path` through a temporary file in the same folder, flushed and renamed
// over the old file, so a crash or a full disk never leaves a damaged or empty file.
// A symbolic link is followed to its final target, which is the file replaced (the link
// stays); the old file's permission bits are kept, a new file gets the usual 0666 less the
// umask. A target that exists but is not a regular file is left alone (kErrNotRegularFile).
// A temporary "NAME.tmpPID" of the same file whose process is gone (killed just before its
// rename) is removed first; a live writer's is left alone.
// Returns 0 on success, else the errno of the failing step (the old file is kept).
int WriteFileAtomic(const std::string& path, const void* data, size_t size);

// Reads at most `limit` bytes from the start of `path` into `out`, and only from a regular
// file: a FIFO or a device is refused without blocking (kErrNotRegularFile), a folder with
// EISDIR.
// Callers pass one byte more than their format needs when they must tell a longer file.
// Returns 0 on success, else an errno (`out` is then empty).
int ReadFileHead(const std::string& path, size_t limit, std::vector<uint8_t>& out);

// The error code of a name that is there but is not a regular file. Outside errno's range.
constexpr int kErrNotRegularFile = 0x10000;

// Text of an errno value (or kErrNotRegularFile), for error boxes.
std::string ErrorText(int err);

// A text log: writes `line` at the end of `path`, emptying the file first when `fresh` (a log
// is not rewritten whole, so it is not written crash-safely). Ok, or the step that failed.
enum class LogWrite { Ok, CannotOpen, CannotWrite };
LogWrite AppendLogLine(const std::string& path, const std::string& line, bool fresh);

// Ends the process at once with `status`, after writing `message` and a line end to the
// standard error: for a failure the program cannot go on from.
[[noreturn]] void HaltProgram(const std::string& message, int status);

// INI settings file ("[section]" / "key=value" lines).
// Reads an integer; the default when the file, section or key is missing or not a number.
int IniReadInt(const std::string& file, const std::string& section, const std::string& key, int def);
// Writes an integer, keeping every other line of the file; false on a write failure.
bool IniWriteInt(const std::string& file, const std::string& section, const std::string& key, int value);

// Run-time library loading (dlopen). Handles are opaque; 0 when loading failed, or when the
// file is not a whole shared object of this machine (see LibFileWhole).
void* LibOpen(const std::string& path);
// True when `path` is a regular file holding an ELF shared object whose header, program
// headers and segments all lie inside the file.
bool LibFileWhole(const std::string& path);
void* LibSymbol(void* lib, const char* name);
void LibClose(void* lib);
// The full file name the loader reports for a loaded library; empty when unknown.
std::string LibFileName(void* lib);

}  // namespace plat
