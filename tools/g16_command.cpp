#include "tools/g16_command.h"

#include <charconv>
#include <iomanip>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/file.h"
#include "tools/g16_file.h"
#include "tools/png_io.h"
#include "tools/text_files.h"

namespace tvx::tool {
namespace {

constexpr std::string_view kUsage = "usage: talvex-tool g16 encode|decode|info ... (see --help)\n";
constexpr std::string_view kEncodeUsage =
    "usage: talvex-tool g16 encode IN.png OUT.G16 [--at X,Y]\n";
constexpr std::string_view kDecodeUsage = "usage: talvex-tool g16 decode IN.G16 OUT.png\n";
constexpr std::string_view kInfoUsage = "usage: talvex-tool g16 info FILE.G16\n";

constexpr std::string_view kHelp =
    "talvex-tool g16: G16 pictures, the compressed pictures of games with bBGTYPE=1.\n"
    "\n"
    "  talvex-tool g16 encode IN.png OUT.G16 [--at X,Y]\n"
    "  talvex-tool g16 decode IN.G16 OUT.png\n"
    "  talvex-tool g16 info FILE.G16\n"
    "\n"
    "Run 'talvex-tool g16 COMMAND --help' for the details of one.\n";

constexpr std::string_view kEncodeHelp =
    "Makes a G16 picture of a PNG file. Any PNG is taken (palette, grey, 16-bit...); colours\n"
    "are rounded to 5 bits per channel and alpha is dropped. Rows of odd width are padded\n"
    "with a repeat of their last pixel, which the engine draws as well, right of the\n"
    "picture. At most 65535 pixels on a side and 4096 x 4096 pixels in all.\n"
    "\n"
    "  --at X,Y   where the engine draws the picture on its plane (default 0,0)\n";

constexpr std::string_view kDecodeHelp =
    "Writes a G16 picture as an 8-bit RGB PNG, decoded by the engine's own loader: the\n"
    "picture's width x height pixels, without padding. Its position is not kept (see info).\n"
    "A pixel stream too short for the picture is an error.\n";

constexpr std::string_view kInfoHelp =
    "Shows a G16 picture's position, size, packed size and ratio, and checks that its pixel\n"
    "stream expands to every byte the picture needs (exit code 1 when it does not).\n";

std::optional<uint16_t> ParseCoordinate(std::string_view text) {
  uint32_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty() || value > 0xFFFF)
    return std::nullopt;
  return static_cast<uint16_t>(value);
}

std::string Percent(uint64_t part, uint64_t whole) {
  std::ostringstream text;
  text << std::fixed << std::setprecision(1)
       << (whole == 0 ? 0.0 : 100.0 * static_cast<double>(part) / static_cast<double>(whole))
       << "%";
  return text.str();
}

int Encode(CommandArgs args, std::ostream& out, std::ostream& err) {
  std::vector<std::string> paths;
  uint16_t x = 0;
  uint16_t y = 0;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (IsHelpFlag(arg)) {
      out << kEncodeUsage << "\n" << kEncodeHelp;
      return kExitOk;
    }
    if (arg == "--at") {
      if (i + 1 >= args.size()) return Usage(err, kEncodeUsage);
      const std::string& value = args[++i];
      const size_t comma = value.find(',');
      const auto px = ParseCoordinate(std::string_view(value).substr(0, comma));
      const auto py = comma == std::string::npos
                          ? std::nullopt
                          : ParseCoordinate(std::string_view(value).substr(comma + 1));
      if (!px || !py) {
        err << "g16 encode: --at takes X,Y (0-65535 each), not '" << value << "'\n";
        return Usage(err, kEncodeUsage);
      }
      x = *px;
      y = *py;
    } else if (IsOption(arg)) {
      err << "g16 encode: unknown option '" << arg << "'\n";
      return Usage(err, kEncodeUsage);
    } else {
      paths.push_back(arg);
    }
  }
  if (paths.size() != 2) return Usage(err, kEncodeUsage);

