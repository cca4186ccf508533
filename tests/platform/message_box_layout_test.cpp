#include "platform/message_box_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/font_data.h"

namespace tvx::platform {
namespace {

constexpr std::string_view kZhong = "\xD6\xD0";  // 中
constexpr uint16_t kNavy = 0x0010;
constexpr uint16_t kWhite = 0x7FFF;
constexpr uint16_t kBlack = 0x0000;

bool Inside(const Rect& inner, const Rect& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

// True when no double-byte character is cut at the end of the text.
bool EndsWhole(std::string_view gbk) {
  for (size_t i = 0; i < gbk.size();) {
    const auto lead = static_cast<uint8_t>(gbk[i]);
    if (lead < 0x81 || lead == 0xFF) {
      ++i;
      continue;
    }
    if (i + 1 >= gbk.size()) return false;
    i += 2;
  }
  return true;
}

std::vector<uint16_t> Render(const MessageBoxLayout& box, int focused, int pressed) {
  std::vector<uint16_t> pixels(static_cast<size_t>(box.width) * box.height, 0x1234);
  RenderMessageBox(box, focused, pressed, pixels);
  return pixels;
}

uint16_t At(const std::vector<uint16_t>& pixels, const MessageBoxLayout& box, int32_t x,
            int32_t y) {
  return pixels[static_cast<size_t>(y) * box.width + x];
}

int CountIn(const std::vector<uint16_t>& pixels, const MessageBoxLayout& box, const Rect& area,
            uint16_t colour) {
  int count = 0;
  for (int32_t y = area.top; y < area.bottom; ++y)
    for (int32_t x = area.left; x < area.right; ++x) count += At(pixels, box, x, y) == colour;
  return count;
}

Point Centre(const Rect& r) {
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// ---- Layout ----

TEST(MessageBoxLayoutTest, PartsLieInsideTheBoxAndTheTextFits) {
  for (const std::string& text :
       {std::string("Hello"), std::string(60, 'x'), std::string(2000, 'y'), std::string()}) {
    const MessageBoxLayout box = LayoutMessageBox("Caption", text, BoxButtons::Ok);
    SCOPED_TRACE(text.size());
    EXPECT_GE(box.width, 240);
    EXPECT_LE(box.width, 560);
    EXPECT_LE(box.height, 480);
    const Rect all{0, 0, box.width, box.height};
    EXPECT_TRUE(Inside(box.caption_bar, all));
    EXPECT_TRUE(Inside(box.close_box, box.caption_bar));
    EXPECT_TRUE(Inside(box.icon, all));
    EXPECT_TRUE(Inside(box.text_area, all));
    EXPECT_FALSE(Intersect(box.icon, box.text_area).Width() > 0);
    EXPECT_GE(box.icon.top, box.caption_bar.bottom);
    for (const BoxTextLine& line : box.lines) {
      const Rect cell{line.origin.x, line.origin.y,
                      line.origin.x + MeasureGbk(FontFaceId::Ui12, line.text),
                      line.origin.y + FaceHeight(FontFaceId::Ui12)};
      EXPECT_TRUE(Inside(cell, box.text_area)) << line.text;
    }
    ASSERT_EQ(box.buttons.size(), 1u);
    EXPECT_EQ(box.buttons[0].answer, BoxAnswer::Ok);
    EXPECT_TRUE(Inside(box.buttons[0].rect, all));
    EXPECT_GE(box.buttons[0].rect.top, std::max(box.text_area.bottom, box.icon.bottom));
  }
}

TEST(MessageBoxLayoutTest, WidthGrowsWithTheTextUpToTheLimit) {
  const MessageBoxLayout narrow = LayoutMessageBox("", "OK?", BoxButtons::Ok);
  const MessageBoxLayout wider = LayoutMessageBox("", std::string(60, 'x'), BoxButtons::Ok);
  const MessageBoxLayout widest = LayoutMessageBox("", std::string(300, 'x'), BoxButtons::Ok);
  EXPECT_EQ(narrow.width, 240);
  EXPECT_GT(wider.width, 240);
  EXPECT_EQ(wider.lines.size(), 1u);
  EXPECT_GT(widest.width, 540);
  EXPECT_LE(widest.width, 560);
  EXPECT_GT(widest.lines.size(), 1u);
}

TEST(MessageBoxLayoutTest, OkCancelHasTwoButtonsSideBySide) {
  const MessageBoxLayout box = LayoutMessageBox("Quit", "Really?", BoxButtons::OkCancel);
  ASSERT_EQ(box.buttons.size(), 2u);
  const BoxButton& ok = box.buttons[0];
  const BoxButton& cancel = box.buttons[1];
  EXPECT_EQ(ok.answer, BoxAnswer::Ok);
  EXPECT_EQ(cancel.answer, BoxAnswer::Cancel);
  EXPECT_EQ(ok.label, "\xC8\xB7\xB6\xA8");      // 确定
  EXPECT_EQ(cancel.label, "\xC8\xA1\xCF\xFB");  // 取消
  EXPECT_EQ(ok.rect.top, cancel.rect.top);
  EXPECT_LE(ok.rect.right, cancel.rect.left);
  // Centred as a pair.
  EXPECT_NEAR(ok.rect.left, box.width - cancel.rect.right, 1);
}

TEST(MessageBoxLayoutTest, DismissingAnswersCancelOnlyWhenThereIsACancelButton) {
  const MessageBoxLayout ok = LayoutMessageBox("", "x", BoxButtons::Ok);
  const MessageBoxLayout ok_cancel = LayoutMessageBox("", "x", BoxButtons::OkCancel);
  EXPECT_EQ(DismissAnswer(ok), BoxAnswer::Ok);
  EXPECT_EQ(DismissAnswer(ok_cancel), BoxAnswer::Cancel);
  EXPECT_EQ(ButtonAnswer(ok_cancel, kBoxCloseButton), BoxAnswer::Cancel);
  EXPECT_EQ(ButtonAnswer(ok, kBoxCloseButton), BoxAnswer::Ok);
  EXPECT_EQ(ButtonAnswer(ok_cancel, 0), BoxAnswer::Ok);
  EXPECT_EQ(ButtonAnswer(ok_cancel, 1), BoxAnswer::Cancel);
}

TEST(MessageBoxLayoutTest, HitTestFindsButtonsAndMissesElsewhere) {
  const MessageBoxLayout box = LayoutMessageBox("Quit", "Really?", BoxButtons::OkCancel);
  for (int i = 0; i < 2; ++i) {
    const Rect& r = box.buttons[static_cast<size_t>(i)].rect;
    EXPECT_EQ(ButtonAt(box, Centre(r)), i);
    EXPECT_EQ(ButtonAt(box, {r.left, r.top}), i);
    EXPECT_EQ(ButtonAt(box, {r.right - 1, r.bottom - 1}), i);
    EXPECT_EQ(ButtonAt(box, {r.left, r.bottom}), kNoBoxButton);
    EXPECT_EQ(ButtonAt(box, {r.left - 1, r.top}), kNoBoxButton);
  }
  // Between the two buttons.
  EXPECT_EQ(ButtonAt(box, {box.buttons[0].rect.right, box.buttons[0].rect.top}), kNoBoxButton);
  EXPECT_EQ(ButtonAt(box, Centre(box.close_box)), kBoxCloseButton);
  EXPECT_EQ(ButtonAt(box, Centre(box.text_area)), kNoBoxButton);
  EXPECT_EQ(ButtonAt(box, Centre(box.icon)), kNoBoxButton);
  EXPECT_EQ(ButtonAt(box, {box.caption_bar.left + 2, box.caption_bar.top + 2}), kNoBoxButton);
  EXPECT_EQ(ButtonAt(box, {-5, -5}), kNoBoxButton);
  EXPECT_EQ(ButtonAt(box, {box.width + 10, box.height + 10}), kNoBoxButton);
}

// ---- Wrapping ----

TEST(MessageBoxLayoutTest, LongTextWrapsWithoutSplittingDoubleByteCharacters) {
  // The leading single byte puts every double-byte character at an odd offset.
  std::string text = "a";
  for (int i = 0; i < 100; ++i) text += kZhong;
  const MessageBoxLayout box = LayoutMessageBox("", text, BoxButtons::Ok);
  ASSERT_GT(box.lines.size(), 1u);
  std::string joined;
  for (const BoxTextLine& line : box.lines) {
    EXPECT_TRUE(EndsWhole(line.text)) << "line " << joined.size();
    EXPECT_LE(MeasureGbk(FontFaceId::Ui12, line.text), box.text_area.Width());
    joined += line.text;
  }
  EXPECT_EQ(joined, text);
  // Nothing breaks early: every line but the last is full to within one character.
  for (size_t i = 0; i + 1 < box.lines.size(); ++i)
    EXPECT_GT(MeasureGbk(FontFaceId::Ui12, box.lines[i].text) + 12, box.text_area.Width());
}

TEST(MessageBoxLayoutTest, LatinTextWrapsBetweenWords) {
  std::string text;
  for (int i = 0; i < 40; ++i) text += "abcdefg ";
  const MessageBoxLayout box = LayoutMessageBox("", text, BoxButtons::Ok);
  ASSERT_GT(box.lines.size(), 1u);
  for (const BoxTextLine& line : box.lines) {
    std::string rest = line.text;
    while (!rest.empty() && rest.back() == ' ') rest.pop_back();
    // Whole words only.
    for (size_t at = 0; at < rest.size(); at += 8) EXPECT_EQ(rest.substr(at, 7), "abcdefg");
    EXPECT_EQ(rest.size() % 8, 7u) << line.text;
  }
}

TEST(MessageBoxLayoutTest, LineBreaksAreHonoured) {
  const MessageBoxLayout box =
      LayoutMessageBox("", "first\nsecond\r\nthird\n\nfifth\n", BoxButtons::Ok);
  std::vector<std::string> lines;
  for (const BoxTextLine& line : box.lines) lines.push_back(line.text);
  EXPECT_EQ(lines, (std::vector<std::string>{"first", "second", "third", "", "fifth"}));
  for (size_t i = 1; i < box.lines.size(); ++i) {
    EXPECT_EQ(box.lines[i].origin.x, box.lines[0].origin.x);
    EXPECT_GE(box.lines[i].origin.y - box.lines[i - 1].origin.y, FaceHeight(FontFaceId::Ui12));
  }
}

// ---- Drawing ----

TEST(MessageBoxLayoutTest, RendersCaptionBarTextFromTheFontAndIcon) {
  std::string text = "Text ";
  text += kZhong;
  const MessageBoxLayout box = LayoutMessageBox("Caption", text, BoxButtons::Ok);
  const std::vector<uint16_t> pixels = Render(box, 0, kNoBoxButton);

  // Navy bar with white caption letters on it.
  EXPECT_GT(CountIn(pixels, box, box.caption_bar, kNavy), box.caption_bar.Width() * 10);
  EXPECT_GT(CountIn(pixels, box, box.caption_bar, kWhite), 20);
  // Every pixel was painted.
  EXPECT_EQ(CountIn(pixels, box, {0, 0, box.width, box.height}, 0x1234), 0);

  // The double-byte character is drawn exactly as the font has it.
  ASSERT_EQ(box.lines.size(), 1u);
  Glyph glyph;
  ASSERT_TRUE(LookupGlyph(FontFaceId::Ui12, 0xD6D0, glyph));
  const Point at{box.lines[0].origin.x + MeasureGbk(FontFaceId::Ui12, "Text "),
                 box.lines[0].origin.y};
  int ink = 0;
  for (int row = 0; row < glyph.height; ++row) {
    for (int column = 0; column < glyph.width; ++column) {
      const bool set = glyph.rows[static_cast<size_t>(row)] & (0x8000u >> column);
      ink += set;
      EXPECT_EQ(At(pixels, box, at.x + column, at.y + row) == kBlack, set)
          << "row " << row << " column " << column;
    }
  }
  EXPECT_GT(ink, 10);

  // A yellow warning sign.
  EXPECT_GT(CountIn(pixels, box, box.icon, 0x7FE0), 200);
  EXPECT_GT(CountIn(pixels, box, box.icon, kBlack), 40);
}

TEST(MessageBoxLayoutTest, FocusAndPressingShowOnTheButtons) {
  const MessageBoxLayout box = LayoutMessageBox("Quit", "Really?", BoxButtons::OkCancel);
  const Rect ok = box.buttons[0].rect;
  const Rect cancel = box.buttons[1].rect;
  const std::vector<uint16_t> first = Render(box, 0, kNoBoxButton);
  const std::vector<uint16_t> second = Render(box, 1, kNoBoxButton);
  // The focused button has a black frame; the other one a white top-left edge.
  EXPECT_EQ(At(first, box, ok.left, ok.top), kBlack);
  EXPECT_EQ(At(first, box, cancel.left, cancel.top), kWhite);
  EXPECT_EQ(At(second, box, ok.left, ok.top), kWhite);
  EXPECT_EQ(At(second, box, cancel.left, cancel.top), kBlack);
  // The labels are drawn.
  EXPECT_GT(CountIn(first, box, cancel, kBlack), 20 + 2 * cancel.Width());

  // Pressing changes the button's look, and only that button's.
  const std::vector<uint16_t> pressed = Render(box, 1, 1);
  EXPECT_NE(CountIn(pressed, box, cancel, kWhite), CountIn(second, box, cancel, kWhite));
  EXPECT_EQ(CountIn(pressed, box, ok, kWhite), CountIn(second, box, ok, kWhite));
  const std::vector<uint16_t> closing = Render(box, 0, kBoxCloseButton);
  EXPECT_NE(CountIn(closing, box, box.close_box, kWhite),
            CountIn(first, box, box.close_box, kWhite));
}

TEST(MessageBoxLayoutTest, TooSmallPictureIsLeftAlone) {
  const MessageBoxLayout box = LayoutMessageBox("Caption", "Text", BoxButtons::Ok);
  std::vector<uint16_t> pixels(static_cast<size_t>(box.width) * box.height - 1, 0x1234);
  RenderMessageBox(box, 0, kNoBoxButton, pixels);
  for (uint16_t p : pixels) ASSERT_EQ(p, 0x1234);
}

}  // namespace
}  // namespace tvx::platform
