// The bytecode interpreter, which is also the game's main loop: it pumps messages once per
// instruction, dispatches opcodes to the commands, and nests (CALL_SCRIPT, CALL_PROC,
// MENU_RUN and the code-running system calls run a further level of the same loop).
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "script/expression_evaluator.h"
#include "script/menu_item_table.h"
#include "script/player_requests.h"
#include "script/text_output.h"
#include "script/vm_memory.h"

namespace tvx {

class AnimationTable;
class ArchiveSet;
class DungeonView;
class GraphicsEngine;
class ItemWindowHost;
class ScriptHost;
class SoundManager;
class TickThread;
class VariableArea;
class VramPlaneSet;
struct SharedState;

// The parts of the program that scripts reach, owned by the program that runs them.
struct ScriptParts {
  VariableArea& variables;
  SharedState& shared;
  ScriptHost& host;
  VramPlaneSet& planes;
  GraphicsEngine& graphics;
};

// The devices made at start-up after the interpreter; null until then, and in programs that
// run scripts without them.
struct ScriptDevices {
  ArchiveSet* archives = nullptr;
  SoundManager* sound = nullptr;
  TickThread* ticks = nullptr;
  AnimationTable* animations = nullptr;
  DungeonView* dungeon = nullptr;
  ItemWindowHost* itemWindow = nullptr;
};

struct ParamRecord {
  static constexpr size_t kTextCapacity = 23;  // 22 characters and the NUL
  uint8_t kind = 0;                            // 0 none, 1 text, 2 number
  std::array<char, kTextCapacity> text{};
  uint32_t value = 0;
};

struct ParamList {
  static constexpr size_t kCapacity = 30;
  std::array<ParamRecord, kCapacity> records{};
  uint32_t count = 0;
  uint32_t Value(size_t i) const { return i < kCapacity ? records[i].value : 0; }
  std::string Text(size_t i) const;
};

class ScriptInterpreter {
 public:
  static constexpr size_t kCallStackSize = 5;
  static constexpr size_t kProcedureCount = 100;

  explicit ScriptInterpreter(const ScriptParts& parts);
  ScriptInterpreter(const ScriptInterpreter&) = delete;
  ScriptInterpreter& operator=(const ScriptInterpreter&) = delete;

  // Start-up hands over the devices once they exist.
  void Attach(const ScriptDevices& devices);

  // Start-up: program counter, nesting and call stack 0, the image address at the image.
  void Reset();

  // The byte at image address + program counter; then the counter moves on by `advance`.
  // Past the end of the area the image address lies in, every byte reads 0 (END).
  uint8_t ReadByte(uint32_t advance) {
    if (budget_ == 0 || pc_ >= code_.size()) {
      pc_ += advance;
      return 0;
    }
    --budget_;
    const uint8_t byte = code_[pc_];
    pc_ += advance;
    return byte;
  }
  bool PastEnd() const { return budget_ == 0 || pc_ >= code_.size(); }
  // The program counter at which an expression starting here stops for want of its end
  // byte: the end of the loaded script when it starts inside it (the bytes after a script are
  // not its own, and reading on through the image, megabytes of it, would cost every run of
  // such code); otherwise the end of the area, as for any code.
  uint64_t ExpressionEnd() const {
    const uint64_t at = uint64_t{image_address_} + pc_;
    if (at >= kScriptImageAddress && at < script_end_) return script_end_ - image_address_;
    return code_.size();
  }
  uint32_t ReadU16();
  uint32_t ReadU32();
  uint32_t GetPC() const { return pc_; }
  void SetPC(uint32_t pc) { pc_ = pc; }
  VmAddress imageAddress() const { return image_address_; }
  void SetImageAddress(VmAddress address);

  // Reads one parameter list at the program counter.
  void ReadParamList();
  const ParamList& params() const { return params_; }

