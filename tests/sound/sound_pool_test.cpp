// The SoundPool's budget arithmetic and the reuse of given-back space.
#include <gtest/gtest.h>

#include "sound/sound_pool.h"

namespace tvx {
namespace {

TEST(SoundPool, RequestsTakeTheirSizePlus64KRoundedDownInCreationOrder) {
  SoundPool pool;
  EXPECT_EQ(pool.budget(), 0u);
  EXPECT_TRUE(pool.Take(16).empty());  // nothing before the reserve
  ASSERT_TRUE(pool.Reserve());
  EXPECT_EQ(pool.budget(), 0x300000u);
  // The engine's streams: three 512 KB staging buffers and the voice's two small buffers.
  const auto music = pool.Take(0x80000);
  const auto effect1 = pool.Take(0x80000);
  const auto effect2 = pool.Take(0x80000);
  const auto source = pool.Take(512);
  const auto pcm = pool.Take(2034);
  ASSERT_EQ(music.size(), 0x80000u);
  ASSERT_EQ(pcm.size(), 2034u);
  EXPECT_EQ(pool.OffsetOf(music), 0u);
  EXPECT_EQ(pool.OffsetOf(effect1), 0x90000u);
  EXPECT_EQ(pool.OffsetOf(effect2), 0x120000u);
  EXPECT_EQ(pool.OffsetOf(source), 0x1B0000u);
  EXPECT_EQ(pool.OffsetOf(pcm), 0x1C0000u);
  EXPECT_EQ(pool.budget(), 0x300000u - 0x1D0000u);
  EXPECT_TRUE(pool.Take(0).empty());
  EXPECT_TRUE(pool.Take(pool.budget() + 1).empty());
}

TEST(SoundPool, GivenBackSpaceCanBeTakenAgain) {
  SoundPool pool;
  ASSERT_TRUE(pool.Reserve());
  std::vector<std::span<uint8_t>> pieces;
  for (int i = 0; i < 5; ++i) pieces.push_back(pool.Take(0x80000));
  EXPECT_TRUE(pool.Take(0x80000).empty());  // 5 × 0x90000 taken, 0x30000 left
  // Releasing and creating again, over and over, never runs the pool dry.
  for (int round = 0; round < 50; ++round) {
    pool.GiveBack(pieces[1]);
    pieces[1] = pool.Take(0x80000);
    ASSERT_FALSE(pieces[1].empty()) << round;
  }
  // A freed hole is reused where it lies, and neighbouring holes join.
  pool.GiveBack(pieces[2]);
  pool.GiveBack(pieces[3]);
  const auto big = pool.Take(0x100000);
  ASSERT_FALSE(big.empty());
  EXPECT_EQ(pool.OffsetOf(big), 2 * 0x90000u);
  // Pieces that did not come from the pool, and second returns, change nothing.
  const uint32_t before = pool.budget();
  uint8_t outside[16];
  pool.GiveBack(outside);
  pool.GiveBack(pieces[0]);
  pool.GiveBack(pieces[0]);
  EXPECT_EQ(pool.budget(), before + 0x90000u);
  // Handed-out memory starts zeroed.
  auto piece = pool.Take(100);
  piece[5] = 9;
  pool.GiveBack(piece);
  EXPECT_EQ(pool.Take(100)[5], 0);
  pool.ReleaseAll();
  EXPECT_EQ(pool.budget(), 0u);
}

}  // namespace
}  // namespace tvx
