// The role loaders on any file, stored or compressed, loose or packed, with any staging
// offset: nothing is written outside the destination and the image.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "archive/archive_set.h"
#include "fuzz/fuzz_support.h"
#include "resources/byte_order.h"
#include "script/variable_area.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tvx;
  if (size < 6) return 0;
  fuzz::UseMemoryFolder();
  const uint8_t switches = data[0];
  const uint32_t scratch = bytes::LoadLe32(std::span(data, size), 1);
  const uint8_t destination_kb = data[5];
  const auto body = std::span(data + 6, size - 6);
  std::string settings = "[FILE]\n";
  settings += "bARCMES=" + std::to_string(switches & 1) + "\n";
  settings += "bARCDATA=" + std::to_string((switches >> 1) & 1) + "\n";
  settings += "bARCBG=" + std::to_string((switches >> 2) & 1) + "\n";
  settings += "ARCMESNAME=P.ARC\nARCDATANAME=P.ARC\nARCBGNAME=P.ARC\n";
  settings += "[MES]\nbMESTYPE=" + std::to_string((switches >> 3) & 1) + "\n";
  settings += "[DATA]\nbDATATYPE=" + std::to_string((switches >> 4) & 1) + "\n";
  fuzz::PutSettings(settings);
  fuzz::PutFile("P.ARC", body);
  fuzz::PutFile("LOOSE.BIN", body);

  static auto variables = std::make_unique<VariableArea>();
  bytes::StoreLe32(variables->bytes(), VariableArea::kSystemPointersOffset + 4, scratch);
  const auto image = variables->image();
  const auto destination = image.subspan(0, std::min<size_t>(image.size(), destination_kb * 1024u));
  ArchiveSet archives;
  archives.OpenAll(ArchiveOptions::Read(SettingsFile()));
  std::string name = "LOOSE.BIN";
  archives.LoadScript(name, destination, variables->FileLoadSpace());
  name = "LOOSE.BIN";
  archives.LoadData(name, destination, variables->FileLoadSpace());
  name = "loose.bin";
  archives.LoadPicture(name, destination);
  // A buffer of its own beside the image, to catch writes past a short destination.
  std::vector<uint8_t> small(destination_kb);
  name = "LOOSE.BIN";
  archives.LoadData(name, small, variables->FileLoadSpace());
  archives.CloseAll();
  fuzz::ForgetBoxes();
  return 0;
}
