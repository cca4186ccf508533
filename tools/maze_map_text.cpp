#include "tools/maze_map_text.h"

#include <algorithm>
#include <array>
#include <optional>

#include "tools/mes/utf8.h"
#include "tools/text_files.h"

namespace tvx::tool::maze {
namespace {

// A grid unit: the corner or the wall left of a cell, then the cell's three characters.
constexpr size_t kUnit = 4;
constexpr uint32_t kMaxSide = 0xFFFF;

// Where something stands: a 1-based line and the byte in it (turned into a character column
// when a message is made).
struct Position {
  size_t line = 0;
  size_t byte = 0;
};

struct Message {
  Position at;
  std::string text;
};

// The values of the grid's characters. Across (in the lines of corners) and along (in the
// rows of cells) have their own symbols; '#', ' ' and the hex digits are both.
std::optional<uint8_t> HexValue(char c) {
  if (c >= '0' && c <= '9') return static_cast<uint8_t>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<uint8_t>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<uint8_t>(c - 'A' + 10);
  return std::nullopt;
}

constexpr uint8_t kWall1 = 0x9;  // set 1, blocks
constexpr uint8_t kWall2 = 0xA;  // set 2, blocks
constexpr uint8_t kDoor = 0x3;   // set 3, passable

std::optional<uint8_t> AcrossValue(char c) {
  switch (c) {
    case ' ':
      return 0;
    case '-':
      return kWall1;
    case '=':
      return kWall2;
    case '#':
      return kDoor;
    default:
      return HexValue(c);
  }
}

std::optional<uint8_t> AlongValue(char c) {
  switch (c) {
    case ' ':
      return 0;
    case '|':
      return kWall1;
    case 'H':
      return kWall2;
    case '#':
      return kDoor;
    default:
      return HexValue(c);
  }
}

char AcrossSymbol(uint8_t value) {
  switch (value) {
    case 0:
      return ' ';
    case kWall1:
      return '-';
    case kWall2:
      return '=';
    case kDoor:
      return '#';
    default:
      return "0123456789abcdef"[value & 0xF];
  }
}

char AlongSymbol(uint8_t value) {
  switch (value) {
    case 0:
      return ' ';
    case kWall1:
      return '|';
    case kWall2:
      return 'H';
    case kDoor:
      return '#';
    default:
      return "0123456789abcdef"[value & 0xF];
  }
}

bool SameWord(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           auto lower = [](char ch) { return ch >= 'A' && ch <= 'Z' ? char(ch - 'A' + 'a') : ch; };
           return lower(x) == lower(y);
         });
}

std::optional<uint64_t> ParseDecimal(std::string_view text) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  uint64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<uint64_t>(c - '0');
  }
  return value;
}

struct Token {
  std::string_view text;
  size_t byte = 0;
};

// A line split at spaces and tabs, without its comment.
std::vector<Token> Tokenize(std::string_view line) {
  std::vector<Token> tokens;
  size_t i = 0;
  while (i < line.size()) {
    const char c = line[i];
    if (c == '#') break;
    if (c == ' ' || c == '\t') {
      ++i;
      continue;
    }
    const size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '#') ++i;
    tokens.push_back({line.substr(start, i - start), start});
  }
  return tokens;
}

std::optional<Side> ParseSide(std::string_view word) {
  static constexpr std::array<std::array<std::string_view, 2>, 4> kNames = {
      {{"north", "n"}, {"east", "e"}, {"south", "s"}, {"west", "w"}}};
  for (size_t i = 0; i < kNames.size(); ++i) {
    if (SameWord(word, kNames[i][0]) || SameWord(word, kNames[i][1])) return kSides[i];
  }
  return std::nullopt;
}

std::string CellsWide(uint32_t width) {
  return std::to_string(width) + (width == 1 ? " cell wide" : " cells wide");
}

std::string Quoted(char c) {
  if (c == '\t') return "a tab";
  if (static_cast<unsigned char>(c) >= 0x80) return "a character beyond ASCII";
  if (static_cast<unsigned char>(c) < 0x20) return "a control character";
  return std::string("'") + c + "'";
}

struct Override {
  Position at;
  uint32_t x = 0;
  uint32_t y = 0;
  Side side = Side::kNorth;
  uint8_t value = 0;
  bool spare = false;
};

