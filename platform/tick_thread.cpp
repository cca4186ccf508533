#include "platform/tick_thread.h"

#include "platform/platform_state.h"

namespace tvx {

int TickThread::Start() {
  return task_.Start(kTickMs, [this] { Pass(); }) ? 1 : 0;
}

void TickThread::Pass() {
  // Loops that wait for the clock, or for what its tasks change, look again right after the
  // next pass (paused or not: the program thread does not know).
  platform::detail::NoteClockPass(kTickMs);
  if (paused()) return;
  ticks_.fetch_add(1, std::memory_order_acq_rel);
  if (tasks_) tasks_();
}

void TickThread::Shutdown() {
  task_.Stop();
  platform::detail::NoteClockPass(0);
}

}  // namespace tvx
