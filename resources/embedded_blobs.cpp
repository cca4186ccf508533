#include "resources/embedded_blobs.h"

#include <cstdint>

// Defined in embedded_blobs.S: each blob's bytes and its size in bytes.
extern "C" {
extern const std::byte talvex_text16_blob[];
extern const uint32_t talvex_text16_blob_size;
extern const std::byte talvex_ui12_blob[];
extern const uint32_t talvex_ui12_blob_size;
extern const std::byte talvex_gbk_blob[];
extern const uint32_t talvex_gbk_blob_size;
}

namespace tvx::blob {

std::span<const std::byte> Text16FontBlob() {
  return {talvex_text16_blob, talvex_text16_blob_size};
}

std::span<const std::byte> Ui12FontBlob() {
  return {talvex_ui12_blob, talvex_ui12_blob_size};
}

std::span<const std::byte> CodePageBlob() {
  return {talvex_gbk_blob, talvex_gbk_blob_size};
}

}  // namespace tvx::blob
