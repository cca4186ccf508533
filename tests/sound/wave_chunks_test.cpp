// The chunk walk of wave files: where data and loops are found, and damaged files.
#include <gtest/gtest.h>

#include "sound/wave_chunks.h"
#include "tests/sound/sound_test_support.h"

namespace tvx::testing {
namespace {

const std::vector<uint8_t> kFour = {1, 2, 3, 4};
// Eight bytes: a last chunk of this size starts 16 bytes before the end and is visited.
const std::vector<uint8_t> kData = {1, 2, 3, 4, 5, 6, 7, 8};

TEST(WaveChunks, FindsDataFormatAndLoopPastOddChunksAndTheirPadBytes) {
  const std::vector<uint8_t> odd = {9, 9, 9};
  const auto file = WavBuilder()
                        .Chunk("LIST", odd)  // 3 bytes and a pad byte
                        .Format(1, 1, 22050, 16)
                        .Chunk("junk", std::vector<uint8_t>(5, 7))
                        .Smpl(1, 10, 20)
                        .Chunk("data", kData)
                        .Build();
  const auto found = ReadWaveChunks(file, /*want_format=*/true);
  ASSERT_TRUE(found);
  ASSERT_TRUE(found->format);
  EXPECT_EQ(*found->format, WaveFormat({1, 1, 22050, 44100, 2, 16, 0, 0}));
  EXPECT_EQ(found->dataSize, 8u);
  EXPECT_EQ(std::vector<uint8_t>(file.begin() + static_cast<ptrdiff_t>(found->dataOffset),
                                 file.begin() + static_cast<ptrdiff_t>(found->dataOffset) + 8),
            kData);
  ASSERT_TRUE(found->loop);
  EXPECT_EQ(found->loop->start, 10u);
  EXPECT_EQ(found->loop->end, 20u);
  // Streams do not ask for the format: a file without one still plays.
  const auto no_format = WavBuilder().Chunk("data", kData).Build();
  EXPECT_TRUE(ReadWaveChunks(no_format, false));
  EXPECT_FALSE(ReadWaveChunks(no_format, false)->format);
}

TEST(WaveChunks, LoopsNeedALoopCountAndAWholeRecord) {
  EXPECT_FALSE(
      ReadWaveChunks(WavBuilder().Smpl(0, 10, 20).Chunk("data", kData).Build(), false)->loop);
  // A chunk too short for its first loop record names no loop (and the walk goes on).
  std::vector<uint8_t> short_smpl(40, 0);
  bytes::StoreLe32(short_smpl, 28, 1);
  const auto file = WavBuilder().Chunk("smpl", short_smpl).Chunk("data", kData).Build();
  const auto found = ReadWaveChunks(file, false);
  ASSERT_TRUE(found);
  EXPECT_FALSE(found->loop);
}

TEST(WaveChunks, AChunkWithinTheLastTwelveBytesOfTheRiffSizeIsNotVisited) {
  // "data" with 2 bytes is a 10-byte chunk: last in the file, it starts 10 bytes before the
  // end of the RIFF size.
  const std::vector<uint8_t> two = {5, 6};
  EXPECT_FALSE(ReadWaveChunks(WavBuilder().Chunk("data", two).Build(), false));
  // With four more bytes behind it, it starts 14 bytes before the end and is found.
  const auto found = ReadWaveChunks(WavBuilder().Chunk("data", two).Raw(kFour).Build(), false);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->dataSize, 2u);
}

TEST(WaveChunks, NotAWaveFileOrNoDataFails) {
  auto file = WavBuilder().Chunk("data", kFour).Build();
  file[8] = 'X';  // "XAVE"
  EXPECT_FALSE(ReadWaveChunks(file, false));
  EXPECT_FALSE(ReadWaveChunks(std::span<const uint8_t>(file).first(8), false));
  EXPECT_FALSE(ReadWaveChunks(WavBuilder().Chunk("data", {}).Raw(kFour).Raw(kFour).Build(), false));
  EXPECT_FALSE(ReadWaveChunks(WavBuilder().Format().Raw(kFour).Raw(kFour).Build(), false));
  // A format chunk shorter than 14 bytes fails only when the format is wanted.
  const std::vector<uint8_t> twelve(12, 1);
  const auto short_format = WavBuilder().Chunk("fmt ", twelve).Chunk("data", kData).Build();
  EXPECT_FALSE(ReadWaveChunks(short_format, true));
  EXPECT_TRUE(ReadWaveChunks(short_format, false));
}

TEST(WaveChunks, DamagedSizesNeitherLoopNorReachPastTheFile) {
  // A data size far beyond the file is cut to what the file holds.
  const auto huge_data =
      WavBuilder().Chunk("data", kFour, 0x7FFFFFF0).Raw(kFour).Raw(kFour).Build();
  auto found = ReadWaveChunks(huge_data, false);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->dataOffset + found->dataSize, huge_data.size());
  // ... and to the RIFF size when that ends first (the file may go on: an archive).
  auto in_archive = WavBuilder().Chunk("data", kFour, 1000).Build(20 + 4);
  in_archive.resize(in_archive.size() + 2000, 0xAB);
  found = ReadWaveChunks(in_archive, false);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->dataOffset + found->dataSize, 8u + 24u);
  // Chunk sizes that would wrap a 32-bit position, a RIFF size larger than the file, and a
  // walk that runs off the end all end the walk.
  const auto wrapping =
      WavBuilder().Chunk("junk", kFour, 0xFFFFFFFF).Chunk("data", kFour).Build(0xFFFFFFFF);
  EXPECT_FALSE(ReadWaveChunks(wrapping, false));
  const auto long_riff = WavBuilder().Chunk("data", kFour).Build(0xFFFFFFF0);
  found = ReadWaveChunks(long_riff, false);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->dataSize, 4u);
  // Zero-sized chunks still move the walk on by their headers.
  WavBuilder zeros;
  for (int i = 0; i < 100; ++i) zeros.Chunk("zero", {});
  EXPECT_TRUE(ReadWaveChunks(zeros.Chunk("data", kFour).Raw(kFour).Raw(kFour).Build(), false));
}

TEST(WaveChunks, ReadsFromAFileAtItsPosition) {
  // As in an archive: the wave file starts somewhere inside a larger file.
  std::vector<uint8_t> archive(100, 0x55);
  const auto wav = WavBuilder().Chunk("data", kFour).Raw(kFour).Raw(kFour).Build();
  archive.insert(archive.end(), wav.begin(), wav.end());
  const std::string path = ::testing::TempDir() + "talvex-wave-chunks.bin";
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(archive.data()),
             static_cast<std::streamsize>(archive.size()));
  platform::File file;
  ASSERT_TRUE(file.Open(path, platform::File::Mode::Read));
  ASSERT_TRUE(file.Seek(100));
  const auto found = ReadWaveChunks(file, false);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->dataOffset, 100u + 20u);
  std::remove(path.c_str());
}

}  // namespace
}  // namespace tvx::testing
