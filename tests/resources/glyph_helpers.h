// Small helpers for looking at glyph bitmaps in tests.
#pragma once

#include <bit>
#include <cstdint>
#include <string_view>
#include <vector>

#include "resources/blob_layout.h"
#include "resources/font_data.h"

namespace tvx::testing {

inline int LitPixels(const Glyph& glyph) {
  int count = 0;
  for (uint16_t row : glyph.rows) count += std::popcount(row);
  return count;
}

// Rows that have ink, top to bottom.
inline std::vector<int> InkedRows(const Glyph& glyph) {
  std::vector<int> rows;
  for (int y = 0; y < glyph.height; ++y) {
    if (glyph.rows[static_cast<size_t>(y)] != 0) rows.push_back(y);
  }
  return rows;
}

inline int BottomInkRow(const Glyph& glyph) {
  const auto rows = InkedRows(glyph);
  return rows.empty() ? -1 : rows.back();
}

// Splits a GBK string into character codes the way the text renderer steps through it.
inline std::vector<uint16_t> GbkCodes(std::string_view gbk) {
  std::vector<uint16_t> codes;
  for (size_t i = 0; i < gbk.size(); ++i) {
    const auto byte = static_cast<uint8_t>(gbk[i]);
    if (blob::IsLeadByte(byte) && i + 1 < gbk.size()) {
      codes.push_back(static_cast<uint16_t>(byte << 8 | static_cast<uint8_t>(gbk[++i])));
    } else {
      codes.push_back(byte);
    }
  }
  return codes;
}

}  // namespace tvx::testing
