#include <gtest/gtest.h>

#include "platform/headless/event_script.h"

namespace tvx::platform {
namespace {

using K = ScriptedEvent::Kind;

TEST(EventScript, ParsesEveryKindOfEvent) {
  const auto result = ParseEventScript(
      "# a whole game session\n"
      "100 key down Enter\n"
      "  120 key up   Enter   # trailing comment\n"
      "50 mouse move 320 -4\n"
      "60 mouse down left\n"
      "61 mouse up right\n"
      "70 wheel -240\n"
      "80 focus lost\n"
      "81 focus gained\n"
      "90 close\n"
      "91 minimize\n"
      "92 restore\n"
      "93 answer Cancel\n"
      "94 key down Z\n"
      "95 key down F4\r\n"
      "\n");
  ASSERT_TRUE(result.ok()) << result.error;
  ASSERT_EQ(result.events.size(), 14u);
  // Sorted by time.
  EXPECT_EQ(result.events[0].kind, K::MouseMove);
  EXPECT_EQ(result.events[0].x, 320);
  EXPECT_EQ(result.events[0].y, -4);
  EXPECT_EQ(result.events[1].kind, K::MouseDown);
  EXPECT_TRUE(result.events[1].left);
  EXPECT_FALSE(result.events[2].left);
  EXPECT_EQ(result.events[3].delta, -240);
  EXPECT_EQ(result.events[4].kind, K::FocusLost);
  EXPECT_EQ(result.events[6].kind, K::Close);
  EXPECT_EQ(result.events[9].answer, BoxAnswer::Cancel);
  EXPECT_EQ(result.events[10].key, LetterKey('Z'));
  EXPECT_EQ(result.events[11].key, Key::F4);
  EXPECT_EQ(result.events[12].time, 100u);
  EXPECT_EQ(result.events[12].key, Key::Enter);
  EXPECT_EQ(result.events[13].kind, K::KeyUp);
}

TEST(EventScript, ErrorsNameTheLine) {
  EXPECT_EQ(ParseEventScript("10 key down Enter\nabc key down A\n").error,
            "line 2: expected a time in milliseconds");
  EXPECT_NE(ParseEventScript("10 key down Insert").error.find("unknown key name 'Insert'"),
            std::string::npos);
  for (const auto& [name, key] : {std::pair{"PageUp", Key::PageUp},
                                  {"PageDown", Key::PageDown},
                                  {"Home", Key::Home},
                                  {"End", Key::End},
                                  {"F11", Key::F11}})
    EXPECT_EQ(KeyFromName(name), key) << name;
  EXPECT_NE(ParseEventScript("10 key press A").error.find("line 1"), std::string::npos);
  EXPECT_NE(ParseEventScript("10 mouse move 1").error.find("mouse move"), std::string::npos);
  EXPECT_NE(ParseEventScript("10 answer Yes").error.find("OK|Cancel"), std::string::npos);
  EXPECT_NE(ParseEventScript("10 explode").error.find("unknown event"), std::string::npos);
  // Menu commands: an identifier of 16 bits, not 0.
  const auto command = ParseEventScript("5 command 40037\n");
  ASSERT_TRUE(command.ok()) << command.error;
  EXPECT_EQ(command.events[0].kind, K::MenuCommand);
  EXPECT_EQ(command.events[0].command, 40037);
  for (const char* bad : {"5 command\n", "5 command 0\n", "5 command 65536\n", "5 command x\n"})
    EXPECT_NE(ParseEventScript(bad).error.find("expected: <ms> command"), std::string::npos) << bad;
  EXPECT_NE(ParseEventScript("-5 close").error.find("time"), std::string::npos);
  EXPECT_TRUE(ParseEventScript("10 close\n20 fly\n").events.empty());
}

TEST(EventScript, EveryBadLineIsReportedInOrder) {
  // Good lines, comments and blank lines between the bad ones do not hide any of them.
  const auto result = ParseEventScript(
      "10 key down Enter\n"
      "abc key down A\n"
      "# a comment\n"
      "\n"
      "20 key down Insert\n"
      "30 close\n"
      "40 answer Yes\r\n"
      "50 explode");
  EXPECT_FALSE(result.ok());
  EXPECT_EQ(result.error,
            "line 2: expected a time in milliseconds\n"
            "line 5: unknown key name 'Insert'\n"
            "line 7: expected: <ms> answer OK|Cancel\n"
            "line 8: unknown event 'explode'");
  EXPECT_TRUE(result.events.empty()) << "a script with a bad line gives no events";
  EXPECT_TRUE(ParseEventScript("").ok());
}

TEST(EventScript, TypedTextIsTheRestOfTheLine) {
  // One blank after the word; the rest is text, blanks, '#' and UTF-8 included.
  const auto result = ParseEventScript(
      "10 type SET_REG16 A, 1 ; #1\n"
      "20\ttype   two  blanks \r\n"
      "30 type \xE4\xBD\xA0\xE5\xA5\xBD\n");
  ASSERT_TRUE(result.ok()) << result.error;
  ASSERT_EQ(result.events.size(), 3u);
  EXPECT_EQ(result.events[0].kind, K::Type);
  EXPECT_EQ(result.events[0].text, "SET_REG16 A, 1 ; #1");
  EXPECT_EQ(result.events[1].text, "  two  blanks ");
  EXPECT_EQ(result.events[2].text, "\xE4\xBD\xA0\xE5\xA5\xBD");  // 你好
  for (const char* bad : {"5 type\n", "5 type \n"})
    EXPECT_NE(ParseEventScript(bad).error.find("expected: <ms> type <text>"), std::string::npos)
        << bad;
  // A '#' after "type " is typed, not a comment.
  const auto hash = ParseEventScript("5 type # no comment\n");
  ASSERT_TRUE(hash.ok()) << hash.error;
  EXPECT_EQ(hash.events[0].text, "# no comment");
}

}  // namespace
}  // namespace tvx::platform
