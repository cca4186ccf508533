#include "tools/png_io.h"

#include <png.h>

#include <cstdio>
#include <cstring>

#include "platform/file.h"
#include "tools/text_files.h"

namespace tvx::tool {
namespace {

// libpng reports errors by a longjmp back to the setjmp of the call that failed. Every
// function below that calls setjmp holds nothing with a destructor, and the callbacks it
// jumps over hold nothing either: buffers belong to the callers, which the jump never leaves.

// The error, and the last warning before it (libpng gives the detail of a bad header as a
// warning, then fails with a general error).
struct ErrorSink {
  char message[160];
  char warning[160];

  std::string Text() const {
    std::string text = message;
    if (warning[0] != '\0') text += std::string(" (") + warning + ")";
    return text;
  }
};

[[noreturn]] void OnError(png_structp png, png_const_charp message) {
  auto* sink = static_cast<ErrorSink*>(png_get_error_ptr(png));
  std::snprintf(sink->message, sizeof sink->message, "%s", message);
  png_longjmp(png, 1);
}

void OnWarning(png_structp png, png_const_charp message) {
  auto* sink = static_cast<ErrorSink*>(png_get_error_ptr(png));
  std::snprintf(sink->warning, sizeof sink->warning, "%s", message);
}

struct PngInput {
  std::span<const uint8_t> data;
  size_t at;
};

void ReadBytes(png_structp png, png_bytep out, size_t count) {
  auto* source = static_cast<PngInput*>(png_get_io_ptr(png));
  if (count > source->data.size() - source->at) png_error(png, "the file ends early");
  std::memcpy(out, source->data.data() + source->at, count);
  source->at += count;
}

struct RowLayout {
  uint32_t width;
  uint32_t height;
  uint32_t channels;
  uint32_t bit_depth;
  size_t row_bytes;
};

// Reads the header and sets the conversions that make every PNG 8-bit RGB.
bool ReadHeader(png_structp png, png_infop info, RowLayout& layout) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_user_limits(png, kMaxPictureSide, kMaxPictureSide);
  png_read_info(png, info);
  const int colour_type = png_get_color_type(png, info);
  if (colour_type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colour_type == PNG_COLOR_TYPE_GRAY && png_get_bit_depth(png, info) < 8)
    png_set_expand_gray_1_2_4_to_8(png);
  if (colour_type == PNG_COLOR_TYPE_GRAY || colour_type == PNG_COLOR_TYPE_GRAY_ALPHA)
    png_set_gray_to_rgb(png);
  png_set_scale_16(png);
  png_set_strip_alpha(png);  // tRNS is never expanded, so it is dropped as well
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  layout = {png_get_image_width(png, info), png_get_image_height(png, info),
            png_get_channels(png, info), png_get_bit_depth(png, info), png_get_rowbytes(png, info)};
  return true;
}

bool ReadRows(png_structp png, png_infop info, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_image(png, rows);
  png_read_end(png, info);
  return true;
}

struct WriteSink {
  std::vector<uint8_t>* out;
};

void WriteBytes(png_structp png, png_bytep data, size_t count) {
  auto* sink = static_cast<WriteSink*>(png_get_io_ptr(png));
  sink->out->insert(sink->out->end(), data, data + count);
}

void FlushNothing(png_structp) {}

bool WriteRows(png_structp png, png_infop info, uint32_t width, uint32_t height, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, info);
  return true;
}

class ReadHandle {
 public:
  explicit ReadHandle(ErrorSink& sink)
      : png_(png_create_read_struct(PNG_LIBPNG_VER_STRING, &sink, OnError, OnWarning)),
        info_(png_ ? png_create_info_struct(png_) : nullptr) {}
  ~ReadHandle() {
    if (png_) png_destroy_read_struct(&png_, info_ ? &info_ : nullptr, nullptr);
  }
  ReadHandle(const ReadHandle&) = delete;
  ReadHandle& operator=(const ReadHandle&) = delete;
  bool ok() const { return png_ && info_; }
  png_structp png() const { return png_; }
  png_infop info() const { return info_; }

 private:
  png_structp png_;
  png_infop info_;
};

class WriteHandle {
 public:
  explicit WriteHandle(ErrorSink& sink)
      : png_(png_create_write_struct(PNG_LIBPNG_VER_STRING, &sink, OnError, OnWarning)),
        info_(png_ ? png_create_info_struct(png_) : nullptr) {}
  ~WriteHandle() {
    if (png_) png_destroy_write_struct(&png_, info_ ? &info_ : nullptr);
  }
  WriteHandle(const WriteHandle&) = delete;
  WriteHandle& operator=(const WriteHandle&) = delete;
  bool ok() const { return png_ && info_; }
  png_structp png() const { return png_; }
  png_infop info() const { return info_; }

