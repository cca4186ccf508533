// SYSCALL: the call number, one parameter list, then the call. Calls that belong to other
// subsystems (pictures, sound, text drawing, animations, the item window) arrive with them;
// until then they read their parameters and do nothing.
#include <algorithm>
#include <array>
#include <string_view>

#include "app/game_system.h"
#include "app/pump.h"
#include "platform/platform.h"
#include "platform/trace.h"
#include "script/expression_evaluator.h"
#include "script/picture_calls.h"
#include "script/save_slot_file.h"
#include "script/screen_calls.h"
#include "script/script_interpreter.h"
#include "script/sound_calls.h"
#include "script/text_calls.h"
#include "script/variable_area.h"

namespace tvx {
namespace {

constexpr uint32_t kSaveSlotForEffects = 8;
constexpr size_t kFlagsBegin = VariableArea::kFlagsOffset;
constexpr size_t kFlagsEnd = kFlagsBegin + VariableArea::kFlagCount;
// Blocks that save files exchange on their own.
constexpr size_t kPointerBlockBegin = 2432, kPointerBlockEnd = 2632;
constexpr size_t kEffectBlockBegin = 3132, kEffectBlockEnd = 3232;
constexpr size_t kSharedFlag = 981;

struct SystemCall {
  std::string_view name;
  void (*run)(ScriptInterpreter&, GameSystem&, const ParamList&);
};

void Nothing(ScriptInterpreter&, GameSystem&, const ParamList&) {}

// The file to merge into: the slot as saved, or (when there is none yet) the current
// variables, so that a first merge creates a whole save file.
bool ReadForUpdate(const SaveSlotFile& slots, uint32_t slot, VariableArea& variables,
                   SaveSlotFile::Bytes& file) {
  if (!slots.Exists(slot)) {
    std::copy_n(variables.bytes().begin(), SaveSlotFile::kSize, file.begin());
    return true;
  }
  return slots.Read(slot, file);
}

void SaveAndLoad(ScriptInterpreter& interpreter, GameSystem& system, const ParamList& p) {
  if (!system.archives()) return;
  VariableArea& variables = system.variables();
  const SaveSlotFile slots(*system.archives());
  const uint32_t slot = p.Value(1);
  const auto vars = variables.bytes();
  SaveSlotFile::Bytes file{};
  switch (p.Value(0)) {
    case 0:  // load game: the saved script starts again from its first byte
      // A save that cannot be read changes nothing: the game goes on where it is.
      if (!slots.Read(slot, file)) return;
      std::copy(file.begin(), file.end(), vars.begin());
      variables.RedoSystemLinks(system.moveSpeed);
      interpreter.LoadScriptByName(variables.ScriptName());
      variables.SetSystemFlag(kFlagRestart, true);
      break;
    case 1:  // save game
      std::copy_n(vars.begin(), file.size(), file.begin());
      slots.Write(slot, file);
      break;
    case 2: {  // load the variables only, keeping the running script
      if (!slots.Read(slot, file)) return;
      std::array<uint8_t, VariableArea::kScriptNameSize> name{};
      std::copy_n(vars.begin(), name.size(), name.begin());
      std::copy(file.begin(), file.end(), vars.begin());
      std::copy(name.begin(), name.end(), vars.begin());
      variables.RedoSystemLinks(system.moveSpeed);
      break;
    }
    case 3:  // merge the current flags into the file's
      if (!ReadForUpdate(slots, slot, variables, file)) return;
      for (size_t i = kFlagsBegin; i < kFlagsEnd; ++i) file[i] |= vars[i];
      slots.Write(slot, file);
      break;
    case 4:
      if (!slots.Read(slot, file)) return;
      std::copy(file.begin() + kPointerBlockBegin, file.begin() + kPointerBlockEnd,
                vars.begin() + kPointerBlockBegin);
      break;
    case 5:
      if (!ReadForUpdate(slots, slot, variables, file)) return;
      std::copy(vars.begin() + kPointerBlockBegin, vars.begin() + kPointerBlockEnd,
                file.begin() + kPointerBlockBegin);
      slots.Write(slot, file);
      break;
    case 6:
      std::fill(vars.begin() + kFlagsBegin, vars.begin() + kFlagsEnd, 0);
      break;
    default:
      break;
  }
}

void ReadDataFile(ScriptInterpreter&, GameSystem& system, const ParamList& p) {
  if (!system.archives()) return;
  std::string name = p.Text(0);
  system.ShowFileName(3, name);
  const auto image = system.variables().image();
  system.archives()->LoadData(name, image.subspan(std::min<size_t>(p.Value(1), image.size())));
}

void RunCodeAt(ScriptInterpreter& interpreter, GameSystem&, const ParamList& p) {
  interpreter.RunNested(p.Value(0), 0);
}

void HitTest(ScriptInterpreter& interpreter, GameSystem& system, const ParamList& p) {
  VariableArea& variables = system.variables();
  const uint32_t x = p.Value(0), y = p.Value(1);
  uint16_t result = 0xFFFF;
  if (x < 640 && y < 480) {
    const VmMemory& memory = interpreter.memory();
    VmAddress record = kScriptImageAddress + variables.Pointer(6);
    // The table ends at identifier 0xFFFF, or where the image ends.
    for (;;) {
      const auto bytes = memory.Resolve(record, 10);
      if (bytes.empty()) break;
      const uint16_t id = memory.Read16(record);
      if (id == 0xFFFF) break;
      const uint16_t left = memory.Read16(record + 2), top = memory.Read16(record + 4);
      const uint16_t right = memory.Read16(record + 6), bottom = memory.Read16(record + 8);
      if (left <= x && x <= right && top <= y && y <= bottom) {
        result = id;
        break;
      }
      record += 10;
    }
  }
  variables.SetRegister16(VariableArea::kRegisterS, result);
}

void FindItem(ScriptInterpreter& interpreter, GameSystem& system, const ParamList& p) {
  system.variables().SetWord(kWordFoundItem, interpreter.menus().ItemInSlot(p.Value(0)));
}

void LocalTime(ScriptInterpreter&, GameSystem& system, const ParamList&) {
  const platform::LocalTime t = platform::Now();
  const int fields[] = {t.year, t.month, t.weekday, t.day, t.hour, t.minute, t.second};
  for (int r = 0; r < 7; ++r) system.variables().SetRegister16(r, static_cast<uint16_t>(fields[r]));
}

// Waits for the player: without parameters until decide is pressed and released again (Ctrl
// skips, as it skips voices); with one, p0 / 4 ticks unless Shift is down.
void WaitForPlayer(ScriptInterpreter&, GameSystem& system, const ParamList& p) {
  MainWindow& window = system.mainWindow();
  SoundManager* sound = system.sound();
  auto stop_voice = [&] {
    if (sound) sound->StopChannel(1);
  };
  if (p.count == 0) {
    if (window.QueryInput(MainWindow::kControl)) return stop_voice();
    while (!window.QueryInput(MainWindow::kDecide)) {
      if (window.QueryInput(MainWindow::kControl)) return stop_voice();
      if (!PumpOnceWaiting()) return;
    }
    stop_voice();
    while (window.QueryInput(MainWindow::kDecide) && !window.QueryInput(MainWindow::kControl))
      if (!PumpOnceWaiting()) return;
    return;
  }
  if (window.QueryInput(MainWindow::kShift) || !system.ticks()) return;
  TickThread& clock = *system.ticks();
  clock.ResetTicks();
  const uint32_t ticks = p.Value(0) / 4;
  while (clock.GetTicks() < ticks && !window.QueryInput(MainWindow::kShift))
    if (!PumpOnceWaiting()) return;
}

void CompareInput(ScriptInterpreter&, GameSystem& system, const ParamList& p) {
  const int state = system.mainWindow().QueryInput(static_cast<int>(p.Value(0)));
  system.variables().SetRegister32(VariableArea::kRegisterS,
                                   static_cast<uint32_t>(state) == p.Value(1) ? 1 : 0);
}

void Measure(ScriptInterpreter& interpreter, GameSystem& system, const ParamList& p) {
  VariableArea& variables = system.variables();
  variables.SetSystemFlag(kFlagMeasure, true);
  variables.SetRegister32(VariableArea::kRegisterS, 0);
  interpreter.RunNested(p.Value(0), 0);
  variables.SetSystemFlag(kFlagMeasure, false);
}

constexpr std::array<SystemCall, 28> kSystemCalls = {{
    {"font", FontCall},           {"number", NumberCall},        {"mouse", Nothing},
    {"animation", Nothing},       {"save", SaveAndLoad},      {"music", MusicAndEffectsCall},
    {"voice", VoiceCall},         {"data", ReadDataFile},     {"picture", PictureCall},
    {"screen update", ScreenUpdateCall}, {"blit", BlitCall},        {"wait", WaitForPlayer},
    {"text colours", TextColoursCall}, {"run code", RunCodeAt},    {"hit test", HitTest},
    {"find item", FindItem},      {"local time", LocalTime},  {"nothing", Nothing},
    {"compare input", CompareInput}, {"nothing", Nothing},    {"dungeon", Nothing},
    {"nothing", Nothing},         {"item window", Nothing},   {"overlay", Nothing},
    {"measure", Measure},         {"save request", Nothing},  {"load request", Nothing},
    {"bottom strip", Nothing},
}};

}  // namespace

void ScriptInterpreter::Syscall() {
  const uint32_t n = system_.evaluator()->Evaluate();
  ReadParamList();
  if (n >= kSystemCalls.size()) return;
  // The call may run nested levels that read parameter lists of their own.
  const ParamList params = params_;
  kSystemCalls[n].run(*this, system_, params);
}

void ScriptInterpreter::Effect() {
  ReadParamList();
  if (PictureEffect(system_, params_)) return;
  if (!system_.archives()) return;
  const SaveSlotFile slots(*system_.archives());
  const auto vars = variables_.bytes();
  SaveSlotFile::Bytes file{};
  switch (params_.Value(0)) {
    case 3:
      if (slots.Read(kSaveSlotForEffects, file))
        std::copy(file.begin() + kEffectBlockBegin, file.begin() + kEffectBlockEnd,
                  vars.begin() + kEffectBlockBegin);
      break;
    case 4:
      if (!ReadForUpdate(slots, kSaveSlotForEffects, variables_, file)) break;
      std::copy(vars.begin() + kEffectBlockBegin, vars.begin() + kEffectBlockEnd,
                file.begin() + kEffectBlockBegin);
      slots.Write(kSaveSlotForEffects, file);
      break;
    case 11:
      system_.interfaceSounds = 1;
      break;
    case 12:
      system_.interfaceSounds = 0;
      break;
    case 14:
      if (slots.Read(kSaveSlotForEffects, file))
        variables_.SetFlag(kSharedFlag, file[kFlagsBegin + kSharedFlag]);
      break;
    default:
      break;  // the picture and screen effects arrive with pictures and fades
  }
}

}  // namespace tvx
