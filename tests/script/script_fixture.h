// Script-level tests: programs written in the assembler, run on a headless game system in a
// game folder of their own, then the variables, boxes and files are looked at.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "app/game_system.h"
#include "platform/platform.h"
#include "resources/gbk.h"
#include "script/variable_area.h"
#include "tests/support/headless_fixture.h"
#include "tools/mes/assembler.h"

namespace tvx::testing {

class ScriptTest : public HeadlessTest {
 protected:
  void TearDown() override {
    system_.reset();
    HeadlessTest::TearDown();
  }

  // Assembles `source` into the game folder as `name`; fails the test on assembler errors.
  void Script(const std::string& name, std::string_view source) {
    const auto result = mes::Assemble(source, name);
    ASSERT_TRUE(result.ok()) << (result.errors.empty() ? "" : result.errors.front());
    WriteBytes(name, result.code);
  }
  void WriteBytes(const std::string& name, std::span<const uint8_t> bytes) {
    FILE* file = std::fopen(name.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
  }

  // Runs the game from MAIN.MES to its end (or until `until_ms` of virtual time, when the
  // game is made to quit). The exit code of the run.
  int Run(std::string_view events = {}, uint32_t until_ms = 60000) {
    StartPlatform(events);
    system_ = std::make_unique<GameSystem>(GameSystem::Options{.windowed = true});
    platform::SetDeadline(
        until_ms,
        [](void* context) {
          auto* self = static_cast<ScriptTest*>(context);
          self->timed_out_ = true;
          self->system_->mainWindow().SetRunState(MainWindow::kQuit);
        },
        this);
    return system_->RunSystem();
  }

  VariableArea& vars() { return system_->variables(); }
  uint16_t R16(char name) { return vars().Register16(name - 'A'); }
  uint32_t R32(char name) { return vars().Register32(name - 'A'); }
  std::vector<std::string> Boxes() {
    std::vector<std::string> out;
    for (const auto& box : platform::ShownBoxes())
      out.push_back(gbk::ToUtf8(box.caption) + " / " + gbk::ToUtf8(box.text));
    return out;
  }

  std::unique_ptr<GameSystem> system_;
  bool timed_out_ = false;
};

}  // namespace tvx::testing