  // One interpreter level: until END, a restart unwinding it, or the program ending.
  int Run();
  // Runs the code at `address` as a nested level and comes back here. Levels nest at most
  // kMaxNesting deep: code that calls itself without end stops there instead of
  // exhausting the stack.
  static constexpr uint16_t kMaxNesting = 256;
  void RunNested(VmAddress address, uint32_t pc);
  // Runs a line of code that a developer typed, at once and where the script stands, as a
  // procedure call runs its body: from the command area (which holds no game state), with
  // END behind it, coming back to the instruction and parameters that were being worked
  // on. False, running nothing, when the code does not fit the area with its END, or while
  // an earlier line is still running (a wait inside it pumps the menu).
  bool RunCommandLine(std::span<const uint8_t> code);
  bool commandRunning() const { return command_running_; }
  // Names the current script and reads it into the image.
  int LoadScriptByName(std::string_view name);

  uint16_t nestingDepth() const { return depth_; }
  uint16_t callDepth() const { return call_depth_; }
  VmMemory& memory() { return memory_; }
  MenuItemTable& menus() { return menus_; }
  TextOutput& text() { return text_; }
  ExpressionEvaluator& evaluator() { return evaluator_; }

  // What the commands and system calls work on.
  VariableArea& variables() { return variables_; }
  SharedState& shared() { return shared_; }
  ScriptHost& host() { return host_; }
  VramPlaneSet& planes() { return planes_; }
  GraphicsEngine& graphics() { return graphics_; }
  ArchiveSet* archives() { return devices_.archives; }
  SoundManager* sound() { return devices_.sound; }
  TickThread* ticks() { return devices_.ticks; }
  AnimationTable* animations() { return devices_.animations; }
  DungeonView* dungeon() { return devices_.dungeon; }
  ItemWindowHost* itemWindow() { return devices_.itemWindow; }

  // Runs system call n with the given values as its parameters, as the player's commands
  // do (the save and load requests, the strip).
  void RunSystemCall(uint32_t n, std::initializer_list<uint32_t> values);

  // The switches between the player's commands and the scripts.
  PlayerRequests requests;

  // The thirteen pictures of EFFECT 9, where they were loaded (shown by EFFECT 10).
  std::array<std::span<const uint8_t>, 13> thirteenPictures{};

  // Stops every level once this many bytes have been fetched (fuzzing, tests).
  void SetFetchBudget(uint64_t bytes) { budget_ = bytes; }
  uint64_t fetchBudget() const { return budget_; }

 private:
  struct CallFrame {
    VmAddress image_address = 0;
    uint32_t pc = 0;
    std::string name;
  };
  struct Procedure {
    uint32_t pc = 0;
    VmAddress image_address = 0;
  };

  void Dispatch(uint8_t op);
  // Commands.
  void StoreFlags(uint32_t n);
  void StoreRegisters16(uint8_t r);
  void StoreRegisters32(uint8_t r);
  void StoreBytes();
  void StoreDim16();
  void StoreDim32();
  void If();
  void LoadScript();
  void CallScript();
  void MenuItem();
  void CallProc(uint32_t n);
  void DefineProc();
  void MenuRun();
  void WaitWhileInput(int input);
  void WaitWhileHeld(int input, uint32_t ticks);
  void Effect();
  void Syscall();

  VariableArea& variables_;
  SharedState& shared_;
  ScriptHost& host_;
  VramPlaneSet& planes_;
  GraphicsEngine& graphics_;
  ScriptDevices devices_;
  VmMemory memory_;
  std::array<uint8_t, kScratchBlockSize> scratch_{};
  std::array<uint8_t, kCommandAreaSize> command_area_{};
  bool command_running_ = false;
  MenuItemTable menus_;
  ParamList params_;
  std::array<CallFrame, kCallStackSize> call_stack_{};
  uint16_t call_depth_ = 0;
  std::array<Procedure, kProcedureCount> procedures_{};
  ExpressionEvaluator evaluator_;
  TextOutput text_;

  VmAddress image_address_ = kScriptImageAddress;
  std::span<const uint8_t> code_;  // the area from the image address on
  VmAddress script_end_ = 0;       // after the bytes of the loaded script; 0 before one is loaded
  uint32_t pc_ = 0;
  uint16_t depth_ = 0;
  uint64_t budget_ = UINT64_MAX;
};

}  // namespace tvx
