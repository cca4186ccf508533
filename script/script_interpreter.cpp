#include "script/script_interpreter.h"

#include "app/pump.h"

namespace tvx {

int ScriptInterpreter::Run() {
  while (PumpOnceWaiting()) {
  }
  return 1;
}

}  // namespace tvx
