// The transitions on their own planes: the dissolve's 64 frames, the cross-fade's weights,
// the channel fade's steps (also from the wrong side of its target), and the blends of the
// screen effects, with rectangles and planes that do not fit each other.
#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <numeric>
#include <vector>

#include "graphics/transitions.h"

namespace tvx::testing {
namespace {

struct TestPlane {
  TestPlane(uint16_t w, uint16_t h, uint16_t colour = 0)
      : memory(size_t{w} * h, colour), plane{memory, 0, 0, w, h} {}
  std::vector<uint16_t> memory;
  VramPlane plane;
};

uint32_t Red(uint16_t p) {
  return p >> 10 & 31;
}

TEST(Dissolve, SixtyFourFramesCopyEveryPixelOnceAndEndEqualToTheSource) {
  TestPlane source(640, 480), dest(640, 480, 0xFFFF);
  std::iota(source.memory.begin(), source.memory.end(), uint16_t{0});
  std::replace(source.memory.begin(), source.memory.end(), uint16_t{0xFFFF}, uint16_t{1});
  std::vector<int> copies(source.memory.size(), 0);
  std::vector<uint16_t> before = dest.memory;
  std::mutex lock;
  int frames = 0;
  transition::Dissolve(source.plane, {0, 0, 640, 480}, dest.plane, 0, 0, lock, [&] {
    ++frames;
    size_t changed = 0;
    for (size_t i = 0; i < before.size(); ++i)
      if (dest.memory[i] != before[i]) ++copies[i], ++changed;
    // Each frame copies one pixel of every 8 × 8 cell.
    EXPECT_EQ(changed, 640u * 480u / 64u) << "frame " << frames;
    before = dest.memory;
  });
  EXPECT_EQ(frames, 64);
  EXPECT_TRUE(std::all_of(copies.begin(), copies.end(), [](int n) { return n == 1; }));
  EXPECT_EQ(dest.memory, source.memory);
}

TEST(Dissolve, RectanglesAreClippedToBothPlanes) {
  TestPlane source(20, 10, 0x1234), dest(12, 6, 0);
  std::mutex lock;
  // Wider and taller than either plane, and placed near the destination's edge.
  transition::Dissolve(source.plane, {5, 3, 500, 500}, dest.plane, 4, 2, lock, {});
  for (uint32_t y = 0; y < 6; ++y)
    for (uint32_t x = 0; x < 12; ++x)
      EXPECT_EQ(dest.plane.At(x, y), (x >= 4 && y >= 2) ? 0x1234 : 0) << x << "," << y;
  // A start outside either plane draws nothing.
  TestPlane untouched(12, 6, 0);
  transition::Dissolve(source.plane, {25, 0, 4, 4}, untouched.plane, 0, 0, lock, {});
  transition::Dissolve(source.plane, {0, 0, 4, 4}, untouched.plane, 12, 0, lock, {});
  EXPECT_TRUE(std::all_of(untouched.memory.begin(), untouched.memory.end(),
                          [](uint16_t p) { return p == 0; }));
}

struct CrossFadeRun {
  std::vector<uint32_t> rising, falling;  // red channel of a white-over-black and its inverse
  std::vector<uint16_t> end;
};

CrossFadeRun RunCrossFade(int shift_after_frames) {
  TestPlane fresh(8, 4, 0x7FFF), old(8, 4, 0), dest(8, 4, 0x1111);
  fresh.plane.At(1, 0) = 0;
  old.plane.At(1, 0) = 0x7FFF;
  std::mutex lock;
  CrossFadeRun run;
  int asked = 0;
  transition::CrossFade(
      fresh.plane, {0, 0, 8, 4}, old.plane, 0, 0, dest.plane, 0, 0, lock,
      [&] { return asked++ >= shift_after_frames; },
      [&] {
        run.rising.push_back(Red(dest.plane.At(0, 0)));
        run.falling.push_back(Red(dest.plane.At(1, 0)));
      });
  run.end = dest.memory;
  return run;
}

TEST(CrossFade, WeightsFollowTheSquaresAndTheNewPictureEndsInPlace) {
  // t = 0, 1, 4, 9, 16, 25: white × t / 32 and white × (32 − t) / 32.
  const CrossFadeRun run = RunCrossFade(1000);
  EXPECT_EQ(run.rising, (std::vector<uint32_t>{0, 0, 3, 8, 15, 24}));
  EXPECT_EQ(run.falling, (std::vector<uint32_t>{31, 30, 27, 22, 15, 6}));
  std::vector<uint16_t> expected(32, 0x7FFF);
  expected[(4 - 0 - 1) * 8 + 1] = 0;  // (1, 0) in bottom-up memory
  EXPECT_EQ(run.end, expected);
}

TEST(CrossFade, ShiftShortensIt) {
  const CrossFadeRun held = RunCrossFade(0);
  EXPECT_TRUE(held.rising.empty());  // no blended frame, only the copy
  const CrossFadeRun late = RunCrossFade(2);
  EXPECT_EQ(late.rising, (std::vector<uint32_t>{0, 0}));
  EXPECT_EQ(held.end, late.end);
  EXPECT_EQ(held.end, RunCrossFade(1000).end);
}

TEST(CrossFade, ThreePlanesOfDifferentSizesAreEachClipped) {
  TestPlane fresh(10, 10, 0x7FFF), old(6, 6, 0), dest(4, 8, 0x1111);
  std::mutex lock;
  transition::CrossFade(fresh.plane, {2, 2, 100, 100}, old.plane, 3, 3, dest.plane, 1, 1, lock, {},
                        {});
  // The blended frames were clipped to 3 × 3 by the old plane; the final copy to 3 × 7.
  for (uint32_t y = 0; y < 8; ++y)
    for (uint32_t x = 0; x < 4; ++x)
      EXPECT_EQ(dest.plane.At(x, y), (x >= 1 && y >= 1) ? 0x7FFF : 0x1111) << x << "," << y;
}

// Steps a fade until it reports no change; the number of steps taken.
int FadeToEnd(const VramPlane& target, VramPlane& shown, bool darken, int limit = 100) {
  uint32_t threshold = 31;
  for (int step = 1; step <= limit; ++step) {
    if (!transition::ChannelFadeStep(target, shown, darken, threshold)) return step;
    if (threshold > 0) --threshold;
  }
  return -1;
}

TEST(ChannelFade, BrighteningFromBlackLightsEachChannelFromItsThreshold) {
  TestPlane target(4, 2, 0x7FFF), shown(4, 2, 0);
  target.plane.At(1, 0) = 0x4210;  // channel value 16 everywhere
  target.plane.At(2, 0) = 0x0010;  // blue 16 only
  uint32_t threshold = 31;
  for (uint32_t step = 1; step <= 31; ++step) {
    EXPECT_TRUE(transition::ChannelFadeStep(target.plane, shown.plane, false, threshold--));
    EXPECT_EQ(Red(shown.plane.At(0, 0)), step);
    const uint32_t sixteen = step < 16 ? 0 : step - 15;
    EXPECT_EQ(shown.plane.At(1, 0), sixteen << 10 | sixteen << 5 | sixteen) << "step " << step;
    EXPECT_EQ(shown.plane.At(2, 0), sixteen) << "step " << step;
  }
  EXPECT_EQ(shown.memory, target.memory);
  EXPECT_FALSE(transition::ChannelFadeStep(target.plane, shown.plane, false, threshold));
}

TEST(ChannelFade, EndsByStepCountsOfItsChannels) {
  TestPlane same(6, 4, 0x1234), copy(6, 4, 0x1234);
  EXPECT_EQ(FadeToEnd(same.plane, copy.plane, false), 1);
  EXPECT_EQ(copy.memory, same.memory);
  TestPlane white(6, 4, 0x7FFF), black(6, 4, 0);
  EXPECT_EQ(FadeToEnd(white.plane, black.plane, false), 32);
  TestPlane to_black(6, 4, 0), grey(6, 4, 0x14A5);  // brightest channel 5
  EXPECT_EQ(FadeToEnd(to_black.plane, grey.plane, true), 6);
  EXPECT_EQ(grey.memory, to_black.memory);
}

TEST(ChannelFade, StartingOnTheWrongSideStillEnds) {
  // Brightening a plane that is brighter than its target, darkening one that is darker,
  // and pixels whose unused top bit is set: each ends at its target.
  TestPlane dark(7, 3, 0x0421), bright(7, 3, 0x7FFF);
  EXPECT_EQ(FadeToEnd(dark.plane, bright.plane, false), 31);
  EXPECT_EQ(bright.memory, dark.memory);
  TestPlane light(7, 3, 0x7BDE), black(7, 3, 0);
  EXPECT_EQ(FadeToEnd(light.plane, black.plane, true), 31);
  EXPECT_EQ(black.memory, light.memory);
  TestPlane target(7, 3, 0x0010), flagged(7, 3, 0x8010);
  EXPECT_EQ(FadeToEnd(target.plane, flagged.plane, false), 1);
}

TEST(ChannelFade, PlanesOfDifferentSizesMeetOnlyWhereTheyOverlap) {
  TestPlane target(640, 480, 0x7FFF), small(320, 32, 0);
  EXPECT_EQ(FadeToEnd(target.plane, small.plane, false), 32);
  EXPECT_TRUE(std::all_of(small.memory.begin(), small.memory.end(),
                          [](uint16_t p) { return p == 0x7FFF; }));
  TestPlane small_target(5, 3, 0x001F), big(9, 7, 0);
  EXPECT_EQ(FadeToEnd(small_target.plane, big.plane, false), 32);
  for (uint32_t y = 0; y < 7; ++y)
    for (uint32_t x = 0; x < 9; ++x)
      EXPECT_EQ(big.plane.At(x, y), (x < 5 && y < 3) ? 0x001F : 0) << x << "," << y;
  VramPlane none{};
  EXPECT_FALSE(transition::ChannelFadeStep(none, big.plane, false, 31));
}

TEST(Blends, MixWeighsChannelsAndThePanelFadesInAndOut) {
  EXPECT_EQ(transition::Mix(0x7FFF, 0, 31, 31), 0x7FFF);
  EXPECT_EQ(transition::Mix(0x7FFF, 0, 0, 31), 0);
  EXPECT_EQ(transition::Mix(0x7C00, 0x001F, 10, 31), (10u << 10) | 21u);

  TestPlane panel(640, 480, 0x7C00), background(640, 480, 0), into(640, 480, 0x1111);
  transition::BlendPanel(panel.plane, background.plane, into.plane, {140, 160, 360, 160});
  auto red_at = [&](uint32_t row) { return Red(into.plane.At(300, 160 + row)); };
  EXPECT_EQ(red_at(0), 1u);
  EXPECT_EQ(red_at(29), 30u);
  EXPECT_EQ(red_at(30), 31u);
  EXPECT_EQ(red_at(127), 31u);
  EXPECT_EQ(red_at(128), 31u);
  EXPECT_EQ(red_at(158), 1u);
  EXPECT_EQ(red_at(159), 0u);
  EXPECT_EQ(into.plane.At(139, 200), 0x1111);  // outside the block
  EXPECT_EQ(into.plane.At(300, 320), 0x1111);
  // Equal pixels are copied as they are, top bit included.
  TestPlane same(8, 8, 0x8001), out(8, 8, 0);
  transition::BlendPanel(same.plane, same.plane, out.plane, {0, 0, 8, 8});
  EXPECT_EQ(out.plane.At(3, 0), 0x8001);
}

TEST(Blends, TheMemoryBlockLiesAtTheBottomLeftAndIsClippedToEveryPlane) {
  TestPlane a(640, 480, 0x7FFF), b(640, 480, 0), into(640, 480, 0x1111);
  transition::BlendMemoryBlock(a.plane, b.plane, into.plane, 10, 4, 31);
  EXPECT_EQ(into.plane.At(0, 479), 0x7FFF);
  EXPECT_EQ(into.plane.At(9, 476), 0x7FFF);
  EXPECT_EQ(into.plane.At(10, 479), 0x1111);
  EXPECT_EQ(into.plane.At(0, 475), 0x1111);
  TestPlane small(320, 32, 0x1111);
  transition::BlendMemoryBlock(a.plane, b.plane, small.plane, 5000, 5000, 0);
  EXPECT_TRUE(
      std::all_of(small.memory.begin(), small.memory.end(), [](uint16_t p) { return p == 0; }));
}

}  // namespace
}  // namespace tvx::testing
