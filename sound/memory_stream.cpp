// A growable byte stream held in memory.
#include "sound/memory_stream.h"

#include "platform/api/sys.h"

#include <cstdio>
#include <cstring>

int64_t TMemoryStream::Read(void* dst, int64_t count) {
  if (pos_ < 0 || count <= 0) return 0;
  int64_t left = Size() - pos_;
  if (left <= 0) return 0;
  int64_t n = count < left ? count : left;
  std::memcpy(dst, data_.data() + pos_, static_cast<size_t>(n));
  pos_ += n;
  return n;
}

int64_t TMemoryStream::Write(const void* src, int64_t count) {
  if (pos_ < 0 || count <= 0) return 0;
  if (pos_ + count > Size()) data_.resize(static_cast<size_t>(pos_ + count));
  std::memcpy(data_.data() + pos_, src, static_cast<size_t>(count));
  pos_ += count;
  return count;
}

int64_t TMemoryStream::Seek(int64_t offset, int origin) {
  switch (origin) {
    case soBeginning: pos_ = offset; break;
    case soCurrent: pos_ += offset; break;
    case soEnd: pos_ = Size() + offset; break;
    default: break;
  }
  return pos_;
}

void TMemoryStream::SetSize(int64_t size) {
  if (size < 0) size = 0;
  data_.resize(static_cast<size_t>(size), 0);
  if (pos_ > size) pos_ = size;
}

void TMemoryStream::Clear() {
  data_.clear();
  data_.shrink_to_fit();
  pos_ = 0;
}

void TMemoryStream::CopyFrom(TMemoryStream& src) {
  src.SetPosition(0);
  Write(src.Memory(), src.Size());
  src.SetPosition(src.Size());
}

bool TMemoryStream::LoadFromFile(const std::string& path) {
  // Only a regular file, and refused past the limit rather than read without end.
  std::vector<uint8_t> buf;
  if (plat::ReadFileHead(path, kMaxFileBytes + 1, buf) != 0 || buf.size() > kMaxFileBytes) return false;
  data_ = std::move(buf);
  pos_ = 0;
  return true;
}
