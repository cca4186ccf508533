// Helpers of the sound tests: wave files built chunk by chunk, recognisable sample patterns,
// and a headless platform with the sound module set up, whose mixed output can be read.
#pragma once

#include <cstdint>
#include <deque>
#include <fstream>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file.h"
#include "resources/byte_order.h"
#include "sound/sound_module.h"
#include "tests/support/headless_fixture.h"

namespace tvx::testing {

// A RIFF/WAVE file assembled from chunks; the RIFF size is right unless set otherwise.
class WavBuilder {
 public:
  WavBuilder& Chunk(std::string_view id, std::span<const uint8_t> payload,
                    std::optional<uint32_t> stated_size = std::nullopt) {
    body_.insert(body_.end(), id.begin(), id.end());
    bytes::AppendLe32(body_, stated_size.value_or(static_cast<uint32_t>(payload.size())));
    body_.insert(body_.end(), payload.begin(), payload.end());
    if (payload.size() % 2 && !stated_size) body_.push_back(0xEE);  // the pad byte
    return *this;
  }
  WavBuilder& Format(uint16_t tag = 1, uint16_t channels = 1, uint32_t rate = 22050,
                     uint16_t bits = 16) {
    std::vector<uint8_t> f;
    auto le16 = [&](uint16_t v) {
      f.push_back(static_cast<uint8_t>(v));
      f.push_back(static_cast<uint8_t>(v >> 8));
    };
    const uint16_t align = static_cast<uint16_t>(channels * bits / 8);
    le16(tag);
    le16(channels);
    bytes::AppendLe32(f, rate);
    bytes::AppendLe32(f, rate * align);
    le16(align);
    le16(bits);
    return Chunk("fmt ", f);
  }
  WavBuilder& Data(std::span<const int16_t> samples) {
    std::vector<uint8_t> d;
    for (const int16_t s : samples) {
      d.push_back(static_cast<uint8_t>(s));
      d.push_back(static_cast<uint8_t>(static_cast<uint16_t>(s) >> 8));
    }
    return Chunk("data", d);
  }
  WavBuilder& Smpl(uint32_t loop_count, uint32_t start, uint32_t end) {
    std::vector<uint8_t> s(36, 0);
    bytes::StoreLe32(s, 28, loop_count);
    for (const uint32_t v : {0u, 0u, start, end, 0u, 0u}) bytes::AppendLe32(s, v);
    return Chunk("smpl", s);
  }
  WavBuilder& Raw(std::span<const uint8_t> bytes) {
    body_.insert(body_.end(), bytes.begin(), bytes.end());
    return *this;
  }
  std::vector<uint8_t> Build(std::optional<uint32_t> riff_size = std::nullopt) const {
    std::vector<uint8_t> out = {'R', 'I', 'F', 'F'};
    bytes::AppendLe32(out, riff_size.value_or(static_cast<uint32_t>(body_.size() + 4)));
    out.insert(out.end(), {'W', 'A', 'V', 'E'});
    out.insert(out.end(), body_.begin(), body_.end());
    return out;
  }

 private:
  std::vector<uint8_t> body_;
};

// Samples that tell every position apart over a long stretch (never two equal neighbours).
inline std::vector<int16_t> Pattern(size_t frames, uint32_t seed = 1) {
  std::vector<int16_t> out(frames);
  for (size_t i = 0; i < frames; ++i)
    out[i] = static_cast<int16_t>(((i + seed) * 7919u) % 60001u - 30000);
  return out;
}

inline std::vector<uint8_t> PcmFile(std::span<const int16_t> samples) {
  return WavBuilder().Format().Data(samples).Build();
}

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// A headless platform with the sound module running; files written into the test's folder.
class SoundTest : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    StartPlatform();
    ASSERT_EQ(module_.Init(kPrimaryFormat), SoundModule::kOk);
  }
  void TearDown() override {
    BeforeShutdown();
    module_.Shutdown();
    files_.clear();
    HeadlessTest::TearDown();
  }
  // Streams go here, before the module they use.
  virtual void BeforeShutdown() {}

  // The file written into the test folder and opened, positioned at its start.
  platform::File* FileOf(const std::string& name, std::span<const uint8_t> bytes) {
    const std::string path = (dir() / name).string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    files_.emplace_back();
    if (!files_.back().Open(path, platform::File::Mode::Read)) return nullptr;
    return &files_.back();
  }
  void AdvanceMs(uint64_t ms) { backend().AdvanceMicros(ms * 1000); }
  // One side of the mixed output so far.
  std::vector<int16_t> Side(size_t side = 0) {
    const auto all = backend().RecordedSound();
    std::vector<int16_t> out(all.size() / 2);
    for (size_t i = 0; i < out.size(); ++i) out[i] = all[2 * i + side];
    return out;
  }

  SoundModule module_;
  std::deque<platform::File> files_;
};

}  // namespace tvx::testing
