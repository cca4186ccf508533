// A headless platform for one test: a fresh temporary game folder that is also the current
// directory and the (pretend) program's folder, so the settings file, loose files and the
// single-instance lock are the test's own; and a headless backend fed with timed events.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/headless/headless_backend.h"

namespace tvx::testing {

class HeadlessTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Installs a headless backend with these events (the event-script text).
  platform::HeadlessBackend& StartPlatform(std::string_view events = {});
  platform::HeadlessBackend& backend() { return *backend_; }
  // Writes the settings file beside the (pretend) program file.
  void WriteSettings(std::string_view text);
  std::string SettingsPath() const { return (dir_ / "TVXCHS.INI").string(); }
  const std::filesystem::path& dir() const { return dir_; }

 private:
  std::filesystem::path dir_;
  std::filesystem::path previous_dir_;
  platform::HeadlessBackend* backend_ = nullptr;
};

// GBK text of a UTF-8 literal, for comparing with what the engine shows.
std::string Gbk(std::string_view utf8);

}  // namespace tvx::testing
