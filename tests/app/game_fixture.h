// A game system started on the headless platform, for tests that drive it message by message.
#pragma once

#include <memory>

#include "app/game_system.h"
#include "app/pump.h"
#include "platform/input_sink.h"
#include "platform/platform.h"
#include "tests/support/headless_fixture.h"

namespace tvx::testing {

class GameTest : public HeadlessTest {
 protected:
  void TearDown() override {
    system_.reset();
    HeadlessTest::TearDown();
  }
  // Starts the platform with these events and runs start-up (windowed unless asked).
  bool Start(std::string_view events = {}, bool windowed = true) {
    StartPlatform(events);
    system_ = std::make_unique<GameSystem>(GameSystem::Options{.windowed = windowed});
    return system_->StartUp();
  }
  GameSystem& game() { return *system_; }
  MainWindow& window() { return system_->mainWindow(); }
  // Pumps until the queue is empty (and at most n times).
  void PumpAll(int n = 1000) {
    while (n-- > 0 && platform::QueuedMessageCount() > 0) PumpOnce();
  }
  std::unique_ptr<GameSystem> system_;
};

}  // namespace tvx::testing
