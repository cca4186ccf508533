// An ArchiveSet in a temporary game folder: settings beside the (pretend) program, loose
// files and archives in the current directory, boxes recorded by the headless backend.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "archive/archive_set.h"
#include "resources/gbk.h"
#include "script/variable_area.h"
#include "tests/archive/archive_builder.h"
#include "tests/support/headless_fixture.h"

namespace tvx::testing {

class ArchiveTest : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    StartPlatform();
    variables_ = std::make_unique<VariableArea>();
  }
  void TearDown() override {
    archives_.reset();
    HeadlessTest::TearDown();
  }
  ArchiveSet& Open() {
    archives_ = std::make_unique<ArchiveSet>();
    EXPECT_EQ(archives_->OpenAll(ArchiveOptions::Read(SettingsFile())), 1);
    return *archives_;
  }
  void File(const std::string& name, const std::vector<uint8_t>& data) {
    WriteBytes(dir() / name, data);
  }
  // The boxes shown so far, as "caption / text" in UTF-8.
  std::vector<std::string> Boxes() const {
    std::vector<std::string> out;
    for (const auto& box : const_cast<ArchiveTest*>(this)->backend().boxes())
      out.push_back(gbk::ToUtf8(box.caption) + " / " + gbk::ToUtf8(box.text));
    return out;
  }
  std::vector<uint8_t> Read(std::span<const uint8_t> data, size_t n) {
    return {data.begin(), data.begin() + static_cast<ptrdiff_t>(n)};
  }

  std::unique_ptr<VariableArea> variables_;
  std::unique_ptr<ArchiveSet> archives_;
};

}  // namespace tvx::testing
