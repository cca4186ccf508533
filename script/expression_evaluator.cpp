#include "script/expression_evaluator.h"

#include <string>

#include "platform/error_box.h"
#include "platform/platform.h"
#include "platform/tick_thread.h"
#include "resources/gbk.h"
#include "script/expression_code.h"
#include "script/script_interpreter.h"
#include "script/variable_area.h"

namespace tvx {

using namespace mes;

ExpressionEvaluator::ExpressionEvaluator(ScriptInterpreter& interpreter, VmMemory& memory)
    : interpreter_(interpreter), memory_(memory) {
  SeedFromLocalTime();
}

void ExpressionEvaluator::SeedFromLocalTime() {
  const platform::LocalTime t = platform::Now();
  const int fields[] = {t.year, t.month,  t.weekday, t.day,
                        t.hour, t.minute, t.second,  t.millisecond};
  uint32_t sum = 0;
  for (int field : fields) sum += static_cast<uint16_t>(field);
  seed_ = sum;
}

void ExpressionEvaluator::PushNearFull(uint32_t value) {
  // The push that filled the stack was reported; the ones beyond it are dropped, so that a
  // damaged expression cannot flood the player with boxes.
  if (depth_ >= kStackSize) return;
  stack_[depth_++] = value;
  if (depth_ >= kStackSize) {
    static const std::string caption = gbk::FromUtf8("堆栈溢出");
    static const std::string text = gbk::FromUtf8("堆栈缓冲器溢出了");
    ErrorBox(caption, text);
  }
}

uint32_t ExpressionEvaluator::PopEmpty() {
  // A damaged expression can pop an empty stack thousands of times: the texts are made once.
  static const std::string caption = gbk::FromUtf8("堆栈错误");
  static const std::string text = gbk::FromUtf8("在堆栈里什么都没有保存。");
  ErrorBox(caption, text);
  return 0;
}

uint32_t ExpressionEvaluator::Random(uint32_t bound) {
  const uint32_t t = clock_ ? clock_->GetTicks() : 0;
  const uint32_t low = seed_ & 0xFFFF;
  const uint32_t high = seed_ >> 16;
  seed_ = t + (low >> 8) * high + (low & 0xFF) * low;
  return bound == 0 ? 0 : seed_ % bound;
}

uint16_t ExpressionEvaluator::Register16(uint8_t r) const {
  return memory_.Read16(kVariableAreaAddress + VariableArea::kRegisters16Offset + 2u * r);
}

uint32_t ExpressionEvaluator::Register32(uint8_t r) const {
  return memory_.Read32(kVariableAreaAddress + VariableArea::kRegisters32Offset + 4u * r);
}

uint32_t ExpressionEvaluator::Evaluate() {
  constexpr VmAddress kBase = kVariableAreaAddress;
  const uint64_t end = interpreter_.ExpressionEnd();
  for (;;) {
    // Code that runs off the end of its script or area ends the expression there.
    const bool past_end = interpreter_.PastEnd() || interpreter_.GetPC() >= end;
    const uint8_t op = past_end ? uint8_t{kExprEnd} : interpreter_.ReadByte(1);
    if (op <= 0x7F) {
      Push(op);
      continue;
    }
    uint32_t a = 0, b = 0;
    // Binary operators: the right operand is on top.
    if (op >= kExprAdd && op <= kExprNotEqual && op != kExprRandom) {
      b = Pop();
      a = Pop();
    }
    switch (op) {
      case kExprRegister16:
        Push(Register16(interpreter_.ReadByte(1)));
        break;
      case kExprDim16: {
        const uint32_t i = Pop();
        const uint8_t s = interpreter_.ReadByte(1);
        const VmAddress base = s == 0 ? memory_.Read32(kBase + VariableArea::kArray0AddressOffset)
                                      : kBase + Register16(static_cast<uint8_t>(s - 1));
        Push(memory_.Read16(base + 2 * i));
        break;
      }
      case kExprByteArray: {
        const uint32_t i = Pop();
        const uint8_t r = interpreter_.ReadByte(1);
        Push(memory_.Read8(kBase + Register16(r) + i));
        break;
      }
      case kExprAdd:
        Push(a + b);
        break;
      case kExprSub:
        Push(a - b);
        break;
      case kExprMul:
        Push(a * b);
        break;
      case kExprDiv:
        Push(b == 0 ? 0 : a / b);  // undefined for the scripts: 0 rather than a crash
        break;
      case kExprMod:
        Push(b == 0 ? 0 : a % b);
        break;
      case kExprRandom:
        Push(Random(Pop()));
        break;
      case kExprAnd:
        Push(a == 1 && b == 1 ? 1 : 0);
        break;
      case kExprOr:
        Push(a == 1 || b == 1 ? 1 : 0);
        break;
      case kExprBitAnd:
        Push(a & b);
        break;
      case kExprBitOr:
        Push(a | b);
        break;
      case kExprBitXor:
        Push(a ^ b);
        break;
      case kExprLess:
        Push(a < b ? 1 : 0);
        break;
      case kExprGreater:
        Push(a > b ? 1 : 0);
        break;
      case kExprLessEqual:
        Push(a <= b ? 1 : 0);
        break;
      case kExprGreaterEqual:
        Push(a >= b ? 1 : 0);
        break;
      case kExprEqual:
        Push(a == b ? 1 : 0);
        break;
      case kExprNotEqual:
        Push(a != b ? 1 : 0);
        break;
      case kExprConst16: {
        const uint32_t low = interpreter_.ReadByte(1);
        Push(low | uint32_t{interpreter_.ReadByte(1)} << 8);
        break;
      }
      case kExprConst32: {
        uint32_t value = 0;
        for (int k = 0; k < 4; ++k) value |= uint32_t{interpreter_.ReadByte(1)} << (8 * k);
        Push(value);
        break;
      }
      case kExprFlagConst: {
        const uint32_t low = interpreter_.ReadByte(1);
        const uint32_t n = low | uint32_t{interpreter_.ReadByte(1)} << 8;
        Push(memory_.Read8(kBase + VariableArea::kFlagsOffset + n));
        break;
      }
      case kExprFlag:
        Push(memory_.Read8(kBase + VariableArea::kFlagsOffset + Pop()));
        break;
      case kExprDim32: {
        const uint32_t i = Pop();
        const uint8_t s = interpreter_.ReadByte(1);
        const VmAddress base = s == 0 ? kBase + VariableArea::kSystemPointersOffset
                                      : Register32(static_cast<uint8_t>(s - 1));
        Push(memory_.Read32(base + 4 * i));
        break;
      }
      case kExprRegister32:
        Push(Register32(interpreter_.ReadByte(1)));
        break;
      case kExprEnd: {
        const uint32_t result = Pop();
        if (depth_ != 0) {
          static const std::string caption = gbk::FromUtf8("堆栈错误");
          static const std::string text = gbk::FromUtf8("在堆栈里有数据。");
          ErrorBox(caption, text);
        }
        return result;
      }
      default:
        Push(op);  // bytes without a meaning push themselves
        break;
    }
  }
}

}  // namespace tvx
