#include "tools/anim_source.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <map>
#include <optional>

#include "tools/anim_text.h"
#include "tools/mes/utf8.h"
#include "tools/text_files.h"

namespace tvx::tool::anim {
namespace {

struct Position {
  size_t line = 0;
  size_t column = 0;
};

struct Token {
  std::string_view text;
  Position at;
  bool symbol = false;  // ':'
};

// The bytes that end a word: spaces, tabs, ':' (a token of its own) and '#' (a comment).
constexpr std::array<bool, 256> kWordEnds = [] {
  std::array<bool, 256> ends{};
  for (const unsigned char c : {' ', '\t', ':', '#'}) ends[c] = true;
  return ends;
}();

// A line split at spaces and tabs, without its comment; ':' is a token of its own. The
// tokens go into `tokens`, emptied first (the parser keeps one vector for all its lines).
void Tokenize(std::string_view line, size_t number, std::vector<Token>& tokens) {
  tokens.clear();
  size_t i = 0;
  // The column of byte `counted`, carried along: counting from the line's start for every
  // token would take time in the square of a long line's length.
  size_t counted = 0, column = 1;
  while (i < line.size()) {
    const char c = line[i];
    if (c == '#') break;
    if (c == ' ' || c == '\t') {
      ++i;
      continue;
    }
    column += mes::ColumnOf(line.substr(counted), i - counted) - 1;
    counted = i;
    const Position at{number, column};
    if (c == ':') {
      tokens.push_back({line.substr(i, 1), at, true});
      ++i;
      continue;
    }
    const size_t start = i;
    while (i < line.size() && !kWordEnds[static_cast<unsigned char>(line[i])]) ++i;
    tokens.push_back({line.substr(start, i - start), at, false});
  }
}

bool SameWord(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           auto lower = [](char ch) { return ch >= 'A' && ch <= 'Z' ? char(ch - 'A' + 'a') : ch; };
           return lower(x) == lower(y);
         });
}

struct NamedValue {
  std::string_view name;
  uint16_t value;
};
constexpr std::array<NamedValue, 9> kCommands = {{{"nothing", kNothing},
                                                  {"end-if-once", kEndIfOnce},
                                                  {"wait", kWait},
                                                  {"restart", kRestart},
                                                  {"end", kEnd},
                                                  {"loop", kLoop},
                                                  {"next", kNext},
                                                  {"loop2", kLoop2},
                                                  {"next2", kNext2}}};
constexpr std::array<NamedValue, 4> kTypes = {
    {{"copy", kCopy}, {"keyed", kKeyed}, {"swap", kSwap}, {"composite", kComposite}}};

