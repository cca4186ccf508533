#include "platform/tick_thread.h"

namespace tvx {

int TickThread::Start() {
  return task_.Start(kTickMs, [this] { Pass(); }) ? 1 : 0;
}

void TickThread::Pass() {
  if (paused()) return;
  ticks_.fetch_add(1, std::memory_order_acq_rel);
  if (tasks_) tasks_();
}

}  // namespace tvx
