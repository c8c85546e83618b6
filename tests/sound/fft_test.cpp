// The FFT: its tables, the transform against a naive DFT, the round trip, window and clip.
#include "sound/fft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <random>

TEST(FFT, TablesFor256And8Points) {
  TFFT f(256);
  ASSERT_EQ(f.SineTable().size(), 192u);
  EXPECT_FLOAT_EQ(f.SineTable()[64], 1.0f);
  EXPECT_NEAR(f.SineTable()[32], std::sqrt(0.5), 1e-7);
  EXPECT_EQ(f.SineTable()[128], 0.0f);
  for (int k = 0; k < 192; ++k) EXPECT_NEAR(f.SineTable()[k], std::sin(2 * M_PI * k / 256), 2e-6) << k;
  EXPECT_FLOAT_EQ(f.Window()[0], 0.5f);
  EXPECT_FLOAT_EQ(f.Window()[128], 1.0f);

  TFFT e(8);
  std::vector<int32_t> want = {0, 4, 2, 6, 1, 5, 3, 7};
  EXPECT_EQ(e.BitReverse(), want);
}

TEST(FFT, ForwardMatchesANaiveDftAndInverseRestores) {
  const int n = 256;
  TFFT f(n);
  std::mt19937 rng(7);
  std::uniform_real_distribution<float> d(-20000, 20000);
  std::vector<std::complex<double>> z(n);
  for (int j = 0; j < n; ++j) {
    f.Real[j] = d(rng);
    f.Imag[j] = d(rng);
    z[j] = {f.Real[j], f.Imag[j]};
  }
  f.Forward();
  for (int k = 0; k < n; ++k) {
    std::complex<double> x = 0;
    for (int j = 0; j < n; ++j) x += z[j] * std::polar(1.0, 2 * M_PI * j * k / n);
    x /= n;
    EXPECT_NEAR(f.Real[k], x.real(), 0.05) << k;
    EXPECT_NEAR(f.Imag[k], x.imag(), 0.05) << k;
  }
  f.Inverse();
  for (int j = 0; j < n; ++j) {
    EXPECT_NEAR(f.Real[j], z[j].real(), 0.1) << j;
    EXPECT_NEAR(f.Imag[j], z[j].imag(), 0.1) << j;
  }
}

TEST(FFT, ConstantInputHasOnlyBinZero) {
  TFFT f(256);
  for (float& v : f.Real) v = 1.0f;
  f.Forward();
  EXPECT_NEAR(f.Real[0], 1.0f, 1e-6);
  for (int k = 1; k < 256; ++k) {
    EXPECT_NEAR(f.Real[k], 0.0f, 1e-6) << k;
    EXPECT_NEAR(f.Imag[k], 0.0f, 1e-6) << k;
  }
  f.Inverse();
  for (int j = 0; j < 256; ++j) EXPECT_NEAR(f.Real[j], 1.0f, 1e-5);
}

TEST(FFT, WindowRoundTripAndClip) {
  TFFT f(256);
  for (int i = 0; i < 256; ++i) f.Real[i] = f.Imag[i] = 1000.0f;
  f.ApplyWindow();
  EXPECT_FLOAT_EQ(f.Real[0], 500.0f);
  f.RemoveWindow();
  for (int i = 0; i < 256; ++i) EXPECT_NEAR(f.Real[i], 1000.0f, 1e-3);
  f.Real[0] = 40000;
  f.Real[1] = -40000;
  f.Imag[2] = -32767;
  f.Imag[3] = NAN;  // not >= -32767: clipped low
  f.Clip();
  EXPECT_EQ(f.Real[0], 32767.0f);
  EXPECT_EQ(f.Real[1], -32767.0f);
  EXPECT_EQ(f.Imag[2], -32767.0f);
  EXPECT_EQ(f.Imag[3], -32767.0f);
}
