// Every text the engine itself shows (captions, messages, menu entries, font names) must be
// drawable in both faces: each of its characters has a GBK code and a real glyph.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "resources/font_data.h"
#include "resources/gbk.h"
#include "tests/resources/glyph_helpers.h"

namespace tvx {
namespace {

constexpr std::string_view kSystemTexts[] = {
    "系统错误",
    "在系统的构筑中失败了。",
    "结束游戏吗？",
    "游戏的结束",
    "内存错误",
    "内存不足。",
    "内存的取得失败了。",
    "字体的制作失败了",
    "这是句柄",
    "对象的删除失败了",
    "DirectSound不能使用。",
    "道具窗口(SPACE)",
    "保存窗口(S)",
    "读取窗口(L)",
    "信息清除(Tab)",
    "环境设定",
    "结束游戏(Alt+F4)",
    "取消",
    "音乐＆效果音",
    "声音",
    "音量设定",
    "移动速度",
    "ＯＮ",
    "ＯＦＦ",
    "最快",
    "标准",
    "最低",
    "屏幕模式",
    "窗口",
    "全屏幕",
    "道具栏",
    "文件",
    "宋体",
    "TALVEX",
    "MAIN.MES",
    "BGARC 文件的关闭失败了。",
    "BGMARC 文件的关闭失败了。",
    "DATAARC 文件的关闭失败了。",
    "MESARC 文件的关闭失败了。",
    "SE0 文件的关闭失败了。",
    "SE1 文件的关闭失败了。",
    "SE2 文件的关闭失败了。",
    "SE3 文件的关闭失败了。",
    "VOICEARC 文件的关闭失败了。",
    "。",
    "。、）〕］｝〉》」』】．？！",
    "「",
    "在堆栈里什么都没有保存。",
    "在堆栈里有数据。",
    "堆栈溢出",
    "堆栈缓冲器溢出了",
    "堆栈错误",
    "效果音音量",
    "文件大小的取得失败了。",
    "文件打开错误",
    "文件检索错误",
    "文件的关闭失败了。",
    "文件的读取失败了。",
    "文件错误",
    "语音音量",
    "音乐音量",
    "音量控制",
    "（〔［｛〈《「『【",
    "ＭＳ Ｐゴシック",
};

std::string CharacterOf(uint16_t code) {
  std::string bytes;
  if (code > 0xFF) bytes.push_back(static_cast<char>(code >> 8));
  bytes.push_back(static_cast<char>(code & 0xFF));
  return gbk::ToUtf8(bytes);
}

TEST(SystemTexts, EveryCharacterHasAGlyphInBothFaces) {
  std::string failures;
  for (std::string_view text : kSystemTexts) {
    const std::string gbk = gbk::FromUtf8(text);
    if (gbk::ToUtf8(gbk) != text) {
      failures += " [" + std::string(text) + ": not GBK]";
      continue;
    }
    for (uint16_t code : testing::GbkCodes(gbk)) {
      if (code == ' ' || code == 0xA1A1) continue;
      for (FontFaceId face : {FontFaceId::Text16, FontFaceId::Ui12}) {
        Glyph glyph;
        if (!LookupGlyph(face, code, glyph) || testing::LitPixels(glyph) == 0) {
          failures += " [" + std::string(text) + ": " + CharacterOf(code) +
                      (face == FontFaceId::Text16 ? " text16]" : " ui12]");
        }
      }
    }
  }
  EXPECT_EQ(failures, "");
}

}  // namespace
}  // namespace tvx
