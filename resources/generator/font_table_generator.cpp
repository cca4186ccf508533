// Build-time generator of the engine's font and code-page data.
//
// The engine draws GBK text with the WenQuanYi Bitmap Song bitmap fonts (Debian package
// xfonts-wqy): the 16-pixel face for story text and the 12-pixel face for menus and dialogs.
// This program reads the PCF files given on its command line, picks the two faces by their
// PIXEL_SIZE, maps every GBK code to Unicode with iconv, draws each character into the engine's
// fixed cells (16x16 and 8x16, 12x12 and 6x12, all glyphs of a face on one baseline) and writes
// three little-endian blobs that the library embeds with .incbin (see blob_layout.h):
//   text16.bin, ui12.bin  "TVF1", cell height, double- and single-byte cell widths, baseline row,
//                         u32 glyph count, then a u16 glyph number for each GBK slot (0xFFFF = no
//                         glyph) and the glyphs, each `height` u16 rows with bit 15 leftmost.
//                         Identical bitmaps (blanks, look-alike forms) are stored once.
//   gbk.bin               "TVG1", u32 page count, a u16 BMP code point for each GBK slot
//                         (0 = none), a 256-entry u16 page index by the high byte of a code point
//                         (0xFFFF = no page) and 256 u16 GBK codes per page (0 = none).
// A GBK slot is the code itself for 0x00-0x7F and 128 + (lead - 0x81) * 191 + (trail - 0x40) for
// a double-byte code, so both lookups are plain array indexing.
//
// Drawing rules: a face's baseline is the row that keeps the most glyphs inside their cells (the
// font's ascent on a tie: 14 for the 16-pixel face, which has no FONT_ASCENT property, so the
// accelerator table's value). The font's Latin letters are proportional and often wider than a
// half-width cell, so ink that leaves a cell is moved back in or narrowed rather than cut (see
// cell_renderer.h). A character the face lacks, or draws blank, is taken from the nearest other
// WenQuanYi size given on the command line.
//
// Usage: font_table_generator OUTPUT_DIR FONT.pcf...

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "resources/blob_layout.h"
#include "resources/byte_order.h"
#include "resources/generator/cell_renderer.h"
#include "resources/generator/gbk_table_builder.h"
#include "resources/generator/pcf_font.h"

