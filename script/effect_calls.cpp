// EFFECT: one parameter list whose first value picks the effect. Picture and screen effects
// live with the picture and screen calls; the ones here exchange blocks of the variables
// with save slot 8 and switch the interface sounds.
#include <algorithm>
#include <array>
#include <string_view>

#include "archive/archive_set.h"
#include "script/cursor_calls.h"
#include "script/picture_calls.h"
#include "script/save_slot_file.h"
#include "script/screen_calls.h"
#include "script/script_interpreter.h"
#include "script/shared_state.h"
#include "script/variable_area.h"

namespace tvx {
namespace {

constexpr uint32_t kSaveSlotForEffects = 8;
// The block of the variables that EFFECT 3 and 4 exchange with the slot.
constexpr size_t kEffectBlockBegin = 3132, kEffectBlockEnd = 3232;
// The flag that EFFECT 14 takes from the slot: one flag shared by every saved game.
constexpr size_t kSharedFlag = 981;

struct Effect {
  std::string_view name;
  void (*run)(ScriptInterpreter&, const ParamList&);
};

void ReadEffectBlock(ScriptInterpreter& interpreter, const ParamList&) {
  if (!interpreter.archives()) return;
  const SaveSlotFile slots(*interpreter.archives());
  SaveSlotFile::Bytes file{};
  if (!slots.Read(kSaveSlotForEffects, file)) return;
  std::copy(file.begin() + kEffectBlockBegin, file.begin() + kEffectBlockEnd,
            interpreter.variables().bytes().begin() + kEffectBlockBegin);
}

void WriteEffectBlock(ScriptInterpreter& interpreter, const ParamList&) {
  if (!interpreter.archives()) return;
  const SaveSlotFile slots(*interpreter.archives());
  const auto vars = interpreter.variables().bytes();
  SaveSlotFile::Bytes file{};
  if (!slots.ReadForUpdate(kSaveSlotForEffects, vars, file)) return;
  std::copy(vars.begin() + kEffectBlockBegin, vars.begin() + kEffectBlockEnd,
            file.begin() + kEffectBlockBegin);
  slots.Write(kSaveSlotForEffects, file);
}

void InterfaceSoundsOn(ScriptInterpreter& interpreter, const ParamList&) {
  interpreter.shared().interfaceSounds = 1;
}

void InterfaceSoundsOff(ScriptInterpreter& interpreter, const ParamList&) {
  interpreter.shared().interfaceSounds = 0;
}

void ReadSharedFlag(ScriptInterpreter& interpreter, const ParamList&) {
  if (!interpreter.archives()) return;
  const SaveSlotFile slots(*interpreter.archives());
  SaveSlotFile::Bytes file{};
  if (slots.Read(kSaveSlotForEffects, file))
    interpreter.variables().SetFlag(kSharedFlag, file[VariableArea::kFlagsOffset + kSharedFlag]);
}

constexpr std::array<Effect, 15> kEffects = {{
    {"plane origin", PlaneOriginEffect},
    {"darken", DarkenOrWashEffect},
    {"cursor", CursorImageEffect},
    {"read block", ReadEffectBlock},
    {"write block", WriteEffectBlock},
    {"wash", DarkenOrWashEffect},
    {"scroll", ScrollEffect},
    {"wait", WaitEffect},
    {"cross-fade memory", CrossFadeMemoryEffect},
    {"load thirteen pictures", LoadThirteenPicturesEffect},
    {"show thirteen pictures", ShowThirteenPicturesEffect},
    {"interface sounds on", InterfaceSoundsOn},
    {"interface sounds off", InterfaceSoundsOff},
    {"scrolling panel", ScrollingPanelEffect},
    {"shared flag", ReadSharedFlag},
}};

}  // namespace

void ScriptInterpreter::Effect() {
  ReadParamList();
  const uint32_t n = params_.Value(0);
  if (n >= kEffects.size()) return;
  // The effect may pump, and a nested level may read parameter lists of its own.
  const ParamList params = params_;
  kEffects[n].run(*this, params);
}

}  // namespace tvx
