// Text logs appended line by line, and the last word of a halted program.
#include <cstdio>
#include <cstdlib>

#include "platform/api/sys.h"

namespace plat {

LogWrite AppendLogLine(const std::string& path, const std::string& line, bool fresh) {
  std::FILE* f = std::fopen(path.c_str(), fresh ? "wb" : "ab");
  if (!f) return LogWrite::CannotOpen;
  const bool ok = std::fwrite(line.data(), 1, line.size(), f) == line.size();
  if (std::fclose(f) != 0 || !ok) return LogWrite::CannotWrite;
  return LogWrite::Ok;
}

void HaltProgram(const std::string& message, int status) {
  std::fprintf(stderr, "%s\n", message.c_str());
  std::fflush(stderr);
  std::_Exit(status);
}

}  // namespace plat
