// Builds the GBK <-> Unicode tables with the C library's iconv.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tvx::fontgen {

struct GbkTables {
  std::vector<char32_t> to_unicode;    // per slot (see blob_layout.h), 0 = not a character
  std::vector<uint16_t> from_unicode;  // per BMP code point, 0 = no GBK code
};

std::optional<GbkTables> BuildGbkTables(std::string& error);

}  // namespace tvx::fontgen
