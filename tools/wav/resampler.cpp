#include "tools/wav/resampler.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tvx::tool {

namespace {

constexpr double kZeroCrossings = 32;
constexpr double kPassband = 0.95;   // of the lower Nyquist frequency
constexpr double kKaiserBeta = 9.0;  // about 90 dB of stop-band attenuation
constexpr int kPhases = 512;         // table points per input sample

// The zeroth-order modified Bessel function of the first kind, by its series.
double BesselI0(double x) {
  double sum = 1, term = 1;
  for (int k = 1; k < 50; ++k) {
    term *= (x / (2 * k)) * (x / (2 * k));
    sum += term;
    if (term < sum * 1e-17) break;
  }
  return sum;
}

}  // namespace

std::vector<float> Resample(std::span<const float> in, uint32_t in_rate, uint32_t out_rate) {
  if (in_rate == out_rate || in_rate == 0 || out_rate == 0) return {in.begin(), in.end()};
  // Cut-off relative to the input's Nyquist frequency; the filter spans ±half input samples.
  const double cutoff = kPassband * std::min(1.0, static_cast<double>(out_rate) / in_rate);
  const double half = kZeroCrossings / cutoff;
  const auto points = static_cast<size_t>(std::ceil(half * kPhases)) + 2;
  std::vector<double> table(points);
  const double norm = BesselI0(kKaiserBeta);
  for (size_t j = 0; j < points; ++j) {
    const double x = static_cast<double>(j) / kPhases;
    if (x >= half) break;
    const double arg = std::numbers::pi * cutoff * x;
    const double sinc = x == 0 ? 1.0 : std::sin(arg) / arg;
    const double r = x / half;
    table[j] = cutoff * sinc * BesselI0(kKaiserBeta * std::sqrt(1 - r * r)) / norm;
  }
  auto kernel = [&](double x) {
    const double at = std::abs(x) * kPhases;
    const auto i = static_cast<size_t>(at);
    if (i + 1 >= points) return 0.0;
    const double f = at - static_cast<double>(i);
    return table[i] + (table[i + 1] - table[i]) * f;
  };

  const uint64_t out_size = (uint64_t{in.size()} * out_rate + in_rate - 1) / in_rate;
  std::vector<float> out(static_cast<size_t>(out_size));
  const auto reach = static_cast<int64_t>(std::ceil(half));
  const auto size = static_cast<int64_t>(in.size());
  for (uint64_t n = 0; n < out_size; ++n) {
    // The output sample's position in input samples, kept exact as a fraction.
    const uint64_t numerator = n * in_rate;
    const auto center = static_cast<int64_t>(numerator / out_rate);
    const double frac = static_cast<double>(numerator % out_rate) / out_rate;
    double sum = 0;
    const int64_t first = std::max<int64_t>(0, center - reach + 1);
    const int64_t last = std::min<int64_t>(size - 1, center + reach);
    for (int64_t k = first; k <= last; ++k)
      sum += in[static_cast<size_t>(k)] * kernel(static_cast<double>(center - k) + frac);
    out[static_cast<size_t>(n)] = static_cast<float>(sum);
  }
  return out;
}

}  // namespace tvx::tool
