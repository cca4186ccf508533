#include "tools/g16_file.h"

#include <algorithm>
#include <string_view>

#include "archive/lzss_decoder.h"
#include "archive/lzss_encoder.h"
#include "resources/byte_order.h"
#include "tools/text_files.h"

namespace tvx::tool {

std::vector<uint8_t> G16PixelStream(const Picture555& picture) {
  if (picture.width == 0) return {};
  std::vector<uint8_t> stream(G16PixelBytes(picture.width, picture.height));
  size_t at = 0;
  auto put = [&](uint16_t pixel) {
    bytes::StoreLe16(stream, at, pixel);
    at += 2;
  };
  for (uint32_t row = picture.height; row-- > 0;) {
    for (uint32_t x = 0; x < picture.width; ++x) put(picture.At(x, row));
    if (picture.width % 2 != 0) put(picture.At(picture.width - 1, row));
  }
  return stream;
}

std::vector<uint8_t> EncodeG16(const Picture555& picture, uint16_t x, uint16_t y) {
  std::vector<uint8_t> file(PictureLoader::kG16HeaderSize);
  bytes::StoreLe16(file, 0, x);
  bytes::StoreLe16(file, 2, y);
  bytes::StoreLe16(file, 4, static_cast<uint16_t>(picture.width));
  bytes::StoreLe16(file, 6, static_cast<uint16_t>(picture.height));
  const std::vector<uint8_t> packed = LzssEncoder().Encode(G16PixelStream(picture));
  file.insert(file.end(), packed.begin(), packed.end());
  return file;
}

std::optional<PictureGeometry> ReadG16Header(std::span<const uint8_t> file) {
  if (file.size() < PictureLoader::kG16HeaderSize) return std::nullopt;
  return PictureGeometry{bytes::LoadLe16(file, 0), bytes::LoadLe16(file, 2),
                         bytes::LoadLe16(file, 4), bytes::LoadLe16(file, 6)};
}

G16StreamCheck CheckG16Stream(std::span<const uint8_t> file) {
  G16StreamCheck check;
  const auto header = ReadG16Header(file);
  if (!header) return check;
  check.needed = G16PixelBytes(header->width, header->height);
  LzssDecoder decoder;
  decoder.DecodeTo(file.subspan(PictureLoader::kG16HeaderSize), [&](uint8_t) {
    if (check.produced == check.needed) {
      check.more = true;
      return false;
    }
    ++check.produced;
    return true;
  });
  return check;
}

std::optional<Picture555> DecodeG16(std::span<const uint8_t> file, std::string& error) {
  if (auto other = KnownFormatOf(file)) {
    error = *other;
    return std::nullopt;
  }
  const auto header = ReadG16Header(file);
  if (!header) {
    error = "too short for a G16 header (" + std::to_string(file.size()) + " bytes)";
    return std::nullopt;
  }
  if (header->width == 0 || header->height == 0) {
    error = "an empty picture (" + std::to_string(header->width) + " x " +
            std::to_string(header->height) + ")";
    return std::nullopt;
  }
  if (uint64_t{header->width} * header->height > kMaxPicturePixels) {
    error = std::to_string(header->width) + " x " + std::to_string(header->height) +
            " is too large (at most " + std::to_string(kMaxPicturePixels) + " pixels)";
    return std::nullopt;
  }
  const G16StreamCheck check = CheckG16Stream(file);
  if (!check.complete()) {
    error = "the pixel stream ends after " + std::to_string(check.produced) + " of the " +
            std::to_string(check.needed) + " bytes the picture needs";
    return std::nullopt;
  }

  // The picture is moved to (0, 0) of a plane just its size: the loader clips the padding.
  std::vector<uint8_t> moved(file.begin(), file.end());
  bytes::StoreLe16(moved, 0, 0);
  bytes::StoreLe16(moved, 2, 0);
  std::vector<uint16_t> memory(size_t{header->width} * header->height);
  VramPlane plane{memory, 0, 0, header->width, header->height};
  PictureLoader loader;
  loader.LoadG16(moved, plane);

  Picture555 picture{header->width, header->height, {}};
  picture.pixels.resize(memory.size());
  for (uint32_t y = 0; y < picture.height; ++y)
    for (uint32_t x = 0; x < picture.width; ++x) picture.At(x, y) = plane.At(x, y);
  return picture;
}

}  // namespace tvx::tool
