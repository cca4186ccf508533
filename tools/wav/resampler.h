// Sample-rate conversion with a windowed-sinc filter (Kaiser window, 32 zero crossings on
// each side, cut off just below the lower Nyquist frequency), evaluated from a finely
// sampled table with linear interpolation between its points.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace tvx::tool {

// `in` at in_rate as samples at out_rate (ceil(size × out_rate / in_rate) of them).
std::vector<float> Resample(std::span<const float> in, uint32_t in_rate, uint32_t out_rate);

}  // namespace tvx::tool
