#include <gtest/gtest.h>

#include <array>

#include "tests/archive/archive_test_fixture.h"

namespace tvx::testing {
namespace {

using Lookup = ArchiveTest;

TEST_F(Lookup, NamesAreComparedAsStoredUpperCaseStrings) {
  File("CHS.ARC", BuildArchive({{"START.MES", Bytes("first")},
                                {"ABCDEFGHIJKLMNOPQRST", Bytes("twenty")},
                                {"TWICE.MES", Bytes("one")},
                                {"TWICE.MES", Bytes("two")},
                                {"lower.mes", Bytes("never")}}));
  WriteSettings("[FILE]\nbARCMES=1\n");
  ArchiveSet& archives = Open();
  ASSERT_TRUE(archives.IsSlotOpen(ArchiveSet::kMesSlot));
  const auto stored = std::vector<uint8_t>(archives.RawIndex(ArchiveRole::Mes).begin(),
                                           archives.RawIndex(ArchiveRole::Mes).end());

  std::string name = "start.mes";
  EXPECT_EQ(archives.Find(name, ArchiveRole::Mes), 0);
  EXPECT_EQ(name, "START.MES");  // the caller's name is upper-cased in place
  name = "abcdefghijklmnopqrst";
  EXPECT_EQ(archives.Find(name, ArchiveRole::Mes), 1);
  name = "ABCDEFGHIJKLMNOPQRSTU";  // 21 bytes: never found
  EXPECT_EQ(archives.Find(name, ArchiveRole::Mes), -1);
  name = "ABCDEFGHIJKLMNOPQRS";  // a prefix is not the name
  EXPECT_EQ(archives.Find(name, ArchiveRole::Mes), -1);
  name = "TWICE.MES";
  EXPECT_EQ(archives.Find(name, ArchiveRole::Mes), 2);  // the first of two
  name = "lower.mes";  // stored in lower case: lookups cannot reach it
  EXPECT_EQ(archives.Find(name, ArchiveRole::Mes), -1);
  // Failed lookups left the index as it was stored, and lookups still work.
  EXPECT_TRUE(
      std::equal(stored.begin(), stored.end(), archives.RawIndex(ArchiveRole::Mes).begin()));
  name = "START.MES";
  EXPECT_EQ(archives.Find(name, ArchiveRole::Mes), 0);
  // A role without a loaded index finds nothing.
  EXPECT_EQ(archives.Find(name, ArchiveRole::Bg), -1);

  std::array<uint8_t, 16> out{};
  name = "twice.mes";
  ASSERT_EQ(archives.LoadScript(name, out, variables_->FileLoadSpace()), 1);
  EXPECT_EQ(Read(out, 3), Bytes("one"));
  EXPECT_EQ(archives.lastReadSize, 3u);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(Lookup, EmptyAndDamagedArchives) {
  File("BG.ARC", BuildArchive({}));
  auto damaged = BuildArchive({{"A.G16", Bytes("xx")}});
  damaged[0] = 0x40;  // 64 entries claimed in a file that holds one
  File("HATA.ARC", damaged);
  auto truncated = BuildArchive({{"A.BIN", Bytes("x")}, {"B.BIN", Bytes("y")}});
  truncated.resize(4 + 28 + 10);
  File("VOICE.ARC", truncated);
  File("BGM.ARC", {0x01, 0x00});  // not even a count
  WriteSettings("[FILE]\nbARCBG=1\nbARCDATA=1\nbARCVOICE=1\nbARCBGM=1\n");
  ArchiveSet& archives = Open();
  EXPECT_TRUE(archives.IsSlotOpen(ArchiveSet::kBgSlot));
  EXPECT_EQ(archives.EntryCount(ArchiveRole::Bg), 0u);
  std::string name = "A.G16";
  EXPECT_EQ(archives.Find(name, ArchiveRole::Bg), -1);
  // The damaged one did not open, and start-up went on without a box.
  EXPECT_FALSE(archives.IsSlotOpen(ArchiveSet::kDataSlot));
  EXPECT_TRUE(Boxes().empty());
  for (int slot : {ArchiveSet::kDataSlot, ArchiveSet::kVoiceSlot, ArchiveSet::kMusicSlot}) {
    EXPECT_EQ(archives.OpenArchive(slot), 0);
    EXPECT_FALSE(archives.IsSlotOpen(slot));
  }
  // A load from a role whose archive cannot open names the archive.
  std::array<uint8_t, 8> out{};
  name = "A.BIN";
  EXPECT_EQ(archives.LoadData(name, out, variables_->FileLoadSpace()), 0);
  EXPECT_EQ(Boxes(), std::vector<std::string>{"文件打开错误 / HATA.ARC"});
}

TEST_F(Lookup, ArchiveFileNamesComeFromTheSettings) {
  File("mydata.arc", BuildArchive({{"D.BIN", Bytes("data")}}));
  WriteSettings("[FILE]\nbARCDATA=1\nARCDATANAME=MYDATA.ARC\n");
  ArchiveSet& archives = Open();
  // Found although the file's name differs in case.
  EXPECT_TRUE(archives.IsSlotOpen(ArchiveSet::kDataSlot));
  EXPECT_EQ(archives.ArchiveName(ArchiveRole::Data), "MYDATA.ARC");
}

using SoundFiles = ArchiveTest;

std::vector<uint8_t> ReadFrom(platform::File* file, size_t n) {
  std::vector<uint8_t> out(n);
  if (!file) return {};
  auto got = file->Read(out);
  out.resize(got.value_or(0));
  return out;
}

TEST_F(SoundFiles, MusicAndFourEffectsShareTheBgmArchive) {
  File("BGM.ARC", BuildArchive({{"M01.WAV", Bytes("music")},
                                {"SE1.WAV", Bytes("effect1")},
                                {"SE2.WAV", Bytes("effect2")}}));
  WriteSettings("[FILE]\nbARCBGM=1\n");
  ArchiveSet& archives = Open();
  for (int slot = ArchiveSet::kMusicSlot; slot < ArchiveSet::kSlotCount; ++slot)
    if (slot != ArchiveSet::kVoiceSlot) {
      EXPECT_TRUE(archives.IsSlotOpen(slot)) << slot;
    }
  std::string music = "m01.wav", a = "SE1.WAV", b = "SE2.WAV", c = "SE1.WAV", d = "SE2.WAV";
  platform::File* handles[5] = {archives.OpenSoundFile(music, 0), archives.OpenSoundFile(a, 2),
                                archives.OpenSoundFile(b, 3), archives.OpenSoundFile(c, 4),
                                archives.OpenSoundFile(d, 5 + 256)};  // channels modulo 256
  // Each channel reads on its own handle: interleaved reads do not disturb each other.
  EXPECT_EQ(ReadFrom(handles[0], 2), Bytes("mu"));
  EXPECT_EQ(ReadFrom(handles[1], 3), Bytes("eff"));
  EXPECT_EQ(ReadFrom(handles[0], 3), Bytes("sic"));
  EXPECT_EQ(ReadFrom(handles[2], 7), Bytes("effect2"));
  EXPECT_EQ(ReadFrom(handles[3], 7), Bytes("effect1"));
  EXPECT_EQ(ReadFrom(handles[4], 7), Bytes("effect2"));
  EXPECT_EQ(ReadFrom(handles[1], 4), Bytes("ect1"));
  EXPECT_EQ(archives.CloseSoundFile(2), 1);  // archive handles stay open
  EXPECT_TRUE(archives.IsSlotOpen(ArchiveSet::kFirstEffectSlot));
  std::string missing = "NONE.WAV";
  EXPECT_EQ(archives.OpenSoundFile(missing, 5), nullptr);
  EXPECT_EQ(archives.OpenSoundFile(missing, 0), nullptr);
  EXPECT_EQ(Boxes(),
            (std::vector<std::string>{"文件检索错误 / NONE.WAV", "文件打开错误 / BGM.ARC",
                                      "文件检索错误 / NONE.WAV", "文件打开错误 / BGM.ARC"}));
}

TEST_F(SoundFiles, AMissingVoiceClosesTheArchiveAndTheNextReopensIt) {
  File("VOICE.ARC", BuildArchive({{"V001.WAV", Bytes("hello")}}));
  WriteSettings("[FILE]\nbARCVOICE=1\n");
  ArchiveSet& archives = Open();
  std::string name = "V999.WAV";
  EXPECT_EQ(archives.OpenSoundFile(name, 1), nullptr);
  EXPECT_FALSE(archives.IsSlotOpen(ArchiveSet::kVoiceSlot));
  EXPECT_EQ(archives.EntryCount(ArchiveRole::Voice), 0u);
  name = "v001.wav";
  EXPECT_EQ(ReadFrom(archives.OpenSoundFile(name, 1), 5), Bytes("hello"));
  EXPECT_EQ(Boxes(), std::vector<std::string>{"文件检索错误 / V999.WAV"});
}

TEST_F(SoundFiles, LooseSoundFiles) {
  File("Track.wav", Bytes("pcm"));
  ArchiveSet& archives = Open();
  std::string name = "TRACK.WAV";
  EXPECT_EQ(ReadFrom(archives.OpenSoundFile(name, 0), 3), Bytes("pcm"));
  EXPECT_EQ(archives.CloseSoundFile(0), 1);
  EXPECT_FALSE(archives.IsSlotOpen(ArchiveSet::kMusicSlot));
  name = "GONE.WAV";
  EXPECT_EQ(archives.OpenSoundFile(name, 3), nullptr);
  EXPECT_EQ(archives.OpenSoundFile(name, 6), nullptr);  // no such channel: no box
  EXPECT_EQ(Boxes(), std::vector<std::string>{"文件打开错误 / GONE.WAV"});
}

}  // namespace
}  // namespace tvx::testing
