// Every GB2312 character must convert both ways and be drawable in both faces. The C library's
// iconv is the reference for which codes are characters and what they mean.
#include <gtest/gtest.h>
#include <iconv.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "resources/font_data.h"
#include "resources/gbk.h"
#include "tests/resources/glyph_helpers.h"

namespace tvx {
namespace {

class IconvDecoder {
 public:
  IconvDecoder() : handle_(iconv_open("UTF-32LE", "GBK")) {}
  ~IconvDecoder() {
    if (ok()) iconv_close(handle_);
  }
  IconvDecoder(const IconvDecoder&) = delete;
  IconvDecoder& operator=(const IconvDecoder&) = delete;

  bool ok() const { return handle_ != reinterpret_cast<iconv_t>(static_cast<intptr_t>(-1)); }

  std::optional<char32_t> Decode(uint16_t code) {
    std::array<char, 2> in{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    std::array<unsigned char, 8> out{};
    char* in_ptr = in.data();
    size_t in_left = in.size();
    char* out_ptr = reinterpret_cast<char*>(out.data());
    size_t out_left = out.size();
    iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    if (iconv(handle_, &in_ptr, &in_left, &out_ptr, &out_left) == static_cast<size_t>(-1) ||
        out.size() - out_left != 4) {
      return std::nullopt;
    }
    return static_cast<char32_t>(out[0] | out[1] << 8 | out[2] << 16 | out[3] << 24);
  }

 private:
  iconv_t handle_;
};

std::string Hex(uint16_t code) {
  char text[8];
  std::snprintf(text, sizeof text, "%04X", code);
  return text;
}

TEST(Gb2312Coverage, EveryCharacterConvertsAndHasGlyphsInBothFaces) {
  IconvDecoder iconv_gbk;
  ASSERT_TRUE(iconv_gbk.ok());
  int characters = 0;
  std::string failures;
  for (int lead = 0xA1; lead <= 0xF7; ++lead) {
    for (int trail = 0xA1; trail <= 0xFE; ++trail) {
      const auto code = static_cast<uint16_t>(lead << 8 | trail);
      const auto expected = iconv_gbk.Decode(code);
      if (!expected) continue;
      ++characters;
      if (gbk::ToUnicode(code) != *expected) failures += " " + Hex(code) + ":to-unicode";
      if (gbk::FromUnicode(*expected) != code) failures += " " + Hex(code) + ":from-unicode";
      for (FontFaceId face : {FontFaceId::Text16, FontFaceId::Ui12}) {
        Glyph glyph;
        const bool found = LookupGlyph(face, code, glyph);
        const bool blank = code == 0xA1A1;  // the ideographic space
        if (!found || (testing::LitPixels(glyph) == 0) != blank) {
          failures += " " + Hex(code) + (face == FontFaceId::Text16 ? ":text16" : ":ui12");
        }
      }
    }
  }
  EXPECT_GE(characters, 7445);  // 682 symbols and 6763 hanzi
  EXPECT_EQ(failures, "") << "failing GB2312 codes:" << failures;
}

}  // namespace
}  // namespace tvx
