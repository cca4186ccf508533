#include "tools/entry_names.h"

#include <gtest/gtest.h>

#include "resources/gbk.h"

namespace tvx::tool {
namespace {

TEST(EntryNames, Utf8Validation) {
  for (const char* valid : {"", "MAIN.MES", "剧本.txt", "é", "\xF0\x9F\x98\x80", "\xEF\xBF\xBD"}) {
    EXPECT_TRUE(IsValidUtf8(valid)) << valid;
  }
  // Lone trail, cut sequence, overlong forms, a surrogate, beyond U+10FFFF, bytes never used,
  // and GBK text.
  for (const char* invalid : {"\x80", "\xE5\x89", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80",
                              "\xF4\x90\x80\x80", "\xFF", "\xBE\xE7\xB1\xBE.TXT"}) {
    EXPECT_FALSE(IsValidUtf8(invalid)) << invalid;
  }
}

TEST(EntryNames, StoredNames) {
  EXPECT_EQ(StoredEntryName("main.mes"), "MAIN.MES");
  EXPECT_EQ(StoredEntryName("剧本.txt"), gbk::FromUtf8("剧本.TXT"));
  // Bytes that are not UTF-8 are kept: a GBK name is stored as it is, upper-cased.
  EXPECT_EQ(StoredEntryName("\xBE\xE7\xB1\xBE.txt"), "\xBE\xE7\xB1\xBE.TXT");
  EXPECT_EQ(StoredEntryName("한.txt"), std::nullopt);
  EXPECT_TRUE(UpperCasingAltersCharacters("\xB0\x61.txt"));
  EXPECT_FALSE(UpperCasingAltersCharacters("\xBE\xE7\xB1\xBE.txt"));
  EXPECT_FALSE(UpperCasingAltersCharacters("abc"));
}

TEST(EntryNames, DiskNames) {
  EXPECT_EQ(SafeDiskName("MAIN.MES"), "MAIN.MES");
  EXPECT_EQ(SafeDiskName(gbk::FromUtf8("剧本.TXT")), "剧本.TXT");
  // Not GBK: the stored bytes are used as they are.
  EXPECT_EQ(SafeDiskName("\xFF\xFF.BIN"), "\xFF\xFF.BIN");
  for (const char* unsafe : {"", ".", "..", "../X", "A/B", "A\\B", "/X"}) {
    EXPECT_EQ(SafeDiskName(unsafe), std::nullopt) << unsafe;
  }
  // Double-byte characters whose second byte is 0x5C hold no separator once converted.
  const std::string with_5c = "\x81\x5C.TXT";
  EXPECT_EQ(SafeDiskName(with_5c), gbk::ToUtf8(with_5c));
  EXPECT_EQ(DisplayName(gbk::FromUtf8("第一章")), "第一章");
}

}  // namespace
}  // namespace tvx::tool
