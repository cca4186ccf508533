#include "resources/gbk.h"

#include <gtest/gtest.h>

#include <string>

namespace tvx::gbk {
namespace {

TEST(Gbk, KnownCodes) {
  struct Pair {
    uint16_t code;
    char32_t cp;
  };
  constexpr Pair kPairs[] = {
      {0x41, U'A'},        {0x7E, U'~'},    {0xB0A1, U'啊'}, {0xD2BB, U'一'},
      {0xA1AA, U'—'},      {0xA3BF, U'？'}, {0xA3CF, U'Ｏ'}, {0xA5B4, U'ゴ'},
      {0xA1A1, U'\u3000'}, {0x8140, U'丂'}, {0xF7FE, U'齄'}, {0xFE4F, U'\uFA29'},
  };
  for (const Pair& pair : kPairs) {
    EXPECT_EQ(ToUnicode(pair.code), pair.cp) << std::hex << pair.code;
    EXPECT_EQ(FromUnicode(pair.cp), pair.code) << std::hex << pair.code;
  }
  // Not GBK: high single bytes, bad trail bytes, lead byte 0xFF, unassigned and user-defined codes.
  for (uint16_t code : {0x80, 0xFF, 0x817F, 0x8130, 0x81FF, 0xFF40, 0xA2E3, 0xAAA1}) {
    EXPECT_EQ(ToUnicode(code), 0u) << std::hex << code;
  }
  // Not in GBK: the euro sign (only a single byte 0x80 in some code pages), Hangul, emoji, a
  // surrogate and values beyond Unicode.
  for (char32_t cp : {U'€', U'한', U'\U0001F600', char32_t{0xD800}, char32_t{0x110000}}) {
    EXPECT_EQ(FromUnicode(cp), 0u) << std::hex << static_cast<uint32_t>(cp);
  }
}

TEST(Gbk, Utf8RoundTrip) {
  const std::string text = "TALVEX 系统错误：结束游戏吗？ＯＮ／ＯＦＦ ＭＳ Ｐゴシック (Alt+F4)\n";
  const std::string gbk = FromUtf8(text);
  EXPECT_EQ(ToUtf8(gbk), text);
  EXPECT_EQ(FromUtf8("啊A一"),
            "\xB0\xA1"
            "A\xD2\xBB");
  EXPECT_EQ(ToUtf8("\xB0\xA1"
                   "A\xD2\xBB"),
            "啊A一");
  EXPECT_EQ(ToUtf8(std::string_view("a\0b", 3)), std::string("a\0b", 3));
  EXPECT_EQ(FromUtf8(std::string_view("a\0b", 3)), std::string("a\0b", 3));
  EXPECT_EQ(ToUtf8(""), "");
  EXPECT_EQ(FromUtf8(""), "");
}

TEST(Gbk, InvalidGbkBecomesReplacementCharacters) {
  EXPECT_EQ(ToUtf8("\x80"), "\uFFFD");
  EXPECT_EQ(ToUtf8("\xFF"), "\uFFFD");
  EXPECT_EQ(ToUtf8("A\xB0"), "A\uFFFD");  // lone lead byte at the end
  EXPECT_EQ(ToUtf8("\x81\x30"
                   "A"),
            "\uFFFD"
            "0A");  // not a trail byte: it stands alone
  EXPECT_EQ(ToUtf8("\xA1\x7F"), "\uFFFD\x7F");
  EXPECT_EQ(ToUtf8("\xAA\xA1"
                   "B"),
            "\uFFFD"
            "B");  // well-formed but unassigned: one character
  EXPECT_EQ(ToUtf8("\xB0\xA1\x80\xB0\xA1"), "啊\uFFFD啊");
}

TEST(Gbk, UnrepresentableOrBrokenUtf8BecomesQuestionMarks) {
  EXPECT_EQ(FromUtf8("a😀b"), "a?b");
  EXPECT_EQ(FromUtf8("한"), "?");
  EXPECT_EQ(FromUtf8("€"), "?");
  EXPECT_EQ(FromUtf8("\xC3"), "?");  // truncated
  EXPECT_EQ(FromUtf8("\xE4\xB8"
                     "A"),
            "?A");                                  // truncated before an ASCII byte
  EXPECT_EQ(FromUtf8("\xC0\xAF"), "??");            // overlong
  EXPECT_EQ(FromUtf8("\xED\xA0\x80"), "???");       // encoded surrogate
  EXPECT_EQ(FromUtf8("\xF4\x90\x80\x80"), "????");  // beyond U+10FFFF
  EXPECT_EQ(FromUtf8("\x80\xBF"), "??");            // stray continuation bytes
  EXPECT_EQ(FromUtf8("\xE4\xB8\x80\xE4\xB8"), "\xD2\xBB?");
}

}  // namespace
}  // namespace tvx::gbk