class MapParser {
 public:
  explicit MapParser(std::string_view text) {
    size_t start = 0;
    while (start <= text.size()) {
      size_t end = text.find('\n', start);
      if (end == std::string_view::npos) end = text.size();
      std::string_view line = text.substr(start, end - start);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      lines_.push_back(line);
      if (end == text.size()) break;
      start = end + 1;
    }
  }

  MapTextResult Parse(std::string_view file_name) {
    for (size_t i = 0; i < lines_.size();) {
      if (!lines_[i].empty() && lines_[i][0] == '+') {
        i = Grid(i);
      } else {
        Keywords(i);
        ++i;
      }
    }
    Build();
    MapTextResult result;
    result.errors = Format(errors_, file_name, "");
    if (errors_.empty()) {
      Warn();
      result.warnings = Format(warnings_, file_name, "warning: ");
      result.map = std::move(map_);
    }
    return result;
  }

 private:
  // The grid as drawn: the values of the lines of corners (height + 1 of them, width values
  // each) and of the rows of cells (height, width + 1 values each), with their places.
  struct GridDrawing {
    size_t firstLine = 0;  // 0: no grid
    bool broken = false;   // an error in it: no map is built
    uint32_t width = 0;
    std::vector<std::vector<uint8_t>> across;
    std::vector<std::vector<uint8_t>> along;
    std::vector<std::vector<uint8_t>> events;
    std::vector<size_t> acrossLines;
    std::vector<size_t> alongLines;
  };

  void Error(Position at, std::string text) { errors_.push_back({at, std::move(text)}); }

  // Places beyond a line's end are those of the spaces an editor dropped.
  static size_t Column(std::string_view line, size_t byte) {
    return mes::ColumnOf(line, byte) + (byte > line.size() ? byte - line.size() : 0);
  }

  std::vector<std::string> Format(std::vector<Message>& messages, std::string_view file_name,
                                  std::string_view kind) const {
    std::stable_sort(messages.begin(), messages.end(), [](const Message& a, const Message& b) {
      return a.at.line != b.at.line ? a.at.line < b.at.line : a.at.byte < b.at.byte;
    });
    std::vector<std::string> out;
    for (const Message& m : messages) {
      const std::string_view line = m.at.line == 0 ? std::string_view() : lines_[m.at.line - 1];
      out.push_back(std::string(file_name) + ":" + std::to_string(m.at.line) + ":" +
                    std::to_string(Column(line, m.at.byte)) + ": " + std::string(kind) + m.text);
    }
    return out;
  }

  // What follows the grid's width on a line may only be blank or a comment after a space.
  bool CheckRest(size_t index, size_t from) {
    const std::string_view line = lines_[index];
    if (from >= line.size()) return true;
    const size_t text = line.find_first_not_of(' ', from);
    if (text == std::string_view::npos) return true;
    if (line[text] == '#' && text > from) return true;
    Error({index + 1, text}, "unexpected " + Quoted(line[text]) + " right of the grid (" +
                                 CellsWide(grid_.width) + "); a comment there begins with ' #'");
    return false;
  }

  // Tabs and characters beyond ASCII would put the grid's characters out of line.
  bool CheckPlain(size_t index, size_t length) {
    const std::string_view line = lines_[index].substr(0, length);
    for (size_t i = 0; i < line.size(); ++i) {
      if (line[i] == '\t' || static_cast<unsigned char>(line[i]) >= 0x80 ||
          static_cast<unsigned char>(line[i]) < 0x20) {
        Error({index + 1, i},
              Quoted(line[i]) + " in the grid: it is drawn with ASCII characters and spaces");
        return false;
      }
    }
    return true;
  }

