#include "tests/support/headless_fixture.h"

#include <unistd.h>

#include <fstream>
#include <memory>
#include <string>

#include "platform/file.h"
#include "platform/platform.h"
#include "resources/gbk.h"

namespace tvx::testing {

void HeadlessTest::SetUp() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "-" + info->name();
  for (char& c : name)
    if (c == '/') c = '_';
  // The process id keeps two runs of the same test (two build trees, two checkouts) apart.
  dir_ = std::filesystem::temp_directory_path() /
         ("talvex-test-" + std::to_string(::getpid()) + "-" + name);
  std::filesystem::remove_all(dir_);
  std::filesystem::create_directories(dir_);
  previous_dir_ = std::filesystem::current_path();
  std::filesystem::current_path(dir_);
  platform::SetProgramPathOverride((dir_ / "talvex").string());
}

void HeadlessTest::TearDown() {
  platform::Uninstall();
  platform::ReleaseSingleInstanceForTesting();
  platform::SetProgramPathOverride({});
  std::filesystem::current_path(previous_dir_);
  std::filesystem::remove_all(dir_);
}

platform::HeadlessBackend& HeadlessTest::StartPlatform(std::string_view events) {
  const auto parsed = platform::ParseEventScript(events);
  EXPECT_TRUE(parsed.ok()) << parsed.error;
  auto backend = std::make_unique<platform::HeadlessBackend>(parsed.events);
  backend_ = backend.get();
  platform::Install(std::move(backend));
  return *backend_;
}

void HeadlessTest::WriteSettings(std::string_view text) {
  std::ofstream out(SettingsPath(), std::ios::binary);
  out << text;
}

std::string Gbk(std::string_view utf8) {
  return gbk::FromUtf8(utf8);
}

}  // namespace tvx::testing
