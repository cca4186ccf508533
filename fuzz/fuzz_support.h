// What the fuzz targets share: a private game folder as the current directory, a headless
// platform whose recorded boxes are dropped now and then, and file writing.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tvx::fuzz {

// Once per process: a fresh folder, the program path inside it, the headless platform.
void EnterScratchFolder();
// A fresh headless backend every so many runs, so recorded boxes do not pile up.
void RecycleBackend();
void WriteFile(const std::string& name, std::span<const uint8_t> data);
void WriteSettings(std::string_view text);

}  // namespace tvx::fuzz
