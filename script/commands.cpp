// The commands of the bytecode: stores, conditions and jumps, script calls, procedures and
// menus of choices.
#include "platform/tick_thread.h"
#include "platform/trace.h"
#include "script/player_input.h"
#include "script/script_host.h"
#include "script/script_interpreter.h"
#include "script/variable_area.h"

namespace tvx {
namespace {

constexpr VmAddress kBase = kVariableAreaAddress;

}  // namespace

// Each store reads an expression list: a value, then a separator byte (non-zero: another
// value follows). Values are stored as they come, so a later value sees the earlier store.
void ScriptInterpreter::StoreFlags(uint32_t n) {
  do {
    memory_.Write8(kBase + VariableArea::kFlagsOffset + n++,
                   static_cast<uint8_t>(evaluator_.Evaluate()));
  } while (ReadByte(1) != 0 && !PastEnd());
}

void ScriptInterpreter::StoreRegisters16(uint8_t r) {
  do {
    // Register numbers count in 8 bits and run on into the system words.
    memory_.Write16(kBase + VariableArea::kRegisters16Offset + 2u * r++,
                    static_cast<uint16_t>(evaluator_.Evaluate()));
  } while (ReadByte(1) != 0 && !PastEnd());
}

void ScriptInterpreter::StoreRegisters32(uint8_t r) {
  do {
    memory_.Write32(kBase + VariableArea::kRegisters32Offset + 4u * r++, evaluator_.Evaluate());
  } while (ReadByte(1) != 0 && !PastEnd());
}

void ScriptInterpreter::StoreBytes() {
  uint32_t i = evaluator_.Evaluate();
  const uint8_t r = ReadByte(1);
  const uint32_t base = memory_.Read16(kBase + VariableArea::kRegisters16Offset + 2u * r);
  do {
    memory_.Write8(kBase + base + i++, static_cast<uint8_t>(evaluator_.Evaluate()));
  } while (ReadByte(1) != 0 && !PastEnd());
}

void ScriptInterpreter::StoreDim16() {
  uint32_t i = evaluator_.Evaluate();
  const uint8_t s = ReadByte(1);
  const VmAddress base =
      s == 0 ? memory_.Read32(kBase + VariableArea::kArray0AddressOffset)
             : kBase + memory_.Read16(kBase + VariableArea::kRegisters16Offset + 2u * (s - 1u));
  do {
    memory_.Write16(base + 2 * i++, static_cast<uint16_t>(evaluator_.Evaluate()));
  } while (ReadByte(1) != 0 && !PastEnd());
}

void ScriptInterpreter::StoreDim32() {
  uint32_t i = evaluator_.Evaluate();
  const uint8_t s = ReadByte(1);
  const VmAddress base =
      s == 0 ? kBase + VariableArea::kSystemPointersOffset
             : memory_.Read32(kBase + VariableArea::kRegisters32Offset + 4u * (s - 1u));
  do {
    memory_.Write32(base + 4 * i++, evaluator_.Evaluate());
  } while (ReadByte(1) != 0 && !PastEnd());
}

void ScriptInterpreter::If() {
  const uint32_t condition = evaluator_.Evaluate();
  const uint32_t target = ReadU32();
  // Only 1 is true.
  if (condition != 1) pc_ = target;
}

void ScriptInterpreter::LoadScript() {
  ReadParamList();
  LoadScriptByName(params_.Text(0));
  variables_.SetSystemFlag(kFlagRestart, true);
}

void ScriptInterpreter::CallScript() {
  ReadParamList();
  if (call_depth_ >= kCallStackSize) {
    // The call stack holds five levels; a deeper call is not made.
    TVX_TRACE(Script, "CALL_SCRIPT beyond five levels ignored");
    return;
  }
  CallFrame& frame = call_stack_[call_depth_++];
  frame = {image_address_, pc_, std::string(variables_.ScriptName())};
  const std::string callee = params_.Text(0);
  SetImageAddress(kScriptImageAddress);
  pc_ = 0;
  LoadScriptByName(callee);
  Run();
  --call_depth_;
  SetImageAddress(frame.image_address);
  if (variables_.HasSystemFlag(kFlagRestart)) return;  // the new script stays
  pc_ = frame.pc;
  const std::string caller = std::move(frame.name);
  frame = {};
  LoadScriptByName(caller);
}

void ScriptInterpreter::MenuItem() {
  menus_.BeginIfNeeded();
  ReadParamList();
  const uint32_t target = ReadU32();
  menus_.Add(params_.Value(0), image_address_ + pc_);
  pc_ = target;
}

void ScriptInterpreter::CallProc(uint32_t n) {
  if (n >= kProcedureCount) return;
  const bool saved = variables_.HasSystemFlag(kFlagProcSaved);
  variables_.SetSystemFlag(kFlagProcSaved, false);
  RunNested(procedures_[n].image_address, procedures_[n].pc);
  if (saved) variables_.SetSystemFlag(kFlagProcSaved, true);
}

void ScriptInterpreter::DefineProc() {
  const uint32_t n = evaluator_.Evaluate();
  const uint32_t target = ReadU32();
  if (n < kProcedureCount) procedures_[n] = {pc_, image_address_};
  pc_ = target;
}

void ScriptInterpreter::WaitWhileInput(int input) {
  WaitForInput(host_, [&] {
    return !variables_.HasSystemFlag(kFlagMenuWaits) || !host_.QueryInput(input) ||
           variables_.HasSystemFlag(kFlagRestart);
  });
}

void ScriptInterpreter::WaitWhileHeld(int input, uint32_t ticks) {
  TickThread* clock = this->ticks();
  if (!clock || !variables_.HasSystemFlag(kFlagMenuWaits)) return;
  const uint32_t start = clock->GetTicks();
  WaitUntil(host_, [&] { return clock->GetTicks() - start >= ticks || !host_.QueryInput(input); });
}

void ScriptInterpreter::MenuRun() {
  // Only presses made while the menu runs choose in it.
  host_.ForgetPresses();
  variables_.SetWord(kWordMenuItemCount, menus_.CountLeadingSlots());
  CallProc(38);
  // A newly loaded script ends the menu too: its procedures could no longer run.
  while (!variables_.HasSystemFlag(kFlagMenuEnd) && !variables_.HasSystemFlag(kFlagRestart)) {
    if (!host_.PumpWaiting() || budget_ == 0) break;
    CallProc(39);
    if (variables_.HasSystemFlag(kFlagMenuEnd)) break;
    if (host_.QueryInput(kDecide)) {
      CallProc(32);
      WaitWhileInput(kDecide);
    } else if (host_.QueryInput(kCancel)) {
      WaitWhileInput(kCancel);
      CallProc(33);
      WaitWhileInput(kCancel);
    } else {
      for (int input = kUp; input <= kRight; ++input) {
        if (!host_.QueryInput(input)) continue;
        CallProc(34u + static_cast<uint32_t>(input - kUp));
        WaitWhileHeld(input, 10);  // the key-repeat delay
        break;
      }
    }
  }
  // Nor does what the player did in it count after it (the click that chose, as the left
  // button).
  host_.ForgetPresses();
  menus_.Finish();
}

}  // namespace tvx
