// The data blobs that the build generates (see generator/font_table_generator.cpp) and links in.
#pragma once

#include <cstddef>
#include <span>

namespace tvx::blob {

std::span<const std::byte> Text16FontBlob();
std::span<const std::byte> Ui12FontBlob();
std::span<const std::byte> CodePageBlob();

}  // namespace tvx::blob