 private:
  png_structp png_;
  png_infop info_;
};

std::vector<png_bytep> RowPointers(std::vector<uint8_t>& buffer, size_t row_bytes,
                                   uint32_t height) {
  std::vector<png_bytep> rows(height);
  for (uint32_t y = 0; y < height; ++y) rows[y] = buffer.data() + row_bytes * y;
  return rows;
}

}  // namespace

std::optional<Picture555> DecodePng(std::span<const uint8_t> file, std::string& error) {
  constexpr size_t kSignatureSize = 8;
  if (file.size() < kSignatureSize || png_sig_cmp(file.data(), 0, kSignatureSize) != 0) {
    error = "not a PNG file";
    return std::nullopt;
  }
  ErrorSink sink{};
  ReadHandle handle(sink);
  if (!handle.ok()) {
    error = "out of memory";
    return std::nullopt;
  }
  PngInput source{file, 0};
  png_set_read_fn(handle.png(), &source, ReadBytes);
  RowLayout layout{};
  if (!ReadHeader(handle.png(), handle.info(), layout)) {
    error = "cannot read the PNG: " + sink.Text();
    return std::nullopt;
  }
  if (uint64_t{layout.width} * layout.height > kMaxPicturePixels) {
    error = std::to_string(layout.width) + " x " + std::to_string(layout.height) +
            " is too large (at most " + std::to_string(kMaxPicturePixels) + " pixels)";
    return std::nullopt;
  }
  if (layout.channels != 3 || layout.bit_depth != 8 ||
      layout.row_bytes < size_t{3} * layout.width) {
    error = "unsupported PNG layout";
    return std::nullopt;
  }
  std::vector<uint8_t> buffer(layout.row_bytes * layout.height);
  std::vector<png_bytep> rows = RowPointers(buffer, layout.row_bytes, layout.height);
  if (!ReadRows(handle.png(), handle.info(), rows.data())) {
    error = "cannot read the PNG: " + sink.Text();
    return std::nullopt;
  }
  Picture555 picture{layout.width, layout.height, {}};
  picture.pixels.resize(size_t{layout.width} * layout.height);
  for (uint32_t y = 0; y < layout.height; ++y) {
    const std::span<const uint8_t> row(rows[y], layout.row_bytes);
    for (uint32_t x = 0; x < layout.width; ++x)
      picture.At(x, y) = Pack555(row[3 * x], row[3 * x + 1], row[3 * x + 2]);
  }
  return picture;
}

std::optional<std::vector<uint8_t>> EncodePng(const Picture555& picture, std::string& error) {
  if (picture.width == 0 || picture.height == 0 || picture.width > kMaxPictureSide ||
      picture.height > kMaxPictureSide ||
      picture.pixels.size() != size_t{picture.width} * picture.height) {
    error = "no picture to write (" + std::to_string(picture.width) + " x " +
            std::to_string(picture.height) + ")";
    return std::nullopt;
  }
  const size_t row_bytes = size_t{3} * picture.width;
  std::vector<uint8_t> buffer(row_bytes * picture.height);
  for (size_t i = 0; i < picture.pixels.size(); ++i) {
    const uint16_t pixel = picture.pixels[i];
    buffer[3 * i] = To8Bit(pixel >> 10);
    buffer[3 * i + 1] = To8Bit(pixel >> 5);
    buffer[3 * i + 2] = To8Bit(pixel);
  }
  std::vector<png_bytep> rows = RowPointers(buffer, row_bytes, picture.height);

  ErrorSink sink{};
  WriteHandle handle(sink);
  if (!handle.ok()) {
    error = "out of memory";
    return std::nullopt;
  }
  std::vector<uint8_t> out;
  WriteSink target{&out};
  png_set_write_fn(handle.png(), &target, WriteBytes, FlushNothing);
  if (!WriteRows(handle.png(), handle.info(), picture.width, picture.height, rows.data())) {
    error = "cannot make the PNG: " + sink.Text();
    return std::nullopt;
  }
  return out;
}

std::optional<Picture555> ReadPngFile(const std::string& path, std::string& error) {
  std::error_code reason;
  const auto file = platform::ReadWholeFile(path, reason);
  if (!file) {
    error = CannotRead(path, reason);
    return std::nullopt;
  }
  auto picture = DecodePng(*file, error);
  if (!picture) error = path + ": " + error;
  return picture;
}

bool WritePngFile(const std::string& path, const Picture555& picture, std::string& error) {
  const auto bytes = EncodePng(picture, error);
  if (!bytes) {
    error = path + ": " + error;
    return false;
  }
  std::error_code reason;
  if (!platform::WriteFileAtomically(path, *bytes, reason)) {
    error = CannotWrite(path, reason);
    return false;
  }
  return true;
}

}  // namespace tvx::tool
