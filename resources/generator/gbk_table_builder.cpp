#include "resources/generator/gbk_table_builder.h"

#include <iconv.h>

#include <array>
#include <cstdint>

#include "resources/blob_layout.h"

namespace tvx::fontgen {
namespace {

const auto kFailedOpen = reinterpret_cast<iconv_t>(static_cast<intptr_t>(-1));
constexpr size_t kFailedConversion = static_cast<size_t>(-1);

// One iconv direction, used a character at a time.
class Converter {
 public:
  Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(handle_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool ok() const { return handle_ != kFailedOpen; }

  // Converts all of `input`; the output bytes, or nothing when iconv refuses any of it.
  std::optional<std::string> Convert(std::string input) {
    iconv(handle_, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
    std::array<char, 16> output{};
    char* in = input.data();
    size_t in_left = input.size();
    char* out = output.data();
    size_t out_left = output.size();
    if (iconv(handle_, &in, &in_left, &out, &out_left) == kFailedConversion || in_left != 0) {
      return std::nullopt;
    }
    return std::string(output.data(), output.size() - out_left);
  }

 private:
  iconv_t handle_;
};

std::optional<GbkTables> Build(Converter& decode, Converter& encode, std::string& error) {
  GbkTables tables;
  tables.to_unicode.assign(blob::kSlotCount, 0);
  tables.from_unicode.assign(0x10000, 0);

  for (size_t slot = 0; slot < blob::kSlotCount; ++slot) {
    const uint16_t code = blob::CodeOfSlot(slot);
    if (code > 0xFF && (code & 0xFF) == blob::kBadTrail) continue;
    std::string bytes;
    if (code > 0xFF) bytes.push_back(static_cast<char>(code >> 8));
    bytes.push_back(static_cast<char>(code & 0xFF));
    const auto utf32 = decode.Convert(bytes);
    if (!utf32 || utf32->size() != 4) continue;
    char32_t code_point = 0;
    for (int i = 3; i >= 0; --i) {
      code_point = code_point << 8 | static_cast<uint8_t>((*utf32)[static_cast<size_t>(i)]);
    }
    if (code_point > 0xFFFF) {
      error = "iconv maps a GBK code outside the Basic Multilingual Plane";
      return std::nullopt;
    }
    tables.to_unicode[slot] = code_point;
  }

  // The reverse direction comes from iconv too, so that characters with several GBK codes, or
  // code points that GBK only approximates, get iconv's choice.
  for (char32_t code_point = 1; code_point <= 0xFFFF; ++code_point) {
    if (code_point >= 0xD800 && code_point <= 0xDFFF) continue;
    std::string utf32;
    for (int i = 0; i < 4; ++i) utf32.push_back(static_cast<char>(code_point >> (8 * i) & 0xFF));
    const auto gbk = encode.Convert(utf32);
    if (!gbk) continue;
    uint16_t code = 0;
    if (gbk->size() == 1) {
      code = static_cast<uint8_t>((*gbk)[0]);
    } else if (gbk->size() == 2) {
      code = static_cast<uint16_t>(static_cast<uint8_t>((*gbk)[0]) << 8 |
                                   static_cast<uint8_t>((*gbk)[1]));
    } else {
      continue;
    }
    // Single bytes above 0x7F (0x80 is the euro sign in some code pages) are not GBK text.
    const auto slot = blob::SlotOf(code);
    if (!slot || tables.to_unicode[*slot] == 0) continue;
    tables.from_unicode[code_point] = code;
  }
  return tables;
}

}  // namespace

std::optional<GbkTables> BuildGbkTables(std::string& error) {
  // GBK, or CP936 (its Windows name) where the C library only knows that one.
  for (const char* name : {"GBK", "CP936"}) {
    Converter decode("UTF-32LE", name);
    Converter encode(name, "UTF-32LE");
    if (decode.ok() && encode.ok()) return Build(decode, encode, error);
  }
  error = "the C library's iconv knows neither GBK nor CP936";
  return std::nullopt;
}

}  // namespace tvx::fontgen
