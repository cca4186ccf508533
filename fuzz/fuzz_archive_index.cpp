// Any byte string as an archive of every role: opening, lookups, sound handles and loads
// never read or write outside their buffers.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "archive/archive_set.h"
#include "fuzz/fuzz_support.h"
#include "script/variable_area.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tvx;
  fuzz::UseMemoryFolder();
  static bool settings_written = false;
  if (!settings_written) {
    fuzz::PutSettings(
        "[FILE]\nbARCMES=1\nbARCBG=1\nbARCDATA=1\nbARCBGM=1\nbARCVOICE=1\n"
        "ARCMESNAME=F.ARC\nARCBGNAME=F.ARC\nARCDATANAME=F.ARC\nARCBGMNAME=F.ARC\n"
        "ARCVOICENAME=F.ARC\n");
    settings_written = true;
  }
  fuzz::PutFile("F.ARC", std::span(data, size));
  static auto variables = std::make_unique<VariableArea>();
  ArchiveSet archives;
  archives.OpenAll(ArchiveOptions::Read(SettingsFile()));
  // Names taken from the input's own index area, so real entries get found.
  for (size_t at = 4; at + 20 <= size && at < 4 + 28 * 4; at += 28) {
    std::string name(reinterpret_cast<const char*>(data + at), 20);
    for (char& c : name) c ^= 0x4D;
    std::string copy = name;
    archives.Find(copy, ArchiveRole::Mes);
    copy = name;
    archives.LoadPicture(copy, std::span(variables->image()).first(1 << 16));
    copy = name;
    archives.OpenSoundFile(copy, 1);
    copy = name;
    archives.OpenSoundFile(copy, 3);
  }
  archives.CloseAll();
  fuzz::ForgetBoxes();
  return 0;
}