  std::string error;
  const auto picture = ReadPngFile(paths[0], error);
  if (!picture) {
    err << "g16 encode: " << error << "\n";
    return kExitFailure;
  }
  const std::vector<uint8_t> file = EncodeG16(*picture, x, y);
  if (!WriteOutput("g16 encode", paths[1], file, err)) {
    return kExitFailure;
  }
  const uint64_t pixels = G16PixelBytes(picture->width, picture->height);
  const uint64_t packed = file.size() - PictureLoader::kG16HeaderSize;
  out << paths[0] << " -> " << paths[1] << ": " << picture->width << " x " << picture->height
      << " at " << x << "," << y << ", " << pixels << " -> " << packed << " bytes ("
      << Percent(packed, pixels) << ")\n";
  return kExitOk;
}

int Decode(CommandArgs args, std::ostream& out, std::ostream& err) {
  for (const std::string& arg : args) {
    if (IsHelpFlag(arg)) {
      out << kDecodeUsage << "\n" << kDecodeHelp;
      return kExitOk;
    }
    if (IsOption(arg)) return Usage(err, kDecodeUsage);
  }
  if (args.size() != 2) return Usage(err, kDecodeUsage);
  const auto file = ReadInput("g16 decode", args[0], err);
  if (!file) return kExitFailure;
  std::string error;
  const auto picture = DecodeG16(*file, error);
  if (!picture) {
    err << "g16 decode: '" << args[0] << "' is not a G16 picture: " << error << "\n";
    return kExitFailure;
  }
  if (!WritePngFile(args[1], *picture, error)) {
    err << "g16 decode: " << error << "\n";
    return kExitFailure;
  }
  out << args[0] << " -> " << args[1] << ": " << picture->width << " x " << picture->height << "\n";
  return kExitOk;
}

int Info(CommandArgs args, std::ostream& out, std::ostream& err) {
  if (HasHelpFlag(args)) return Help(out, kInfoUsage, kInfoHelp);
  if (args.size() != 1 || IsOption(args[0])) return Usage(err, kInfoUsage);
  const std::string& path = args[0];
  const auto file = ReadInput("g16 info", path, err);
  if (!file) return kExitFailure;
  const auto other = KnownFormatOf(*file);
  const auto header = ReadG16Header(*file);
  if (other || !header) {
    err << "g16 info: '" << path << "' is not a G16 picture: "
        << (other ? *other
                  : "too short for a G16 header (" + std::to_string(file->size()) + " bytes)")
        << "\n";
    return kExitFailure;
  }
  const G16StreamCheck check = CheckG16Stream(*file);
  const uint64_t packed = file->size() - PictureLoader::kG16HeaderSize;
  out << path << "\n"
      << "position: " << header->x << "," << header->y << "\n"
      << "size: " << header->width << " x " << header->height;
  if (header->width % 2 != 0) out << " (rows of " << G16RowPixels(header->width) << " pixels)";
  out << "\n"
      << "packed: " << packed << " bytes\n"
      << "ratio: " << Percent(packed, check.needed) << " of " << check.needed << " bytes\n";
  if (check.complete()) {
    out << "stream: complete, " << check.needed << " bytes"
        << (check.more ? " (more follows, which the engine ignores)" : "") << "\n";
    return kExitOk;
  }
  out << "stream: too short, " << check.produced << " of " << check.needed << " bytes\n";
  err << "g16 info: " << path << ": the pixel stream ends after " << check.produced << " of the "
      << check.needed << " bytes the picture needs\n";
  return kExitFailure;
}

}  // namespace

int RunG16(CommandArgs args, std::ostream& out, std::ostream& err) {
  static constexpr Action kActions[] = {{"encode", Encode}, {"decode", Decode}, {"info", Info}};
  return RunAction(args, out, err, "g16", kUsage, kHelp, kActions);
}

}  // namespace tvx::tool