  // A line of corners: '+', then for each cell three characters of one kind and '+'.
  bool Corners(size_t index) {
    const std::string_view line = lines_[index];
    if (grid_.width == 0) {
      size_t units = 0;
      while (kUnit * units + kUnit < line.size() && line[kUnit * units + kUnit] == '+') ++units;
      if (units == 0) {
        Error({index + 1, 0},
              "a line of corners is '+', then three wall characters and '+' for each cell");
        return false;
      }
      if (units > kMaxSide) {
        Error({index + 1, 0},
              "the grid is " + std::to_string(units) + " cells wide; a map has at most 65535");
        return false;
      }
      grid_.width = static_cast<uint32_t>(units);
    }
    const size_t length = kUnit * grid_.width + 1;
    if (!CheckPlain(index, length)) return false;
    std::vector<uint8_t> values(grid_.width);
    for (uint32_t x = 0; x < grid_.width; ++x) {
      const size_t corner = kUnit * x + kUnit;
      if (corner >= line.size() || line[corner] != '+') {
        Error({index + 1, std::min(corner, line.size())},
              "expected '+' here: the grid is " + CellsWide(grid_.width));
        return false;
      }
      const size_t first = kUnit * x + 1;
      const char c = line[first];
      const auto value = AcrossValue(c);
      if (!value) {
        Error({index + 1, first},
              Quoted(c) + " is no wall across: ' ' open, '-' set 1, '=' set 2, '#' a door, " +
                  "or a hex digit 0-f" +
                  (c == '|' || c == 'H' ? " ('" + std::string(1, c) + "' is a wall along)" : ""));
        return false;
      }
      for (size_t i = first + 1; i < first + 3; ++i) {
        if (line[i] != c) {
          Error({index + 1, i}, "a wall across is one character three times: '" +
                                    std::string(3, c) + "', not '" +
                                    std::string(line.substr(first, 3)) + "'");
          return false;
        }
      }
      values[x] = *value;
    }
    if (!CheckRest(index, length)) return false;
    grid_.across.push_back(std::move(values));
    grid_.acrossLines.push_back(index + 1);
    return true;
  }

  // A row of cells: for each cell the wall left of it and three characters, which are blank
  // or the cell's event number; then the wall right of the last cell.
  bool Cells(size_t index) {
    const size_t length = kUnit * grid_.width + 1;
    if (!CheckPlain(index, length)) return false;
    std::string line(lines_[index].substr(0, length));
    line.resize(length, ' ');  // editors drop trailing spaces: an open east edge
    std::vector<uint8_t> walls(grid_.width + 1);
    std::vector<uint8_t> events(grid_.width);
    for (uint32_t x = 0; x <= grid_.width; ++x) {
      const size_t at = kUnit * x;
      const auto value = AlongValue(line[at]);
      if (!value) {
        Error({index + 1, at},
              Quoted(line[at]) + " is no wall along: ' ' open, '|' set 1, 'H' set 2, '#' a door, " +
                  "or a hex digit 0-f" +
                  (line[at] == '-' || line[at] == '='
                       ? " ('" + std::string(1, line[at]) + "' is a wall across)"
                       : ""));
        return false;
      }
      walls[x] = *value;
      if (x == grid_.width) break;
      const std::string_view inside = std::string_view(line).substr(at + 1, 3);
      const size_t first = inside.find_first_not_of(' ');
      if (first == std::string_view::npos) continue;
      const size_t last = inside.find_last_not_of(' ');
      const std::string_view number = inside.substr(first, last - first + 1);
      const auto event = ParseDecimal(number);
      if (!event) {
        Error({index + 1, at + 1 + first}, "'" + std::string(number) +
                                               "' in a cell: a cell holds its event number " +
                                               "(1-255) or nothing");
        return false;
      }
      if (*event > 255) {
        Error({index + 1, at + 1 + first}, "event " + std::string(number) + " is larger than 255");
        return false;
      }
      events[x] = static_cast<uint8_t>(*event);
    }
    if (!CheckRest(index, length)) return false;
    grid_.along.push_back(std::move(walls));
    grid_.events.push_back(std::move(events));
    grid_.alongLines.push_back(index + 1);
    return true;
  }

  // The grid from the line of corners at `index` on: rows of cells, each followed by a line
  // of corners. The index of the first line after it.
  size_t Grid(size_t index) {
    if (grid_.firstLine != 0) {
      Error({index + 1, 0}, "a second grid (the first begins on line " +
                                std::to_string(grid_.firstLine) + "): a map has one");
      // Skip it as a grid, so that its rows give no errors of their own.
      size_t end = index + 1;
      while (end + 1 < lines_.size() && !lines_[end + 1].empty() && lines_[end + 1][0] == '+')
        end += 2;
      return end;
    }
    grid_.firstLine = index + 1;
    if (!Corners(index)) return SkipBroken(index);
    size_t next = index + 1;
    while (next + 1 < lines_.size() && !lines_[next + 1].empty() && lines_[next + 1][0] == '+') {
      if (!Cells(next) || !Corners(next + 1)) return SkipBroken(next);
      next += 2;
      if (grid_.along.size() > kMaxSide) {
        Error({next, 0}, "the grid has more than 65535 rows");
        return SkipBroken(next);
      }
    }
    if (next < lines_.size() && !lines_[next].empty() &&
        (lines_[next][0] == '|' || lines_[next][0] == 'H')) {
      Error({next + 1, 0}, "a row of cells is followed by a line of corners ('+...+')");
      grid_.broken = true;
      return next + 1;
    }
    return next;
  }

