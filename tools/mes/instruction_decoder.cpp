#include "tools/mes/instruction_decoder.h"

#include <algorithm>

#include "resources/byte_order.h"
#include "script/opcodes.h"
#include "tools/mes/expression_decoder.h"
#include "tools/mes/expression_format.h"
#include "tools/mes/instruction_forms.h"
#include "tools/mes/names.h"
#include "tools/mes/string_literal.h"

namespace tvx::mes {
namespace {

using Status = DecodedInstruction::Status;

class Decoder {
 public:
  Decoder(std::span<const uint8_t> code, size_t offset, DecodedInstruction& out)
      : code_(code), pos_(offset), start_(offset), out_(out) {}

  // False once the code ends inside the instruction.
  bool DecodeOperand(uint8_t opcode, Operand kind) {
    switch (kind) {
      case Operand::Byte: {
        if (!Need(1)) return false;
        const uint8_t value = code_[pos_++];
        if (ByteOperandOptional(opcode) && value == 0) return true;
        out_.operands.push_back(ByteOperandIsRegister(opcode) && value < kNamedRegisters
                                    ? Register16Name(value)
                                    : std::to_string(value));
        return true;
      }
      case Operand::U16:
        if (!Need(2)) return false;
        out_.operands.push_back(std::to_string(bytes::LoadLe16(code_, pos_)));
        pos_ += 2;
        return true;
      case Operand::Target:
        if (!Need(4)) return false;
        out_.target = bytes::LoadLe32(code_, pos_);
        out_.target_index = out_.operands.size();
        out_.operands.emplace_back();
        pos_ += 4;
        return true;
      case Operand::Expr:
        return Expression();
      case Operand::ExprList:
        return ExpressionList();
      case Operand::Params:
        return Params();
      case Operand::TextRun:
        return Text();
    }
    return false;
  }

  bool Text() {
    const auto begin = code_.begin() + static_cast<std::ptrdiff_t>(pos_);
    const auto zero = std::find(begin, code_.end(), uint8_t{0});
    if (zero == code_.end()) return Truncated();
    out_.operands.push_back(FormatStringLiteral(std::span<const uint8_t>(begin, zero)));
    pos_ = static_cast<size_t>(zero - code_.begin()) + 1;
    return true;
  }

  size_t Size() const { return pos_ - start_; }

 private:
  bool Truncated() {
    out_.status = Status::Truncated;
    return false;
  }

  bool Need(size_t count) { return code_.size() - pos_ >= count || Truncated(); }

  bool Expression() {
    const auto expression = DecodeExpression(code_, pos_);
    if (!expression) return Truncated();
    out_.operands.push_back(expression->text);
    pos_ = expression->end;
    return true;
  }

  bool ExpressionList() {
    while (true) {
      if (!Expression() || !Need(1)) return false;
      const uint8_t separator = code_[pos_++];
      if (separator == 0) return true;
      if (separator != 1 && out_.status == Status::Ok) {
        out_.status = Status::Inexpressible;
        out_.problem = "list separator " + FormatByte(separator);
      }
    }
  }

  bool Params() {
    while (true) {
      if (!Need(1)) return false;
      const uint8_t kind = code_[pos_++];
      if (kind == 0) return true;
      if (kind == 1) {
        if (!Text()) return false;
      } else if (kind == 2) {
        if (!Expression()) return false;
      } else {
        out_.operands.push_back("KIND(" + std::to_string(kind) + ")");
      }
    }
  }

  std::span<const uint8_t> code_;
  size_t pos_;
  size_t start_;
  DecodedInstruction& out_;
};

}  // namespace

DecodedInstruction DecodeInstruction(std::span<const uint8_t> code, size_t offset) {
  DecodedInstruction out;
  const uint8_t opcode = code[offset];
  if (IsTextLead(opcode)) {
    Decoder decoder(code, offset, out);
    if (decoder.Text()) out.size = decoder.Size();
    if (out.status == Status::Truncated) out.problem = "text without its closing 0x00";
    return out;
  }
  const OpcodeInfo& info = kOpcodes[opcode];
  out.mnemonic = std::string(info.name);
  Decoder decoder(code, offset + 1, out);
  for (size_t i = 0; i < info.operand_count; ++i) {
    if (!decoder.DecodeOperand(opcode, info.operands[i])) {
      out.problem = std::string(info.name) + " cut off by the end of the file";
      return out;
    }
  }
  out.size = 1 + decoder.Size();
  if (TargetWrittenFirst(opcode) && out.target) {
    std::rotate(out.operands.begin(),
                out.operands.begin() + static_cast<std::ptrdiff_t>(out.target_index),
                out.operands.begin() + static_cast<std::ptrdiff_t>(out.target_index) + 1);
    out.target_index = 0;
  }
  return out;
}

}  // namespace tvx::mes
