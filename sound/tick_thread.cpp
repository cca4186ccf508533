#include "sound/tick_thread.h"

#include "app/game_system.h"

namespace tvx {

int TickThread::Start() { return task_.Start(kTickMs, [this] { Pass(); }) ? 1 : 0; }

void TickThread::Pass() {
  if (paused()) return;
  ticks_.fetch_add(1, std::memory_order_acq_rel);
  owner_.TickTasks();
}

}  // namespace tvx
