// The check a library file passes before the loader maps it: a loader that maps a file cut
// short dies of SIGBUS on the first page past its end, so such a file is never handed to it.
#include <elf.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/api/sys.h"

namespace plat {

namespace {

#if UINTPTR_MAX == 0xffffffffffffffffu
using Ehdr = Elf64_Ehdr;
using Phdr = Elf64_Phdr;
constexpr unsigned char kClass = ELFCLASS64;
#else
using Ehdr = Elf32_Ehdr;
using Phdr = Elf32_Phdr;
constexpr unsigned char kClass = ELFCLASS32;
#endif

bool ReadAt(int fd, void* out, size_t n, uint64_t at) {
  auto* p = static_cast<char*>(out);
  while (n > 0) {
    ssize_t got = ::pread(fd, p, n, static_cast<off_t>(at));
    if (got <= 0) return false;
    p += got;
    n -= static_cast<size_t>(got);
    at += static_cast<uint64_t>(got);
  }
  return true;
}

// `offset + size` lies within `fileSize`, without overflow.
bool Inside(uint64_t offset, uint64_t size, uint64_t fileSize) {
  return offset <= fileSize && size <= fileSize - offset;
}

}  // namespace

bool LibFileWhole(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  bool ok = false;
  struct stat st;
  Ehdr eh;
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size >= static_cast<off_t>(sizeof eh) &&
      ReadAt(fd, &eh, sizeof eh, 0)) {
    const uint64_t size = static_cast<uint64_t>(st.st_size);
    ok = std::memcmp(eh.e_ident, ELFMAG, SELFMAG) == 0 && eh.e_ident[EI_CLASS] == kClass &&
         eh.e_ident[EI_DATA] == ELFDATA2LSB && eh.e_type == ET_DYN &&
         eh.e_phentsize == sizeof(Phdr) && eh.e_phnum > 0 && eh.e_phnum < PN_XNUM &&
         Inside(eh.e_phoff, uint64_t(eh.e_phnum) * sizeof(Phdr), size);
    if (ok) {
      std::vector<Phdr> ph(eh.e_phnum);
      ok = ReadAt(fd, ph.data(), ph.size() * sizeof(Phdr), eh.e_phoff);
      // Every segment's bytes in the file must be there; what lies beyond them is zero-filled
      // memory the loader makes itself.
      for (size_t i = 0; ok && i < ph.size(); ++i)
        ok = Inside(ph[i].p_offset, ph[i].p_filesz, size) &&
             (ph[i].p_type != PT_LOAD || ph[i].p_filesz <= ph[i].p_memsz);
    }
  }
  ::close(fd);
  return ok;
}

}  // namespace plat
