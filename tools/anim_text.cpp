#include "tools/anim_text.h"

#include <array>
#include <cstdio>
#include <vector>

namespace tvx::tool::anim {
namespace {

// Program lines are wrapped before this width; the rest continue indented.
constexpr size_t kLineWidth = 96;

// The commands' names, by value (those below 20 that have one).
constexpr std::array<std::string_view, 9> kCommandNames = {
    "nothing", "end-if-once", "wait", "restart", "end", "loop", "next", "loop2", "next2"};

// Each command with its operand, as one unit that lines are not broken inside.
std::vector<std::string> CommandTexts(const std::vector<uint16_t>& words) {
  std::vector<std::string> texts;
  for (size_t i = 0; i < words.size(); ++i) {
    const uint16_t word = words[i];
    if (TakesOperand(word) && i + 1 < words.size()) {
      texts.push_back(std::string(kCommandNames[word]) + " " + std::to_string(words[++i]));
    } else if (word < kCommandNames.size() && !TakesOperand(word)) {
      texts.emplace_back(kCommandNames[word]);
    } else {
      texts.push_back(std::to_string(word));
    }
  }
  return texts;
}

}  // namespace

std::string FrameTypeName(uint8_t type) {
  switch (type) {
    case kCopy:
      return "copy";
    case kKeyed:
      return "keyed";
    case kSwap:
      return "swap";
    case kComposite:
      return "composite";
    default: {
      std::array<char, 8> text{};
      std::snprintf(text.data(), text.size(), "0x%02X", type);
      return text.data();
    }
  }
}

std::string FormatSource(const AnimData& data, std::span<const std::string> notes,
                         std::string_view title) {
  std::string out = "# " + std::string(title) + ": " + std::to_string(data.frames.size()) +
                    (data.frames.size() == 1 ? " frame, " : " frames, ") +
                    std::to_string(data.programs.size()) +
                    (data.programs.size() == 1 ? " slot\n" : " slots\n");
  if (!data.frames.empty()) {
    out += "\n# frame NUMBER TYPE  sx sy w h (the block on plane 1)  dx dy (on the screen)\n";
  }
  for (const Frame& f : data.frames) {
    // Appended piece by piece: the text grows in place, without a string per piece.
    ((out += "frame ") += std::to_string(f.number)) += " ";
    out += FrameTypeName(f.type);
    for (const uint16_t field : {f.sx, f.sy, f.w, f.h, f.dx, f.dy})
      (out += " ") += std::to_string(field);
    if (f.ignored1 != 0 || f.ignored2 != 0) {
      ((out += "  # followed by ") += std::to_string(f.ignored1)) += " ";
      (out += std::to_string(f.ignored2)) += ", which the engine does not read";
    }
    out += "\n";
  }
  if (!notes.empty()) out += "\n";
  for (const std::string& note : notes) out += "# note: " + note + "\n";
  if (!data.programs.empty()) out += "\n# slot ROW COLUMN: commands\n";
  for (const Program& program : data.programs) {
    std::string line =
        "slot " + std::to_string(program.row) + " " + std::to_string(program.column) + ":";
    for (const std::string& text : CommandTexts(program.words)) {
      if (line.size() + 1 + text.size() > kLineWidth && line.size() > 2) {
        out += line + "\n";
        line = " ";
      }
      line += " " + text;
    }
    out += line + "\n";
  }
  return out;
}

}  // namespace tvx::tool::anim