namespace tvx::fontgen {
namespace {

struct FaceLayout {
  const char* output;
  int pixel_size;
  int full_width;
  int half_width;
};

constexpr FaceLayout kText16{"text16.bin", 16, 16, 8};
constexpr FaceLayout kUi12{"ui12.bin", 12, 12, 6};

constexpr const char* kMissingFonts =
    "The WenQuanYi Bitmap Song fonts are missing: install the Debian package xfonts-wqy "
    "(apt-get install xfonts-wqy), which provides /usr/share/fonts/X11/misc/wenquanyi_*.pcf.";

bool IsControl(uint16_t code) {
  return code < 0x20 || code == 0x7F;
}

void AppendMagic(std::vector<std::byte>& out, const std::array<char, 4>& magic) {
  for (char c : magic) out.push_back(static_cast<std::byte>(c));
}

bool WriteFile(const std::filesystem::path& path, const std::vector<std::byte>& data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  return static_cast<bool>(out);
}

bool IsSpace(char32_t code_point) {
  return code_point == U' ' || code_point == 0xA0 || code_point == 0x3000 ||
         (code_point >= 0x2000 && code_point <= 0x200B);
}

// The font's glyph for a character, unless it is blank where ink belongs: the 16-pixel face has
// empty bitmaps for a few pinyin letters, which must not pass for real glyphs.
std::optional<GlyphImage> UsableGlyph(const PcfFont& font, char32_t code_point) {
  auto glyph = font.Glyph(code_point);
  if (glyph && !IsSpace(code_point) &&
      std::find(glyph->pixels.begin(), glyph->pixels.end(), 1) == glyph->pixels.end()) {
    return std::nullopt;
  }
  return glyph;
}

std::string CodeName(uint16_t code, char32_t code_point) {
  char name[32];
  std::snprintf(name, sizeof name, "%04X(U+%04X)", code, static_cast<unsigned>(code_point));
  return name;
}

void PrintList(const char* title, const std::vector<std::string>& names) {
  if (names.empty()) return;
  std::printf("  %s (%zu):", title, names.size());
  for (const auto& name : names) std::printf(" %s", name.c_str());
  std::printf("\n");
}

// `fonts` starts with the face itself; the others, nearest size first, lend the few characters
// the face lacks, so that every character at least has a readable glyph.
std::optional<std::vector<std::byte>> BuildFaceBlob(std::span<const PcfFont* const> fonts,
                                                    const FaceLayout& layout,
                                                    const GbkTables& tables) {
  std::vector<std::optional<GlyphImage>> images(blob::kSlotCount);
  std::vector<const GlyphImage*> own;
  std::vector<std::string> borrowed;
  std::vector<std::string> missing;
  for (size_t slot = 0; slot < blob::kSlotCount; ++slot) {
    const uint16_t code = blob::CodeOfSlot(slot);
    const char32_t code_point = tables.to_unicode[slot];
    if (code_point == 0 || IsControl(code)) continue;
    for (const PcfFont* font : fonts) {
      images[slot] = UsableGlyph(*font, code_point);
      if (images[slot]) break;
    }
    if (!images[slot]) {
      missing.push_back(CodeName(code, code_point));
    } else if (!UsableGlyph(*fonts.front(), code_point)) {
      borrowed.push_back(CodeName(code, code_point));
    } else {
      own.push_back(&*images[slot]);
    }
  }

  const int height = layout.pixel_size;
  const int baseline = ChooseBaseline(own, height, fonts.front()->ascent());
  std::map<std::vector<uint16_t>, uint16_t> numbers;
  std::vector<std::vector<uint16_t>> glyphs;
  std::vector<uint16_t> index(blob::kSlotCount, blob::kNoGlyph);
  for (size_t slot = 0; slot < blob::kSlotCount; ++slot) {
    if (!images[slot]) continue;
    const int width = slot < blob::kSingleByteSlots ? layout.half_width : layout.full_width;
    const CellRows rows = RenderInCell(*images[slot], Cell{width, height, baseline});
    std::vector<uint16_t> key(rows.begin(), rows.begin() + height);
    const auto [it, added] = numbers.try_emplace(key, static_cast<uint16_t>(glyphs.size()));
    if (added) glyphs.push_back(std::move(key));
    index[slot] = it->second;
  }

  if (glyphs.size() >= blob::kNoGlyph) {
    std::fprintf(stderr, "error: %s: too many different glyphs\n", layout.output);
    return std::nullopt;
  }

  std::vector<std::byte> out;
  AppendMagic(out, blob::kFontMagic);
  for (int value : {height, layout.full_width, layout.half_width, baseline}) {
    out.push_back(static_cast<std::byte>(value));
  }
  bytes::AppendLe32(out, static_cast<uint32_t>(glyphs.size()));
  for (uint16_t number : index) bytes::AppendLe16(out, number);
  for (const auto& rows : glyphs) {
    for (uint16_t row : rows) bytes::AppendLe16(out, row);
  }

  std::printf("%s: %d px face, font ascent %d, baseline row %d, %zu characters, %zu bitmaps\n",
              layout.output, layout.pixel_size, fonts.front()->ascent(), baseline,
              own.size() + borrowed.size(), glyphs.size());
  PrintList("drawn from a nearby size", borrowed);
  PrintList("without any glyph", missing);
  return out;
}

// The face of the wanted size first, then the other sizes by distance, smaller first on a tie.
std::vector<const PcfFont*> FacesFor(const std::vector<PcfFont>& fonts, int pixel_size) {
  std::vector<const PcfFont*> order;
  for (const PcfFont& font : fonts) order.push_back(&font);
  std::stable_sort(order.begin(), order.end(), [&](const PcfFont* a, const PcfFont* b) {
    const int da = std::abs(a->pixel_size() - pixel_size);
    const int db = std::abs(b->pixel_size() - pixel_size);
    return da != db ? da < db : a->pixel_size() < b->pixel_size();
  });
  if (order.empty() || order.front()->pixel_size() != pixel_size) return {};
  return order;
}

std::vector<std::byte> BuildCodePageBlob(const GbkTables& tables) {
  std::vector<uint16_t> page_index(blob::kPageIndexSize, blob::kNoPage);
  std::vector<size_t> pages;
  for (size_t page = 0; page < blob::kPageIndexSize; ++page) {
    for (size_t low = 0; low < blob::kPageSize; ++low) {
      if (tables.from_unicode[page * blob::kPageSize + low] != 0) {
        page_index[page] = static_cast<uint16_t>(pages.size());
        pages.push_back(page);
        break;
      }
    }
  }
  std::vector<std::byte> out;
  AppendMagic(out, blob::kCodePageMagic);
  bytes::AppendLe32(out, static_cast<uint32_t>(pages.size()));
  for (char32_t code_point : tables.to_unicode) {
    bytes::AppendLe16(out, static_cast<uint16_t>(code_point));
  }
  for (uint16_t number : page_index) bytes::AppendLe16(out, number);
  for (size_t page : pages) {
    for (size_t low = 0; low < blob::kPageSize; ++low) {
      bytes::AppendLe16(out, tables.from_unicode[page * blob::kPageSize + low]);
    }
  }
  return out;
}

int Run(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIR FONT.pcf...\n%s\n", argv[0], kMissingFonts);
    return 1;
  }
  const std::filesystem::path output_dir = argv[1];
  std::vector<PcfFont> fonts;
  for (int i = 2; i < argc; ++i) {
    std::string error;
    if (!std::filesystem::exists(argv[i])) {
      std::fprintf(stderr, "error: %s not found. %s\n", argv[i], kMissingFonts);
      return 1;
    }
    auto font = PcfFont::Load(argv[i], error);
    if (!font) {
      std::fprintf(stderr, "error: %s\n", error.c_str());
      return 1;
    }
    std::printf("%s: PIXEL_SIZE %d\n", argv[i], font->pixel_size());
    fonts.push_back(std::move(*font));
  }
  const auto text16 = FacesFor(fonts, kText16.pixel_size);
  const auto ui12 = FacesFor(fonts, kUi12.pixel_size);
  if (text16.empty() || ui12.empty()) {
    std::fprintf(stderr, "error: no %d-pixel or no %d-pixel WenQuanYi face among the fonts. %s\n",
                 kText16.pixel_size, kUi12.pixel_size, kMissingFonts);
    return 1;
  }

  std::string error;
  const auto tables = BuildGbkTables(error);
  if (!tables) {
    std::fprintf(stderr, "error: %s\n", error.c_str());
    return 1;
  }
  std::error_code ignored;
  std::filesystem::create_directories(output_dir, ignored);
  const std::pair<std::string, std::optional<std::vector<std::byte>>> outputs[] = {
      {kText16.output, BuildFaceBlob(text16, kText16, *tables)},
      {kUi12.output, BuildFaceBlob(ui12, kUi12, *tables)},
      {"gbk.bin", BuildCodePageBlob(*tables)},
  };
  for (const auto& [name, data] : outputs) {
    if (!data) return 1;
    if (!WriteFile(output_dir / name, *data)) {
      std::fprintf(stderr, "error: cannot write %s\n", (output_dir / name).c_str());
      return 1;
    }
    std::printf("%s: %zu bytes\n", name.c_str(), data->size());
  }
  return 0;
}

}  // namespace
}  // namespace tvx::fontgen

int main(int argc, char** argv) {
  return tvx::fontgen::Run(argc, argv);
}
