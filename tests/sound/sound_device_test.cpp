// The software device: buffers, cursors, lock/unlock, volume and pan, and the mix.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/sound_device.h"

namespace tvx::platform {
namespace {

std::vector<int16_t> Render(SoundDevice& device, size_t frames) {
  std::vector<int16_t> out(frames * 2);
  device.Render(out);
  return out;
}

void Fill(SoundDevice& device, SoundDevice::BufferId id, uint32_t offset,
          std::span<const int16_t> samples) {
  const auto region = device.Lock(id, offset, static_cast<uint32_t>(samples.size() * 2));
  ASSERT_TRUE(region);
  size_t i = 0;
  for (auto part : {region->first, region->second})
    for (size_t b = 0; b + 1 < part.size(); b += 2, ++i) {
      part[b] = static_cast<uint8_t>(samples[i]);
      part[b + 1] = static_cast<uint8_t>(static_cast<uint16_t>(samples[i]) >> 8);
    }
  ASSERT_TRUE(device.Unlock(id));
}

TEST(SoundDevice, VolumesAreDecibelsCappedAtUnity) {
  EXPECT_EQ(SoundDevice::GainQ16(0), 65536);
  EXPECT_EQ(SoundDevice::GainQ16(6000), 65536);
  EXPECT_EQ(SoundDevice::GainQ16(-10000), 0);
  EXPECT_EQ(SoundDevice::GainQ16(-2000), 6554);  // -20 dB: a tenth
  EXPECT_NEAR(SoundDevice::GainQ16(-600) / 65536.0, std::pow(10.0, -0.3), 1e-4);
}

TEST(SoundDevice, MixesLoopingBuffersAtTheirVolumeAndPan) {
  SoundDevice device;
  const auto a = device.CreateBuffer({1, 22050, 16}, 8);  // four frames
  const auto b = device.CreateBuffer({2, 22050, 16}, 8);  // two stereo frames
  ASSERT_NE(a, SoundDevice::kNoBuffer);
  ASSERT_NE(b, SoundDevice::kNoBuffer);
  Fill(device, a, 0, std::vector<int16_t>{1000, 2000, 3000, 4000});
  Fill(device, b, 0, std::vector<int16_t>{100, -100, 200, -200});
  // Stopped buffers are not heard.
  EXPECT_EQ(Render(device, 2), std::vector<int16_t>(4, 0));
  ASSERT_TRUE(device.Play(a, true));
  ASSERT_TRUE(device.Play(b, true));
  EXPECT_EQ(device.Status(a), SoundDevice::kPlaying | SoundDevice::kLooping);
  EXPECT_EQ(Render(device, 5),
            (std::vector<int16_t>{1100, 900, 2200, 1800, 3100, 2900, 4200, 3800, 1100, 900}));
  EXPECT_EQ(device.PlayCursor(a), 2u);  // frame 1 of 4
  EXPECT_EQ(device.PlayCursor(b), 4u);  // frame 1 of 2
  // -20 dB and a pan of -20 dB to the left side: the right side is quieter still.
  device.Stop(b);
  device.SetVolume(a, -2000);
  device.SetPan(a, -2000);
  const auto out = Render(device, 1);
  EXPECT_EQ(out[0], 2000 * 6554 >> 16);
  EXPECT_EQ(out[1], (2000 * (6554 * 6554 >> 16)) >> 16);
  // A volume above 0 is unity.
  device.SetVolume(a, 3000);
  device.SetPan(a, 0);
  EXPECT_EQ(Render(device, 1)[0], 3000);
}

TEST(SoundDevice, BuffersPlayedOnceStopAtTheirEndAndTheMixClips) {
  SoundDevice device;
  const auto a = device.CreateBuffer({1, 22050, 16}, 4);
  const auto b = device.CreateBuffer({1, 22050, 16}, 4);
  Fill(device, a, 0, std::vector<int16_t>{30000, -30000});
  Fill(device, b, 0, std::vector<int16_t>{30000, -30000});
  device.Play(a, false);
  device.Play(b, true);
  EXPECT_EQ(Render(device, 3), (std::vector<int16_t>{32767, 32767, -32768, -32768, 30000, 30000}));
  EXPECT_EQ(device.Status(a), 0u);
  EXPECT_EQ(device.Status(b) & SoundDevice::kPlaying, SoundDevice::kPlaying);
}

TEST(SoundDevice, LockedRegionsWrapAndReachTheBufferOnlyAtUnlock) {
  SoundDevice device;
  const auto a = device.CreateBuffer({1, 22050, 16}, 8);
  auto region = device.Lock(a, 6, 6);  // the last frame, then the first two
  ASSERT_TRUE(region);
  EXPECT_EQ(region->first.size(), 2u);
  EXPECT_EQ(region->second.size(), 4u);
  EXPECT_FALSE(device.Lock(a, 0, 2));  // one region at a time
  region->first[0] = 4;
  region->second[0] = 1;
  region->second[2] = 2;
  device.Play(a, true);
  EXPECT_EQ(Render(device, 1)[0], 0);  // not written yet
  device.Unlock(a);
  device.SetPlayCursor(a, 0);
  EXPECT_EQ(Render(device, 4), (std::vector<int16_t>{1, 1, 2, 2, 0, 0, 4, 4}));
  // Out-of-range requests and unknown buffers are refused.
  EXPECT_FALSE(device.Lock(a, 8, 2));
  EXPECT_FALSE(device.Lock(a, 0, 10));
  EXPECT_FALSE(device.Unlock(a));
  EXPECT_FALSE(device.Play(7, true));
  EXPECT_EQ(device.Status(-1), 0u);
  EXPECT_FALSE(device.PlayCursor(SoundDevice::kMaxBuffers));
  EXPECT_EQ(device.CreateBuffer({1, 44100, 16}, 8), SoundDevice::kNoBuffer);  // not its rate
  EXPECT_EQ(device.CreateBuffer({1, 22050, 16}, 7), SoundDevice::kNoBuffer);  // half a frame
  device.ReleaseBuffer(a);
  EXPECT_FALSE(device.Volume(a));
}

TEST(SoundDevice, EightBitBuffersAreUnsignedAroundTheMiddle) {
  SoundDevice device;
  const auto a = device.CreateBuffer({1, 22050, 8}, 2);
  device.Play(a, true);
  EXPECT_EQ(Render(device, 1)[0], 0);  // a new buffer is silent
  auto region = device.Lock(a, 0, 2);
  region->first[0] = 0xFF;
  region->first[1] = 0x00;
  device.Unlock(a);
  device.SetPlayCursor(a, 0);
  EXPECT_EQ(Render(device, 2), (std::vector<int16_t>{127 << 8, 127 << 8, -128 << 8, -128 << 8}));
}

}  // namespace
}  // namespace tvx::platform
