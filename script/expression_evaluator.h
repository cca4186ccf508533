// The script's stack machine: evaluates one postfix expression (expression_code.h) at the
// program counter against the variables, on a fixed stack of 1024 unsigned 32-bit values.
#pragma once

#include <array>
#include <cstdint>

namespace tvx {

class ScriptInterpreter;
class TickThread;
class VariableArea;
class VmMemory;

class ExpressionEvaluator {
 public:
  static constexpr uint16_t kStackSize = 1024;

  ExpressionEvaluator(ScriptInterpreter& interpreter, VmMemory& memory);
  // The 15 ms clock that the random operator mixes in; without one it mixes in 0.
  void SetClock(const TickThread* clock) { clock_ = clock; }

  // Reads one expression, up to and including its 0xFF, and returns its value.
  uint32_t Evaluate();
  // A full stack reports the overflow; a push beyond it is dropped.
  void Push(uint32_t value) {
    if (depth_ + 1 < kStackSize) {
      stack_[depth_++] = value;
      return;
    }
    PushNearFull(value);
  }
  // An empty stack reports the underflow and gives 0.
  uint32_t Pop() { return depth_ != 0 ? stack_[--depth_] : PopEmpty(); }

  uint16_t depth() const { return depth_; }
  uint32_t seed() const { return seed_; }
  void SetSeed(uint32_t seed) { seed_ = seed; }
  // The first seed: the sum of the eight fields of the local time.
  void SeedFromLocalTime();

 private:
  // The rare ends of the stack, out of line.
  void PushNearFull(uint32_t value);
  uint32_t PopEmpty();
  uint32_t Random(uint32_t bound);
  uint16_t Register16(uint8_t r) const;
  uint32_t Register32(uint8_t r) const;

  ScriptInterpreter& interpreter_;
  VmMemory& memory_;
  const TickThread* clock_ = nullptr;
  std::array<uint32_t, kStackSize> stack_{};
  uint16_t depth_ = 0;
  uint32_t seed_ = 0;
};

}  // namespace tvx
