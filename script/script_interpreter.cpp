#include "script/script_interpreter.h"

#include <algorithm>
#include <cstring>

#include "archive/archive_set.h"
#include "platform/trace.h"
#include "script/animation_table.h"
#include "script/opcodes.h"
#include "script/script_host.h"
#include "script/variable_area.h"

namespace tvx {

std::string ParamList::Text(size_t i) const {
  if (i >= kCapacity) return {};
  const auto& text = records[i].text;
  return std::string(text.data(), strnlen(text.data(), text.size()));
}

ScriptInterpreter::ScriptInterpreter(const ScriptParts& parts)
    : variables_(parts.variables),
      shared_(parts.shared),
      host_(parts.host),
      planes_(parts.planes),
      graphics_(parts.graphics),
      evaluator_(*this, memory_),
      text_(*this, variables_) {
  memory_.Map(kVariableAreaAddress, variables_.block());
  memory_.Map(kScratchBlockAddress, scratch_);
  memory_.Map(kMenuCodeTableAddress, menus_.codeBytes());
  memory_.Map(kMenuNumberListAddress, menus_.numberBytes());
  memory_.Map(kCommandAreaAddress, command_area_);
  SetImageAddress(kScriptImageAddress);
}

void ScriptInterpreter::Attach(const ScriptDevices& devices) {
  devices_ = devices;
  evaluator_.SetClock(devices.ticks);
}

void ScriptInterpreter::Reset() {
  pc_ = 0;
  depth_ = 0;
  call_depth_ = 0;
  menus_.Reset();
  text_.Reset();
  SetImageAddress(kScriptImageAddress);
}

void ScriptInterpreter::SetImageAddress(VmAddress address) {
  image_address_ = address;
  code_ = memory_.Rest(address);
}

uint32_t ScriptInterpreter::ReadU16() {
  const uint32_t low = ReadByte(1);
  return low | uint32_t{ReadByte(1)} << 8;
}

uint32_t ScriptInterpreter::ReadU32() {
  uint32_t value = 0;
  for (int k = 0; k < 4; ++k) value |= uint32_t{ReadByte(1)} << (8 * k);
  return value;
}

void ScriptInterpreter::ReadParamList() {
  // Records past the count stay clear (commands read missing parameters as 0), so only the
  // ones the last list filled need clearing, not the whole list.
  std::fill_n(params_.records.begin(), std::min<size_t>(params_.count, ParamList::kCapacity),
              ParamRecord{});
  params_.count = 0;
  while (!PastEnd() && ReadByte(0) != 0) {
    const uint8_t kind = ReadByte(1);
    // Parameters beyond the list's capacity are read and dropped.
    ParamRecord dropped;
    ParamRecord& record =
        params_.count < ParamList::kCapacity ? params_.records[params_.count] : dropped;
    if (kind == 1) {
      record.kind = 1;
      size_t length = 0;
      while (!PastEnd() && ReadByte(0) != 0) {
        const char c = static_cast<char>(ReadByte(1));
        // Longer texts are cut to what the record holds.
        if (length + 1 < record.text.size()) record.text[length++] = c;
      }
      ReadByte(1);
    } else if (kind == 2) {
      record.kind = 2;
      record.value = evaluator_.Evaluate();
    }
    ++params_.count;
  }
  ReadByte(1);
}

int ScriptInterpreter::LoadScriptByName(std::string_view name) {
  std::string file(name.substr(0, std::min(name.size(), VariableArea::kScriptNameSize - 1)));
  variables_.SetScriptName(file);
  host_.ShowFileName(1, file);
  // Slot programs live in the image too: none steps while it is replaced.
  const AnimationTable::StepPause pause =
      animations() ? animations()->PauseSteps() : AnimationTable::StepPause(nullptr);
  if (!archives()) return 0;
  const int loaded = archives()->LoadScript(file, variables_.image(), variables_.FileLoadSpace());
  if (loaded) script_end_ = kScriptImageAddress + archives()->lastLoadedSize;
  return loaded;
}

int ScriptInterpreter::Run() {
  ++depth_;
  for (;;) {
    const bool ending = host_.PumpAndCheckQuit() || budget_ == 0;
    if (ending && host_.Halted()) return 0;
    if (variables_.HasSystemFlag(kFlagRestart)) {
      if (depth_ != 1) {
        --depth_;
        return 0;
      }
      variables_.SetSystemFlag(kFlagRestart, false);
      SetImageAddress(kScriptImageAddress);
      pc_ = 0;
    }
    const uint8_t op = ReadByte(0);
    if (op == mes::kEnd) {
      ReadByte(1);
      --depth_;
      return 0;
    }
    Dispatch(op);
    if (ending) return 0;
  }
}

void ScriptInterpreter::RunNested(VmAddress address, uint32_t pc) {
  if (depth_ >= kMaxNesting) return;
  const VmAddress saved_address = image_address_;
  const uint32_t saved_pc = pc_;
  SetImageAddress(address);
  pc_ = pc;
  Run();
  SetImageAddress(saved_address);
  pc_ = saved_pc;
}

bool ScriptInterpreter::RunCommandLine(std::span<const uint8_t> code) {
  // The line being run reads its code from the area: another may not overwrite it.
  if (command_running_ || code.size() >= command_area_.size()) return false;
  // Zeros behind the code: the END that returns, and wherever a jump past it lands.
  std::fill(command_area_.begin(), command_area_.end(), 0);
  std::copy(code.begin(), code.end(), command_area_.begin());
  command_running_ = true;
  const ParamList saved = params_;
  RunNested(kCommandAreaAddress, 0);
  params_ = saved;
  command_running_ = false;
  return true;
}

void ScriptInterpreter::Dispatch(uint8_t op) {
  using namespace mes;
  if (IsTextLead(op)) {
    text_.DrawTextRun();  // the run starts at this byte: it is not an opcode
    return;
  }
  // An undefined opcode is not consumed: the same byte comes again at the next command.
  if (op >= kOpcodeCount) return;
  ReadByte(1);
  switch (op) {
    case kText:
      text_.DrawTextRun();
      break;
    case kTextHalf:
      text_.DrawHalfTextRun();
      break;
    case kSetFlags:
      StoreFlags(ReadU16());
      break;
    case kSetReg16:
      StoreRegisters16(ReadByte(1));
      break;
    case kSetFlagsAt:
      StoreFlags(evaluator_.Evaluate() & 0xFFFF);
      break;
    case kSetBytes:
      StoreBytes();
      break;
    case kSetDim16:
      StoreDim16();
      break;
    case kSetDim32:
      StoreDim32();
      break;
    case kIf:
      If();
      break;
    case kJump:
      pc_ = ReadU32();
      break;
    case kSyscall:
      Syscall();
      break;
    case kLoadScript:
      LoadScript();
      break;
    case kCallScript:
      CallScript();
      break;
    case kMenuItem:
      MenuItem();
      break;
    case kCallProc:
      ReadParamList();
      CallProc(params_.Value(0));
      break;
    case kEffect:
      Effect();
      break;
    case kNewline:
      if (ReadByte(1) == 0) text_.Newline();
      break;
    case kDefineProc:
      DefineProc();
      break;
    case kMenuRun:
      MenuRun();
      break;
    case kSetReg32:
      StoreRegisters32(ReadByte(1));
      break;
    default:
      break;
  }
}

}  // namespace tvx
