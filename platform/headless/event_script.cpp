#include "platform/headless/event_script.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace tvx::platform {
namespace {

std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
    if (i > start) words.push_back(line.substr(start, i - start));
  }
  return words;
}

// "<ms> type <text>": the text is the rest of the line after one blank, '#' and all.
std::optional<std::string_view> TypedText(std::string_view line) {
  const auto w = Words(line);
  if (w.size() < 2 || w[1] != "type") return std::nullopt;
  std::string_view rest = line.substr(static_cast<size_t>(w[1].data() - line.data()) + 4);
  if (rest.ends_with('\r')) rest.remove_suffix(1);
  if (!rest.empty()) rest.remove_prefix(1);
  return rest;
}

template <typename T>
bool Number(std::string_view word, T& out) {
  const char* end = word.data() + word.size();
  auto [ptr, ec] = std::from_chars(word.data(), end, out);
  return ec == std::errc() && ptr == end;
}

// One event from the words of a line; the reason when they make none.
std::string ParseEvent(const std::vector<std::string_view>& w,
                       const std::optional<std::string_view>& typed, ScriptedEvent& event) {
  if (!Number(w[0], event.time)) return "expected a time in milliseconds";
  if (w.size() < 2) return "expected an event after the time";
  const std::string_view what = w[1];
  using K = ScriptedEvent::Kind;
  if (what == "key") {
    if (w.size() != 4 || (w[2] != "down" && w[2] != "up"))
      return "expected: <ms> key down|up <Name>";
    event.kind = w[2] == "down" ? K::KeyDown : K::KeyUp;
    event.key = KeyFromName(w[3]);
    if (event.key == Key::None) return "unknown key name '" + std::string(w[3]) + "'";
  } else if (what == "mouse") {
    if (w.size() == 5 && w[2] == "move") {
      event.kind = K::MouseMove;
      if (!Number(w[3], event.x) || !Number(w[4], event.y))
        return "expected: <ms> mouse move <x> <y>";
    } else if (w.size() == 4 && (w[2] == "down" || w[2] == "up") &&
               (w[3] == "left" || w[3] == "right")) {
      event.kind = w[2] == "down" ? K::MouseDown : K::MouseUp;
      event.left = w[3] == "left";
    } else {
      return "expected: <ms> mouse move <x> <y> | mouse down|up left|right";
    }
  } else if (what == "wheel") {
    if (w.size() != 3 || !Number(w[2], event.delta)) return "expected: <ms> wheel <delta>";
    event.kind = K::Wheel;
  } else if (what == "focus") {
    if (w.size() != 3 || (w[2] != "lost" && w[2] != "gained"))
      return "expected: <ms> focus lost|gained";
    event.kind = w[2] == "lost" ? K::FocusLost : K::FocusGained;
  } else if (what == "close" && w.size() == 2) {
    event.kind = K::Close;
  } else if (what == "minimize" && w.size() == 2) {
    event.kind = K::Minimize;
  } else if (what == "restore" && w.size() == 2) {
    event.kind = K::Restore;
  } else if (what == "command") {
    uint32_t id = 0;
    if (w.size() != 3 || !Number(w[2], id) || id == 0 || id > 0xFFFF)
      return "expected: <ms> command <identifier 1-65535>";
    event.kind = K::MenuCommand;
    event.command = static_cast<uint16_t>(id);
  } else if (what == "type") {
    if (!typed || typed->empty()) return "expected: <ms> type <text>";
    event.kind = K::Type;
    event.text = std::string(*typed);
  } else if (what == "answer") {
    if (w.size() != 3 || (w[2] != "OK" && w[2] != "Cancel"))
      return "expected: <ms> answer OK|Cancel";
    event.kind = K::Answer;
    event.answer = w[2] == "OK" ? BoxAnswer::Ok : BoxAnswer::Cancel;
  } else {
    return "unknown event '" + std::string(what) + "'";
  }
  return {};
}

}  // namespace

Key KeyFromName(std::string_view name) {
  static constexpr struct {
    std::string_view name;
    Key key;
  } kNamed[] = {{"Enter", Key::Enter},  {"Escape", Key::Escape}, {"Space", Key::Space},
                {"Tab", Key::Tab},      {"Up", Key::Up},         {"Down", Key::Down},
                {"Left", Key::Left},    {"Right", Key::Right},   {"Shift", Key::Shift},
                {"Ctrl", Key::Ctrl},    {"Alt", Key::Alt},       {"F4", Key::F4},
                {"F11", Key::F11},      {"PageUp", Key::PageUp}, {"PageDown", Key::PageDown},
                {"Home", Key::Home},    {"End", Key::End},       {"Backspace", Key::Backspace},
                {"Delete", Key::Delete}};
  for (const auto& entry : kNamed)
    if (entry.name == name) return entry.key;
  if (name.size() == 1 && name[0] >= 'A' && name[0] <= 'Z') return LetterKey(name[0]);
  return Key::None;
}

EventScriptResult ParseEventScript(std::string_view text) {
  EventScriptResult result;
  size_t line_number = 0;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++line_number;
    const std::optional<std::string_view> typed = TypedText(line);
    if (const size_t hash = line.find('#'); hash != std::string_view::npos)
      line = line.substr(0, hash);
    const auto w = Words(line);
    if (w.empty()) {
      if (end == text.size()) break;
      continue;
    }
    ScriptedEvent event;
    // Every bad line is reported, one per line of the error, so that all can be mended at once.
    if (std::string why = ParseEvent(w, typed, event); !why.empty()) {
      if (!result.error.empty()) result.error += '\n';
      result.error += "line " + std::to_string(line_number) + ": " + why;
    } else {
      result.events.push_back(std::move(event));
    }
    if (end == text.size()) break;
  }
  if (!result.ok()) {
    result.events.clear();
    return result;
  }
  std::stable_sort(result.events.begin(), result.events.end(),
                   [](const ScriptedEvent& a, const ScriptedEvent& b) { return a.time < b.time; });
  return result;
}

}  // namespace tvx::platform
