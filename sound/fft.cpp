// A radix-2 complex FFT with its tables, window and clip.
#include "sound/fft.h"

#include <cmath>
#include <utility>

void TFFT::SetSize(int n) {
  n_ = n;
  sine_.assign(size_t(n) * 3 / 4, 0.0f);
  bitRev_.assign(size_t(n), 0);
  window_.assign(size_t(n), 0.0f);
  invWindow_.assign(size_t(n), 0.0f);
  Real.assign(size_t(n), 0.0f);
  Imag.assign(size_t(n), 0.0f);
  MakeSineTable();
  MakeBitReverse();
  MakeWindow();
}

void TFFT::MakeSineTable() {
  const int q = n_ / 4, e = n_ / 8;
  double t = std::sin(3.141592 / n_);
  double dc = 2 * t * t;
  double ds = std::sqrt(dc * (2 - dc));
  t = 2 * dc;
  double c = 1, s = 0;
  sine_[q] = 1.0f;
  sine_[0] = 0.0f;
  for (int i = 1; i < e; ++i) {
    c -= dc;
    dc += t * c;
    s += ds;
    ds -= t * s;
    sine_[i] = static_cast<float>(s);
    sine_[q - i] = static_cast<float>(c);
  }
  sine_[e] = static_cast<float>(std::sqrt(0.5));
  for (int j = 0; j < q; ++j) {
    sine_[n_ / 2 - j] = sine_[j];
    sine_[n_ / 2 + j] = -sine_[j];
  }
}

void TFFT::MakeBitReverse() {
  int j = 0;
  for (int i = 0; i < n_; ++i) {
    bitRev_[i] = j;
    int k = n_ / 2;
    while (k <= j && k > 0) {
      j -= k;
      k /= 2;
    }
    j += k;
  }
}

void TFFT::MakeWindow() {
  for (int i = 0; i < n_; ++i) {
    window_[i] = static_cast<float>(0.5 + 0.5 * std::cos((i - n_ / 2) * 3.14159265 / n_));
    invWindow_[i] = 1.0f / window_[i];
  }
}

void TFFT::Transform(bool forward) {
  float* re = Real.data();
  float* im = Imag.data();
  for (int i = 0; i < n_; ++i) {
    int j = bitRev_[i];
    if (i < j) {
      std::swap(re[i], re[j]);
      std::swap(im[i], im[j]);
    }
  }
  for (int k = 1; k < n_; k <<= 1) {
    int d = n_ / (2 * k);
    int h = 0;
    for (int j = 0; j < k; ++j) {
      float c = sine_[h + n_ / 4];
      float s = forward ? -sine_[h] : sine_[h];
      for (int i = j; i < n_; i += 2 * k) {
        int m = i + k;
        float dx = s * im[m] + c * re[m];
        float dy = c * im[m] - s * re[m];
        re[m] = re[i] - dx;
        re[i] = re[i] + dx;
        im[m] = im[i] - dy;
        im[i] = im[i] + dy;
      }
      h += d;
    }
  }
  if (forward) {
    float f = 1.0f / n_;
    for (int i = 0; i < n_; ++i) {
      re[i] *= f;
      im[i] *= f;
    }
  }
}

void TFFT::ApplyWindow() {
  for (int i = 0; i < n_; ++i) {
    Real[i] *= window_[i];
    Imag[i] *= window_[i];
  }
}

void TFFT::RemoveWindow() {
  for (int i = 0; i < n_; ++i) {
    Real[i] *= invWindow_[i];
    Imag[i] *= invWindow_[i];
  }
}

void TFFT::Clip() {
  auto clip = [](float& v) {
    if (v > 32767.0f) v = 32767.0f;
    else if (!(v >= -32767.0f)) v = -32767.0f;
  };
  for (int i = 0; i < n_; ++i) {
    clip(Real[i]);
    clip(Imag[i]);
  }
}