  // After an error in the grid: the rest of it is not read.
  size_t SkipBroken(size_t index) {
    grid_.broken = true;
    size_t end = index + 1;
    while (end < lines_.size() && !lines_[end].empty() &&
           (lines_[end][0] == '+' || lines_[end][0] == '|' || lines_[end][0] == 'H' ||
            lines_[end][0] == ' '))
      ++end;
    return end;
  }

  std::optional<uint64_t> Number(const std::vector<Token>& tokens, size_t index, size_t line,
                                 std::string_view what, uint64_t max) {
    if (index >= tokens.size()) {
      const size_t end = tokens.back().byte + tokens.back().text.size();
      Error({line, end}, "expected " + std::string(what) + " (0-" + std::to_string(max) + ")");
      return std::nullopt;
    }
    const Token& token = tokens[index];
    const auto value = ParseNumber(token.text);
    if (!value) {
      Error({line, token.byte}, "expected " + std::string(what) + " (0-" + std::to_string(max) +
                                    "), not '" + std::string(token.text) + "'");
      return std::nullopt;
    }
    if (*value > max) {
      Error({line, token.byte}, std::string(what) + " " + std::string(token.text) +
                                    " is larger than " + std::to_string(max));
      return std::nullopt;
    }
    return value;
  }

  bool NoMore(const std::vector<Token>& tokens, size_t count, size_t line) {
    if (tokens.size() <= count) return true;
    Error({line, tokens[count].byte},
          "unexpected '" + std::string(tokens[count].text) + "' at the end of the line");
    return false;
  }

  void Keywords(size_t index) {
    const std::vector<Token> tokens = Tokenize(lines_[index]);
    if (tokens.empty()) return;
    const size_t line = index + 1;
    const Token& word = tokens[0];
    if (SameWord(word.text, "size")) {
      const auto width = Number(tokens, 1, line, "the width", kMaxSide);
      if (!width) return;
      const auto height = Number(tokens, 2, line, "the height", kMaxSide);
      if (!height || !NoMore(tokens, 3, line)) return;
      if (sizeLine_ != 0) {
        Error({line, word.byte},
              "the size is given twice (first on line " + std::to_string(sizeLine_) + ")");
        return;
      }
      sizeLine_ = line;
      size_ = {static_cast<uint32_t>(*width), static_cast<uint32_t>(*height)};
    } else if (SameWord(word.text, "wall")) {
      Override o;
      o.at = {line, word.byte};
      const auto x = Number(tokens, 1, line, "the cell's x", kMaxSide);
      if (!x) return;
      const auto y = Number(tokens, 2, line, "the cell's y", kMaxSide);
      if (!y) return;
      if (tokens.size() < 4) {
        Error({line, tokens.back().byte + tokens.back().text.size()},
              "expected the side: north, east, south or west");
        return;
      }
      const auto side = ParseSide(tokens[3].text);
      if (!side) {
        Error({line, tokens[3].byte}, "expected the side: north, east, south or west, not '" +
                                          std::string(tokens[3].text) + "'");
        return;
      }
      const auto value = Number(tokens, 4, line, "the wall value", 15);
      if (!value || !NoMore(tokens, 5, line)) return;
      o.x = static_cast<uint32_t>(*x);
      o.y = static_cast<uint32_t>(*y);
      o.side = *side;
      o.value = static_cast<uint8_t>(*value);
      overrides_.push_back(o);
    } else if (SameWord(word.text, "spare")) {
      Override o;
      o.at = {line, word.byte};
      o.spare = true;
      const auto x = Number(tokens, 1, line, "the cell's x", kMaxSide);
      if (!x) return;
      const auto y = Number(tokens, 2, line, "the cell's y", kMaxSide);
      if (!y) return;
      const auto value = Number(tokens, 3, line, "the byte", 255);
      if (!value || !NoMore(tokens, 4, line)) return;
      o.x = static_cast<uint32_t>(*x);
      o.y = static_cast<uint32_t>(*y);
      o.value = static_cast<uint8_t>(*value);
      overrides_.push_back(o);
    } else {
      Error({line, word.byte}, "'" + std::string(word.text) +
                                   "' begins no line of a map: the grid's lines begin with '+', "
                                   "the others with 'size', 'wall' or 'spare'");
    }
  }

