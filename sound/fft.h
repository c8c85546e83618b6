// A radix-2 complex FFT of a fixed size, in place on float32 real and imaginary arrays, with
// its sine and bit-reverse tables, a raised-cosine window and a clip.
#pragma once
#include <cstdint>
#include <vector>

class TFFT {
 public:
  explicit TFFT(int n) { SetSize(n); }
  // n: a power of two, at least 8.
  void SetSize(int n);
  // Forward: X[k] = (1/n) sum z[j] e^(+2 pi i jk/n). Inverse: z[j] = sum X[k] e^(-2 pi i jk/n).
  void Forward() { Transform(true); }
  void Inverse() { Transform(false); }
  void Transform(bool forward);
  void ApplyWindow();
  void RemoveWindow();
  void Clip();

  int Size() const { return n_; }
  std::vector<float> Real, Imag;  // the work arrays
  const std::vector<float>& SineTable() const { return sine_; }
  const std::vector<int32_t>& BitReverse() const { return bitRev_; }
  const std::vector<float>& Window() const { return window_; }

 private:
  void MakeSineTable();
  void MakeBitReverse();
  void MakeWindow();

  int n_ = 0;
  std::vector<float> sine_;    // 3n/4 entries: sin(2 pi k / n)
  std::vector<int32_t> bitRev_;
  std::vector<float> window_, invWindow_;
};
