// A growable byte stream held in memory: the sound library's source and render buffers.
#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// A file read or write failed (the sound library's input/output error).
class EInOutError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum TSeekOrigin : int { soBeginning = 0, soCurrent = 1, soEnd = 2 };

class TMemoryStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(int64_t size) { SetSize(size); }

  // Bytes read (0 at or past the end, or from a position before the start).
  int64_t Read(void* dst, int64_t count);
  // Writes at the position, growing the stream; returns the bytes written.
  int64_t Write(const void* src, int64_t count);
  // Moves the position (it may lie past the end); returns the new position.
  int64_t Seek(int64_t offset, int origin);
  int64_t Position() const { return pos_; }
  void SetPosition(int64_t p) { pos_ = p; }
  int64_t Size() const { return static_cast<int64_t>(data_.size()); }
  // New bytes are zero; the position is kept unless it lies past the new end.
  void SetSize(int64_t size);
  void Clear();
  // Copies all of `src` (from its start) into this stream at the position.
  void CopyFrom(TMemoryStream& src);
  // Replaces the contents with the file's bytes; false when the file cannot be read whole.
  // Songs are read whole; a file over this size is refused (ours are a few MB).
  static constexpr size_t kMaxFileBytes = 64u << 20;
  bool LoadFromFile(const std::string& path);
  uint8_t* Memory() { return data_.data(); }
  const uint8_t* Memory() const { return data_.data(); }

 private:
  std::vector<uint8_t> data_;
  int64_t pos_ = 0;
};