  void Build() {
    if (grid_.broken) return;
    uint32_t width = 0;
    uint32_t height = 0;
    if (grid_.firstLine != 0) {
      width = grid_.width;
      height = static_cast<uint32_t>(grid_.along.size());
      if (sizeLine_ != 0 && (size_[0] != width || size_[1] != height)) {
        Error({sizeLine_, 0}, "the size says " + std::to_string(size_[0]) + " x " +
                                  std::to_string(size_[1]) + ", the grid (line " +
                                  std::to_string(grid_.firstLine) + ") is " +
                                  std::to_string(width) + " x " + std::to_string(height));
        return;
      }
    } else if (sizeLine_ != 0) {
      width = size_[0];
      height = size_[1];
      if (width != 0 && height != 0) {
        Error({sizeLine_, 0}, "a " + std::to_string(width) + " x " + std::to_string(height) +
                                  " map needs its grid ('+---+' lines and rows of cells)");
        return;
      }
    } else if (errors_.empty()) {
      Error({1, 0}, "no map here: draw a grid of cells, or give 'size W H' for a map of none");
      return;
    } else {
      return;
    }
    map_.width = static_cast<uint16_t>(width);
    map_.height = static_cast<uint16_t>(height);
    map_.cells.assign(size_t{width} * height, MazeCell{});
    places_.assign(map_.cells.size(), {});
    for (uint32_t r = 0; r < grid_.across.size(); ++r) {
      for (uint32_t x = 0; x < width; ++x) {
        const Position at{grid_.acrossLines[r], kUnit * x + 2};
        if (r < height) Set(x, r, Side::kNorth, grid_.across[r][x], at);
        if (r > 0) Set(x, r - 1, Side::kSouth, grid_.across[r][x], at);
      }
    }
    for (uint32_t y = 0; y < grid_.along.size(); ++y) {
      for (uint32_t x = 0; x <= width; ++x) {
        const Position at{grid_.alongLines[y], kUnit * x};
        if (x < width) Set(x, y, Side::kWest, grid_.along[y][x], at);
        if (x > 0) Set(x - 1, y, Side::kEast, grid_.along[y][x], at);
        if (x < width) map_.At(x, y).event = grid_.events[y][x];
      }
    }
    std::vector<std::pair<uint64_t, size_t>> seen;  // (cell × 5 + side or 4 for spare, line)
    for (const Override& o : overrides_) {
      if (o.x >= width || o.y >= height) {
        Error(o.at, "cell (" + std::to_string(o.x) + ", " + std::to_string(o.y) +
                        ") is outside the " + std::to_string(width) + " x " +
                        std::to_string(height) + " map");
        continue;
      }
      const uint64_t key =
          (uint64_t{o.y} * width + o.x) * 5 + (o.spare ? 4 : static_cast<uint64_t>(o.side));
      const auto earlier = std::find_if(seen.begin(), seen.end(),
                                        [&](const auto& entry) { return entry.first == key; });
      if (earlier != seen.end()) {
        Error(o.at, std::string(o.spare ? "the spare byte" : "this side") + " of cell (" +
                        std::to_string(o.x) + ", " + std::to_string(o.y) +
                        ") is given twice (first on line " + std::to_string(earlier->second) + ")");
        continue;
      }
      seen.emplace_back(key, o.at.line);
      if (o.spare) {
        map_.At(o.x, o.y).spare = o.value;
      } else {
        Set(o.x, o.y, o.side, o.value, o.at);
      }
    }
  }

  void Set(uint32_t x, uint32_t y, Side side, uint8_t value, Position at) {
    map_.At(x, y).SetWall(side, value);
    places_[size_t{y} * map_.width + x][static_cast<size_t>(side)] = at;
  }

