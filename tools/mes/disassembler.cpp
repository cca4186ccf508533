#include "tools/mes/disassembler.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <vector>

#include "script/opcodes.h"
#include "tools/mes/expression_format.h"
#include "tools/mes/instruction_decoder.h"

namespace tvx::mes {
namespace {

constexpr size_t kBytesPerDataLine = 16;
constexpr std::string_view kIndent = "    ";

// A stretch of the file: an instruction, or bytes written with DB.
struct Item {
  size_t offset = 0;
  size_t size = 0;
  bool data = false;
  DecodedInstruction instruction;
  std::string note;  // why a stretch is data
};

bool IsDefinedOpcode(uint8_t byte) {
  return byte < kOpcodeCount || IsTextLead(byte);
}

// Linear sweep from byte 0.
std::vector<Item> Sweep(std::span<const uint8_t> code) {
  std::vector<Item> items;
  size_t pos = 0;
  while (pos < code.size()) {
    if (!IsDefinedOpcode(code[pos])) {
      size_t end = pos;
      while (end < code.size() && !IsDefinedOpcode(code[end])) ++end;
      items.push_back({pos, end - pos, true, {}, "not an opcode"});
      pos = end;
      continue;
    }
    DecodedInstruction instruction = DecodeInstruction(code, pos);
    if (instruction.status == DecodedInstruction::Status::Truncated) {
      items.push_back({pos, code.size() - pos, true, {}, instruction.problem});
      break;
    }
    const size_t size = instruction.size;
    if (instruction.status == DecodedInstruction::Status::Inexpressible) {
      items.push_back({pos, size, true, {}, instruction.mnemonic + " with " + instruction.problem});
    } else {
      items.push_back({pos, size, false, std::move(instruction), {}});
    }
    pos += size;
  }
  return items;
}

std::string LabelName(size_t offset) {
  char buffer[24];
  std::snprintf(buffer, sizeof buffer, "L_%04zX", offset);
  return buffer;
}

class Writer {
 public:
  Writer(std::span<const uint8_t> code, std::vector<Item> items)
      : code_(code), items_(std::move(items)) {
    for (const Item& item : items_) {
      if (!item.data && item.instruction.target) targets_.insert(*item.instruction.target);
    }
  }

  std::string Write() {
    // Data is cut at jump targets, so that every target inside it gets a label too.
    for (const Item& item : items_) {
      if (!item.data) {
        starts_.insert(item.offset);
        continue;
      }
      for (const auto& [offset, size] : DataLines(item)) starts_.insert(offset);
    }
    starts_.insert(code_.size());

    out_ = "; MES script, " + std::to_string(code_.size()) +
           " bytes, disassembled by talvex-tool.\n"
           "; 'talvex-tool mes asm' turns this file back into the same bytes.\n\n";
    for (const Item& item : items_) {
      if (item.data) {
        WriteData(item);
      } else {
        Label(item.offset);
        WriteInstruction(item.instruction);
      }
    }
    Label(code_.size());
    return std::move(out_);
  }

 private:
  // Lines of at most kBytesPerDataLine bytes, cut at jump targets.
  std::vector<std::pair<size_t, size_t>> DataLines(const Item& item) const {
    std::vector<std::pair<size_t, size_t>> lines;
    const size_t end = item.offset + item.size;
    size_t start = item.offset;
    while (start < end) {
      size_t stop = std::min(end, start + kBytesPerDataLine);
      const auto next_target = targets_.upper_bound(start);
      if (next_target != targets_.end() && *next_target < stop) stop = *next_target;
      lines.emplace_back(start, stop - start);
      start = stop;
    }
    return lines;
  }

  // A label starts a paragraph: procedures, menu items and loops stand apart.
  void Label(size_t offset) {
    if (!targets_.contains(offset)) return;
    if (!out_.ends_with("\n\n")) out_ += '\n';
    out_ += LabelName(offset) + ":\n";
  }

  std::string TargetText(uint32_t target) const {
    if (targets_.contains(target) && starts_.contains(target)) return LabelName(target);
    return FormatNumber(target);
  }

  void WriteInstruction(const DecodedInstruction& instruction) {
    out_ += kIndent;
    out_ += instruction.mnemonic;
    for (size_t i = 0; i < instruction.operands.size(); ++i) {
      if (!instruction.mnemonic.empty() || i > 0) out_ += i == 0 ? " " : ", ";
      out_ += instruction.target && i == instruction.target_index ? TargetText(*instruction.target)
                                                                  : instruction.operands[i];
    }
    out_ += '\n';
  }

  void WriteData(const Item& item) {
    bool first = true;
    for (const auto& [offset, size] : DataLines(item)) {
      Label(offset);
      out_ += kIndent;
      out_ += "DB ";
      for (size_t i = 0; i < size; ++i) {
        if (i > 0) out_ += ", ";
        out_ += FormatByte(code_[offset + i]);
      }
      if (first) out_ += "  ; " + item.note;
      first = false;
      out_ += '\n';
    }
  }

  std::span<const uint8_t> code_;
  std::vector<Item> items_;
  std::set<size_t> targets_;
  std::set<size_t> starts_;
  std::string out_;
};

}  // namespace

std::string Disassemble(std::span<const uint8_t> code) {
  return Writer(code, Sweep(code)).Write();
}

}  // namespace tvx::mes
