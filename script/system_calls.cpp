// SYSCALL: the call number, one parameter list, then the call.
#include <algorithm>
#include <array>
#include <string_view>

#include "archive/archive_set.h"
#include "platform/platform.h"
#include "platform/tick_thread.h"
#include "platform/trace.h"
#include "script/animation_calls.h"
#include "script/animation_table.h"
#include "script/cursor_calls.h"
#include "script/dungeon_calls.h"
#include "script/item_window_calls.h"
#include "script/picture_calls.h"
#include "script/player_input.h"
#include "script/request_calls.h"
#include "script/save_slot_file.h"
#include "script/screen_calls.h"
#include "script/script_host.h"
#include "script/script_interpreter.h"
#include "script/shared_state.h"
#include "script/sound_calls.h"
#include "script/text_calls.h"
#include "script/variable_area.h"
#include "sound/sound_manager.h"

namespace tvx {
namespace {

constexpr size_t kFlagsBegin = VariableArea::kFlagsOffset;
constexpr size_t kFlagsEnd = kFlagsBegin + VariableArea::kFlagCount;
// The block of system pointers that save files exchange on their own.
constexpr size_t kPointerBlockBegin = 2432, kPointerBlockEnd = 2632;

struct SystemCall {
  std::string_view name;
  void (*run)(ScriptInterpreter&, const ParamList&);
};

// Numbers that no call uses.
void Nothing(ScriptInterpreter&, const ParamList&) {}

void SaveAndLoad(ScriptInterpreter& interpreter, const ParamList& p) {
  if (!interpreter.archives()) return;
  VariableArea& variables = interpreter.variables();
  const uint32_t move_speed = interpreter.shared().moveSpeed;
  const SaveSlotFile slots(*interpreter.archives());
  const uint32_t slot = p.Value(1);
  const auto vars = variables.bytes();
  SaveSlotFile::Bytes file{};
  switch (p.Value(0)) {
    case 0:  // load game: the saved script starts again from its first byte
      // A save that cannot be read changes nothing: the game goes on where it is.
      if (!slots.Read(slot, file)) return;
      std::copy(file.begin(), file.end(), vars.begin());
      variables.RedoSystemLinks(move_speed);
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
      variables.RedoSystemLinks(move_speed);
      break;
    }
    case 3:  // merge the current flags into the file's
      if (!slots.ReadForUpdate(slot, vars, file)) return;
      for (size_t i = kFlagsBegin; i < kFlagsEnd; ++i) file[i] |= vars[i];
      slots.Write(slot, file);
      break;
    case 4:
      if (!slots.Read(slot, file)) return;
      std::copy(file.begin() + kPointerBlockBegin, file.begin() + kPointerBlockEnd,
                vars.begin() + kPointerBlockBegin);
      break;
    case 5:
      if (!slots.ReadForUpdate(slot, vars, file)) return;
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

void ReadDataFile(ScriptInterpreter& interpreter, const ParamList& p) {
  if (!interpreter.archives()) return;
  VariableArea& variables = interpreter.variables();
  std::string name = p.Text(0);
  interpreter.host().ShowFileName(3, name);
  // Data files hold the animation programs: no slot steps while they are replaced.
  const AnimationTable::StepPause pause = interpreter.animations()
                                              ? interpreter.animations()->PauseSteps()
                                              : AnimationTable::StepPause(nullptr);
  const auto image = variables.image();
  interpreter.archives()->LoadData(name, image.subspan(std::min<size_t>(p.Value(1), image.size())),
                                   variables.FileLoadSpace());
}

void RunCodeAt(ScriptInterpreter& interpreter, const ParamList& p) {
  interpreter.RunNested(p.Value(0), 0);
}

void HitTest(ScriptInterpreter& interpreter, const ParamList& p) {
  VariableArea& variables = interpreter.variables();
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

void FindItem(ScriptInterpreter& interpreter, const ParamList& p) {
  interpreter.variables().SetWord(kWordFoundItem, interpreter.menus().ItemInSlot(p.Value(0)));
}

void LocalTime(ScriptInterpreter& interpreter, const ParamList&) {
  const platform::LocalTime t = platform::Now();
  const int fields[] = {t.year, t.month, t.weekday, t.day, t.hour, t.minute, t.second};
  for (int r = 0; r < 7; ++r)
    interpreter.variables().SetRegister16(r, static_cast<uint16_t>(fields[r]));
}

// Waits for the player: without parameters until decide is pressed and released again (Ctrl
// skips, as it skips voices); with one, p0 / 4 ticks unless Shift is down.
void WaitForPlayer(ScriptInterpreter& interpreter, const ParamList& p) {
  ScriptHost& host = interpreter.host();
  SoundManager* sound = interpreter.sound();
  auto stop_voice = [&] {
    if (sound) sound->StopChannel(1);
  };
  if (p.count == 0) {
    if (host.QueryInput(kControl)) return stop_voice();
    // A click that is over before the wait begins belongs to what came before.
    host.ForgetPresses();
    bool skipped = false;
    const bool pressed = WaitForInput(host, [&] {
      if (host.QueryInput(kDecide)) return true;
      skipped = host.QueryInput(kControl) != 0;
      return skipped;
    });
    if (!pressed) return;
    stop_voice();
    if (!skipped)
      WaitForInput(host, [&] { return !host.QueryInput(kDecide) || host.QueryInput(kControl); });
    // Nor does the click that ended it count again, as the left button, after it.
    host.ForgetPresses();
    return;
  }
  TickThread* clock = interpreter.ticks();
  if (host.QueryInput(kShift) || !clock) return;
  clock->ResetTicks();
  const uint32_t ticks = p.Value(0) / 4;
  WaitUntil(host, [&] { return clock->GetTicks() >= ticks || host.QueryInput(kShift); });
}

void CompareInput(ScriptInterpreter& interpreter, const ParamList& p) {
  const int state = interpreter.host().QueryInput(static_cast<int>(p.Value(0)));
  interpreter.variables().SetRegister32(VariableArea::kRegisterS,
                                        static_cast<uint32_t>(state) == p.Value(1) ? 1 : 0);
}

void Measure(ScriptInterpreter& interpreter, const ParamList& p) {
  VariableArea& variables = interpreter.variables();
  variables.SetSystemFlag(kFlagMeasure, true);
  variables.SetRegister32(VariableArea::kRegisterS, 0);
  interpreter.RunNested(p.Value(0), 0);
  variables.SetSystemFlag(kFlagMeasure, false);
}

constexpr std::array<SystemCall, 28> kSystemCalls = {{
    {"font", FontCall},
    {"number", NumberCall},
    {"mouse", MouseCall},
    {"animation", AnimationCall},
    {"save", SaveAndLoad},
    {"music", MusicAndEffectsCall},
    {"voice", VoiceCall},
    {"data", ReadDataFile},
    {"picture", PictureCall},
    {"screen update", ScreenUpdateCall},
    {"blit", BlitCall},
    {"wait", WaitForPlayer},
    {"text colours", TextColoursCall},
    {"run code", RunCodeAt},
    {"hit test", HitTest},
    {"find item", FindItem},
    {"local time", LocalTime},
    {"nothing", Nothing},
    {"compare input", CompareInput},
    {"nothing", Nothing},
    {"dungeon", DungeonCall},
    {"nothing", Nothing},
    {"item window", ItemWindowCall},
    {"overlay", OverlayCall},
    {"measure", Measure},
    {"save request", SaveRequestCall},
    {"load request", LoadRequestCall},
    {"bottom strip", BottomStripCall},
}};

}  // namespace

void ScriptInterpreter::Syscall() {
  const uint32_t n = evaluator_.Evaluate();
  ReadParamList();
  if (n >= kSystemCalls.size()) return;
  // The call may run nested levels that read parameter lists of their own.
  const ParamList params = params_;
  kSystemCalls[n].run(*this, params);
}

void ScriptInterpreter::RunSystemCall(uint32_t n, std::initializer_list<uint32_t> values) {
  if (n >= kSystemCalls.size()) return;
  ParamList params;
  for (const uint32_t value : values) {
    if (params.count == ParamList::kCapacity) break;
    params.records[params.count].kind = 2;
    params.records[params.count++].value = value;
  }
  kSystemCalls[n].run(*this, params);
}

}  // namespace tvx