  void Warn() {
    if (map_.cells.empty()) {
      warnings_.push_back({{sizeLine_ != 0 ? sizeLine_ : grid_.firstLine, 0},
                           "the map has no cells (" + std::to_string(map_.width) + " x " +
                               std::to_string(map_.height) + ")"});
      return;
    }
    const MapFindings findings = CheckMap(map_);
    for (const EdgeFinding& edge : findings.openEdges) {
      const CellSide& first = edge.first;
      const Position at =
          places_[size_t{first.y} * map_.width + first.x][static_cast<size_t>(first.side)];
      warnings_.push_back(
          {at, std::to_string(edge.count) + (edge.count == 1 ? " side" : " sides") +
                   " of the map's " + SideName(edge.edge) + " edge can be walked through" +
                   (edge.count == 1 ? "" : " (the first here)") +
                   ": the engine refuses steps off the map, but a closed maze is what is "
                   "usually meant"});
    }
    if (findings.unreachable != 0) {
      const CellSide& first = findings.firstUnreachable;
      const Position at{grid_.alongLines[first.y], kUnit * first.x + 2};
      warnings_.push_back(
          {at, std::to_string(findings.unreachable) +
                   (findings.unreachable == 1 ? " cell cannot" : " cells cannot") +
                   " be reached from (0, 0), where the walker starts; the first is (" +
                   std::to_string(first.x) + ", " + std::to_string(first.y) + ")"});
    }
  }

  std::vector<std::string_view> lines_;
  GridDrawing grid_;
  size_t sizeLine_ = 0;
  std::array<uint32_t, 2> size_ = {0, 0};
  std::vector<Override> overrides_;
  MazeMap map_;
  std::vector<std::array<Position, 4>> places_;  // where each side's value was written
  std::vector<Message> errors_;
  std::vector<Message> warnings_;
};

std::string EventText(uint8_t event) {
  if (event == 0) return "   ";
  const std::string number = std::to_string(event);
  if (number.size() == 1) return " " + number + " ";
  return number.size() == 2 ? " " + number : number;
}

}  // namespace

MapTextResult ParseMapText(std::string_view text, std::string_view file_name) {
  return MapParser(text).Parse(file_name);
}

std::string FormatMapText(const MazeMap& map, std::string_view title,
                          const std::vector<std::string>& notes) {
  std::string out = "# " + std::string(title) + ": " + std::to_string(map.width) + " x " +
                    std::to_string(map.height) + " cells\n";
  out +=
      "# Walls: ' ' open; '-' '|' set 1 and '=' 'H' set 2, which block; '#' a door (set 3,\n"
      "# passable); a hex digit any value (bits 0-2 the set, 8 = blocks). In a cell: its event.\n";
  for (const std::string& note : notes) out += "# note: " + note + "\n";
  out += "size " + std::to_string(map.width) + " " + std::to_string(map.height) + "\n";
  if (map.cells.empty()) return out;

  std::string overrides;
  const auto differs = [&](uint32_t x, uint32_t y, Side side, uint8_t shown) {
    const uint8_t value = map.At(x, y).Wall(side);
    if (value == shown) return;
    overrides += "wall " + std::to_string(x) + " " + std::to_string(y) + " " + SideName(side) +
                 " " + std::to_string(value) + "\n";
  };
  for (uint32_t r = 0; r <= map.height; ++r) {
    std::string line = "+";
    for (uint32_t x = 0; x < map.width; ++x) {
      const uint8_t shown =
          r > 0 ? map.At(x, r - 1).Wall(Side::kSouth) : map.At(x, 0).Wall(Side::kNorth);
      line.append(3, AcrossSymbol(shown));
      line += '+';
      if (r > 0 && r < map.height) differs(x, r, Side::kNorth, shown);
    }
    out += line + "\n";
    if (r == map.height) break;
    line.clear();
    for (uint32_t x = 0; x <= map.width; ++x) {
      const uint8_t shown =
          x > 0 ? map.At(x - 1, r).Wall(Side::kEast) : map.At(0, r).Wall(Side::kWest);
      line += AlongSymbol(shown);
      if (x == map.width) break;
      if (x > 0) differs(x, r, Side::kWest, shown);
      line += EventText(map.At(x, r).event);
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out += line + "\n";
  }
  std::string spares;
  for (uint32_t y = 0; y < map.height; ++y) {
    for (uint32_t x = 0; x < map.width; ++x) {
      const uint8_t spare = map.At(x, y).spare;
      if (spare != 0) {
        spares += "spare " + std::to_string(x) + " " + std::to_string(y) + " " +
                  std::to_string(spare) + "\n";
      }
    }
  }
  if (!overrides.empty()) {
    out +=
        "\n# Sides that differ from the grid's (the cell below or right of a wall).\n" + overrides;
  }
  if (!spares.empty())
    out += "\n# The fourth byte of cells, which the view does not read.\n" + spares;
  return out;
}

}  // namespace tvx::tool::maze