template <size_t N>
std::optional<uint16_t> Lookup(const std::array<NamedValue, N>& table, std::string_view word) {
  for (const NamedValue& entry : table)
    if (SameWord(entry.name, word)) return entry.value;
  return std::nullopt;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Names are ASCII letters, digits, '_' and '-', and any characters beyond ASCII (UTF-8), so
// that frames may be named in the game's own language.
bool IsNameStart(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' ||
         static_cast<unsigned char>(c) >= 0x80;
}

bool IsName(std::string_view text) {
  return !text.empty() && IsNameStart(text[0]) && std::all_of(text.begin(), text.end(), [](char c) {
    return IsNameStart(c) || IsDigit(c) || c == '-';
  });
}

// One word of a program as written: a number, a command's operand, or a frame's name.
struct Item {
  uint16_t word = 0;
  Position at;
  std::string_view text;
  bool name = false;  // a frame name, resolved once every frame is known
  bool bare = false;  // a number given as the command itself
};

struct PendingProgram {
  Program program;
  Position at;
  std::vector<Item> items;
  bool broken = false;  // a line of it had errors: not worth checking as a whole
};

struct Message {
  Position at;
  std::string text;
};

class SourceParser {
 public:
  explicit SourceParser(std::string_view file_name) : file_name_(file_name) {}

  void Line(std::string_view text, size_t number) {
    Tokenize(text, number, tokens_);
    const std::vector<Token>& tokens = tokens_;
    if (tokens.empty()) return;
    if (!tokens[0].symbol && SameWord(tokens[0].text, "frame")) {
      current_ = kNoSlot;
      ParseFrame(tokens);
    } else if (!tokens[0].symbol && SameWord(tokens[0].text, "slot")) {
      ParseSlot(tokens);
    } else if (current_ == kNoSlot) {
      Error(tokens[0].at, "'" + std::string(tokens[0].text) +
                              "' is outside any slot: a line begins with 'frame' or 'slot'");
    } else if (current_ != kBadSlot) {
      ParseItems(tokens, 0);
    }
  }

  SourceResult Finish() {
    for (PendingProgram& pending : programs_) {
      ResolveNames(pending);
      Check(pending);
    }
    SourceResult result;
    result.errors = Sorted(errors_);
    result.warnings = Sorted(warnings_);
    if (!result.errors.empty()) return result;
    for (const auto& [number, frame] : frames_) result.data.frames.push_back(frame.frame);
    for (PendingProgram& pending : programs_) {
      for (const Item& item : pending.items) pending.program.words.push_back(item.word);
      result.data.programs.push_back(std::move(pending.program));
    }
    return result;
  }

 private:
  static constexpr size_t kNoSlot = SIZE_MAX;
  static constexpr size_t kBadSlot = SIZE_MAX - 1;

  struct DefinedFrame {
    Frame frame;
    size_t line = 0;
  };

  // A message is made as it is printed, "FILE:LINE:COLUMN: " and the text, in one piece: a
  // damaged block shows as a text with a warning on nearly every line.
  Message Made(Position at, std::string_view kind, std::initializer_list<std::string_view> parts) {
    const std::string line = std::to_string(at.line), column = std::to_string(at.column);
    const std::initializer_list<std::string_view> head = {file_name_, ":",  line, ":",
                                                          column,     ": ", kind};
    size_t size = 0;
    for (const std::string_view part : head) size += part.size();
    for (const std::string_view part : parts) size += part.size();
    Message message{at, {}};
    message.text.reserve(size);
    for (const std::string_view part : head) message.text += part;
    for (const std::string_view part : parts) message.text += part;
    return message;
  }
  void Error(Position at, std::initializer_list<std::string_view> parts) {
    errors_.push_back(Made(at, "", parts));
  }
  void Warn(Position at, std::initializer_list<std::string_view> parts) {
    warnings_.push_back(Made(at, "warning: ", parts));
  }
  void Error(Position at, std::string_view text) { Error(at, {text}); }
  void Warn(Position at, std::string_view text) { Warn(at, {text}); }

  static std::vector<std::string> Sorted(std::vector<Message>& messages) {
    const auto before = [](const Message& a, const Message& b) {
      return a.at.line != b.at.line ? a.at.line < b.at.line : a.at.column < b.at.column;
    };
    // Most come in order already, line by line; those of the checks at the end do not.
    if (!std::is_sorted(messages.begin(), messages.end(), before))
      std::stable_sort(messages.begin(), messages.end(), before);
    std::vector<std::string> out;
    out.reserve(messages.size());
    for (Message& m : messages) out.push_back(std::move(m.text));
    return out;
  }

  // A number field of at most `max`; reports and gives nothing otherwise. `what` names the
  // field in messages, `end` is where a missing field would have stood.
  std::optional<uint64_t> NumberField(const std::vector<Token>& tokens, size_t index,
                                      std::string_view what, uint64_t max, Position end) {
    if (index >= tokens.size() || tokens[index].symbol) {
      Error(index < tokens.size() ? tokens[index].at : end,
            "expected " + std::string(what) + " (0-" + std::to_string(max) + ")");
      return std::nullopt;
    }
    const Token& token = tokens[index];
    const auto value = ParseNumber(token.text);
    if (!value) {
      Error(token.at, "expected " + std::string(what) + " (0-" + std::to_string(max) + "), not '" +
                          std::string(token.text) + "'");
      return std::nullopt;
    }
    if (*value > max) {
      Error(token.at, std::string(what) + " " + std::string(token.text) + " is larger than " +
                          std::to_string(max));
      return std::nullopt;
    }
    return value;
  }

  // Where a token ends, in the columns of messages.
  static Position After(const Token& token) {
    return {token.at.line, token.at.column + mes::ColumnOf(token.text, token.text.size()) - 1};
  }
  static Position EndOf(const std::vector<Token>& tokens) { return After(tokens.back()); }

  // frame NUMBER [NAME] TYPE SX SY W H DX DY
  void ParseFrame(const std::vector<Token>& tokens) {
    const Position end = EndOf(tokens);
    if (tokens.size() < 2 || tokens[1].symbol || !ParseNumber(tokens[1].text)) {
      Error(tokens.size() < 2 ? end : tokens[1].at,
            "expected a frame number (20-65534)" +
                (tokens.size() < 2 ? "" : ", not '" + std::string(tokens[1].text) + "'"));
      return;
    }
    const Token& number_token = tokens[1];
    const auto number = ParseNumber(number_token.text);
    if (*number < kFirstFrame || *number > kLastFrame) {
      Error(number_token.at,
            "frame numbers run from 20 to 65534" +
                std::string(*number < kFirstFrame ? ": the record of a lower one would lie in "
                                                    "the offset table"
                                                  : ""));
      return;
    }
    Frame frame;
    frame.number = static_cast<uint16_t>(*number);
    size_t next = 2;
    std::optional<Token> name;
    if (next < tokens.size() && !tokens[next].symbol && IsNameStart(tokens[next].text[0]) &&
        !Lookup(kTypes, tokens[next].text)) {
      name = tokens[next++];
      if (!CheckName(*name)) return;
    }
    if (next >= tokens.size() || tokens[next].symbol) {
      Error(next < tokens.size() ? tokens[next].at : end,
            "expected the frame's type: copy, keyed, swap, composite or a number 0-255");
      return;
    }
    const Token& type_token = tokens[next];
    if (const auto type = Lookup(kTypes, type_token.text)) {
      frame.type = static_cast<uint8_t>(*type);
      ++next;
    } else {
      const auto value = ParseNumber(type_token.text);
      if (!value || *value > 0xFF) {
        Error(type_token.at,
              "expected the frame's type: copy, keyed, swap, composite or a "
              "number 0-255, not '" +
                  std::string(type_token.text) + "'");
        return;
      }
      frame.type = static_cast<uint8_t>(*value);
      ++next;
    }
    static constexpr std::array<std::string_view, 6> kFields = {
        "the source x", "the source y",      "the width",
        "the height",   "the destination x", "the destination y"};
    std::array<uint16_t*, 6> fields = {&frame.sx, &frame.sy, &frame.w,
                                       &frame.h,  &frame.dx, &frame.dy};
    const size_t first_field = next;
    for (size_t i = 0; i < fields.size(); ++i) {
      const auto value = NumberField(tokens, next++, kFields[i], 0xFFFF, end);
      if (!value) return;
      *fields[i] = static_cast<uint16_t>(*value);
    }
    if (next < tokens.size()) {
      Error(tokens[next].at,
            "unexpected '" + std::string(tokens[next].text) + "' after the frame's destination");
      return;
    }
    const size_t line = tokens[0].at.line;
    const auto [found, added] = frames_.try_emplace(frame.number, DefinedFrame{frame, line});
    if (!added) {
      Error(number_token.at, "frame " + std::to_string(frame.number) +
                                 " is defined twice (first on line " +
                                 std::to_string(found->second.line) + ")");
      return;
    }
    if (name) {
      const auto [taken, fresh] = names_.try_emplace(std::string(name->text), frame.number, line);
      if (!fresh) {
        Error(name->at, "frame name '" + std::string(name->text) +
                            "' is given twice (first on line " +
                            std::to_string(taken->second.second) + ")");
      }
    }
    CheckFrame(frame, type_token.at, tokens[first_field].at, tokens[first_field + 4].at);
  }

  bool CheckName(const Token& name) {
    if (!IsName(name.text)) {
      Error(name.at, "'" + std::string(name.text) +
                         "' is no frame name: names are letters, digits, '_' and '-', "
                         "starting with a letter or '_'");
      return false;
    }
    if (Lookup(kCommands, name.text) || SameWord(name.text, "frame") ||
        SameWord(name.text, "slot")) {
      Error(name.at, "'" + std::string(name.text) + "' is a word of the format, not a name");
      return false;
    }
    return true;
  }

  void CheckFrame(const Frame& f, Position type_at, Position source_at, Position dest_at) {
    const std::string number = std::to_string(f.number);
    if ((f.type & 0xF0) == kComposite) {
      Warn(type_at, {"frame ", number, ": the engine draws nothing for type ",
                     FrameTypeName(f.type), " (it has no background plane to compose with)"});
    } else if ((f.type & 0xF0) < kCopy || (f.type & 0xF0) > kComposite) {
      Warn(type_at, {"frame ", number, ": the engine draws nothing for type ",
                     FrameTypeName(f.type), " (copy 0x10, keyed 0x20 and swap 0x30 are drawn)"});
    }
    const std::string w = std::to_string(f.w), h = std::to_string(f.h);
    const auto outside = [&](Position at, std::string_view what, uint32_t x, uint32_t y,
                             std::string_view where) {
      Warn(at, {"frame ", number, ": the ", what, " (", std::to_string(x), ", ", std::to_string(y),
                ") + ", w, " x ", h, " reaches outside ", where});
    };
    if (uint32_t{f.sx} + f.w > kSheetWidth || uint32_t{f.sy} + f.h > kSheetHeight)
      outside(source_at, "source block", f.sx, f.sy, "plane 1 (1000 x 1760)");
    if (uint32_t{f.dx} + f.w > kScreenWidth || uint32_t{f.dy} + f.h > kScreenHeight)
      outside(dest_at, "destination", f.dx, f.dy, "the 640 x 480 screen");
  }

  // slot ROW COLUMN: commands...
  void ParseSlot(const std::vector<Token>& tokens) {
    current_ = kBadSlot;
    const Position end = EndOf(tokens);
    const auto row = NumberField(tokens, 1, "the slot's row", kRows - 1, end);
    if (!row) return;
    const auto column = NumberField(tokens, 2, "the slot's column", kColumns - 1, end);
    if (!column) return;
    if (tokens.size() < 4 || !tokens[3].symbol) {
      Error(tokens.size() < 4 ? end : tokens[3].at, "expected ':' after the slot's row and column");
      return;
    }
    const size_t index = *row * kColumns + *column;
    if (slot_lines_[index] != 0) {
      Error(tokens[0].at, "slot " + std::to_string(*row) + " " + std::to_string(*column) +
                              " is given twice (first on line " +
                              std::to_string(slot_lines_[index]) + ")");
      return;
    }
    slot_lines_[index] = tokens[0].at.line;
    PendingProgram pending;
    pending.program.row = static_cast<uint32_t>(*row);
    pending.program.column = static_cast<uint32_t>(*column);
    pending.at = tokens[0].at;
    programs_.push_back(std::move(pending));
    current_ = programs_.size() - 1;
    ParseItems(tokens, 4);
  }

  void ParseItems(const std::vector<Token>& tokens, size_t from) {
    std::vector<Item>& items = programs_[current_].items;
    for (size_t i = from; i < tokens.size(); ++i) {
      const size_t errors_before = errors_.size();
      ParseItem(tokens, i, items);
      if (errors_.size() != errors_before) programs_[current_].broken = true;
    }
  }

  // The item at `i`, with its operand; `i` is left on the last token used.
  void ParseItem(const std::vector<Token>& tokens, size_t& i, std::vector<Item>& items) {
    const Token& token = tokens[i];
    if (token.symbol) {
      Error(token.at, "unexpected ':' in a program");
      return;
    }
    if (IsDigit(token.text[0])) {
      const auto value = NumberField(tokens, i, "a command or frame number", 0xFFFF, {});
      if (value)
        items.push_back({static_cast<uint16_t>(*value), token.at, token.text, false, true});
      return;
    }
    const auto command = Lookup(kCommands, token.text);
    if (!command) {
      // A frame's name, perhaps defined further down.
      items.push_back({0, token.at, token.text, true, false});
      return;
    }
    items.push_back({*command, token.at, token.text, false, false});
    if (!TakesOperand(*command)) return;
    const std::string what = *command == kWait
                                 ? "a number of ticks after 'wait'"
                                 : "a number of passes after '" + std::string(token.text) + "'";
    const auto operand = NumberField(tokens, i + 1, what, 0xFFFF, After(token));
    if (!operand) {
      items.pop_back();
      // A bad number is taken as the operand; anything else is read as what it is.
      if (i + 1 < tokens.size() && IsDigit(tokens[i + 1].text[0])) ++i;
      return;
    }
    ++i;
    items.push_back({static_cast<uint16_t>(*operand), tokens[i].at, tokens[i].text, false, false});
  }

  void ResolveNames(PendingProgram& pending) {
    for (Item& item : pending.items) {
      if (!item.name) continue;
      const auto found = names_.find(std::string(item.text));
      if (found == names_.end()) {
        Error(item.at, "'" + std::string(item.text) + "' is neither a command nor a frame name");
        pending.broken = true;  // what follows it cannot be told apart any more
        continue;
      }
      item.word = found->second.first;
    }
  }

  // Walks a program as the engine steps it.
  void Check(const PendingProgram& pending) {
    if (pending.broken) return;
    const std::vector<Item>& items = pending.items;
    const std::string slot = "slot " + std::to_string(pending.program.row) + " " +
                             std::to_string(pending.program.column);
    if (items.empty()) {
      Error(pending.at, slot + " has no commands");
      return;
    }
    const uint32_t highest = frames_.empty() ? 0 : frames_.rbegin()->first;
    bool ended = false;
    bool loop_open = false, loop2_open = false;
    for (size_t i = 0; i < items.size(); ++i) {
      const Item& item = items[i];
      const uint16_t word = item.word;
      if (ended) {
        Error(item.at, "'" + std::string(item.text) + "' follows the end of " + slot +
                           "'s program and would never run");
        return;
      }
      if (item.bare && word > kNext2 && word < kFirstFrame) {
        Error(item.at, "frame numbers run from 20 to 65534: the record of frame " +
                           std::to_string(word) + " would lie in the offset table");
        continue;
      }
      if (TakesOperand(word)) {
        const std::string_view name = word == kWait ? "wait" : word == kLoop ? "loop" : "loop2";
        if (i + 1 >= items.size()) {
          Error(item.at, "'" + std::string(item.text) + "' (" + std::string(name) +
                             ") needs its operand after it");
          return;
        }
        const uint16_t operand = items[++i].word;
        if (word == kWait) continue;
        bool& open = word == kLoop ? loop_open : loop2_open;
        if (open) {
          Warn(item.at, "a '" + std::string(name) + "' inside a '" + std::string(name) +
                            "' replaces it" +
                            (word == kLoop ? ": nest the inner one with 'loop2' and 'next2'" : ""));
        }
        if (operand == 0) {
          Warn(items[i].at, "'" + std::string(name) +
                                " 0' makes 65536 passes: the count goes round through 65535");
        }
        open = true;
        continue;
      }
      if (word == kNext || word == kNext2) {
        bool& open = word == kNext ? loop_open : loop2_open;
        if (!open) {
          Warn(item.at, word == kNext ? "'next' without a 'loop' before it"
                                      : "'next2' without a 'loop2' before it");
        }
        open = false;
      } else if (EndsProgram(word)) {
        ended = true;
      } else if (IsFrame(word) && !frames_.contains(word)) {
        Warn(item.at, {"frame ", std::to_string(word), " has no record",
                       word < highest ? ": the engine finds zeros there and draws nothing"
                                      : ": its place is past the frame records, where the "
                                        "engine reads the programs or what follows them"});
      }
    }
    if (!ended) {
      Warn(pending.at, slot +
                           " has no 'end' or 'restart': the engine runs on into whatever "
                           "follows its program");
    }
  }

  std::map<uint32_t, DefinedFrame> frames_;
  std::map<std::string, std::pair<uint16_t, size_t>, std::less<>> names_;  // number, line
  std::vector<PendingProgram> programs_;
  std::array<size_t, kSlots> slot_lines_{};
  size_t current_ = kNoSlot;
  std::vector<Message> errors_;
  std::vector<Message> warnings_;
  std::vector<Token> tokens_;  // the current line's
  std::string_view file_name_;
};

}  // namespace

SourceResult ParseSource(std::string_view text, std::string_view file_name) {
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  SourceParser parser(file_name);
  size_t number = 1;
  while (true) {
    const size_t newline = text.find('\n');
    std::string_view line = text.substr(0, newline);
    if (line.ends_with('\r')) line.remove_suffix(1);
    parser.Line(line, number++);
    if (newline == std::string_view::npos) break;
    text.remove_prefix(newline + 1);
  }
  return parser.Finish();
}

}  // namespace tvx::tool::anim
