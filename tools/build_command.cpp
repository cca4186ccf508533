#include "tools/build_command.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "archive/lzss_encoder.h"
#include "platform/file.h"
#include "platform/path_text.h"
#include "resources/gbk.h"
#include "tools/arc_packer.h"
#include "tools/entry_names.h"
#include "tools/g16_file.h"
#include "tools/mes/assembler.h"
#include "tools/png_io.h"
#include "tools/settings_text.h"
#include "tools/text_files.h"
#include "tools/wav/engine_sound.h"
#include "tools/wav/wav_data.h"

namespace tvx::tool {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kUsage = "usage: talvex-tool build SRC_DIR OUT_DIR\n";

constexpr std::string_view kHelp =
    "Makes a game folder from a source folder:\n"
    "  *.tvs          scripts, assembled (NAME.tvs -> NAME.MES), packed LZSS-compressed\n"
    "  *.png          pictures, made G16 at (0,0) (NAME.png -> NAME.G16)\n"
    "  *.wav          music and effects: 22050 Hz 16-bit PCM, a loop of the source kept\n"
    "  voice/*.wav    voices: 22050 Hz IMA ADPCM\n"
    "  TVXCHS.INI     its keys win over the settings file that is written\n"
    "  other files    data, copied as they are\n"
    "Scripts, pictures, music and voices are packed into the archives of their roles, and a\n"
    "TVXCHS.INI with every key is written. Other subfolders are not read (keep included\n"
    "sources there). OUT_DIR is made if needed; files in it are replaced.\n";

constexpr std::string_view kSettingsName = "TVXCHS.INI";
constexpr std::string_view kStagingName = ".talvex-build";

// The five kinds of file, in the order of the settings file's [FILE] keys.
enum Role { kScripts, kPictures, kData, kMusic, kVoices, kRoleCount };

struct RoleKeys {
  std::string_view key;  // bARC<key>, ARC<key>NAME
  std::string_view archive;
  std::string_view what;
};
constexpr std::array<RoleKeys, kRoleCount> kRoles = {{
    {"MES", "CHS.ARC", "scripts"},
    {"BG", "BG.ARC", "pictures"},
    {"DATA", "HATA.ARC", "data files"},
    {"BGM", "BGM.ARC", "music files"},
    {"VOICE", "VOICE.ARC", "voices"},
}};

struct SourceFile {
  fs::path path;
  Role role;
};

struct Product {
  std::string name;  // in the game folder or the archive
  std::vector<uint8_t> bytes;
  std::string source;
};

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// Regular files and folders directly in `directory`, sorted by name.
std::optional<std::vector<fs::directory_entry>> List(const fs::path& directory, std::ostream& err) {
  std::error_code ec;
  std::vector<fs::directory_entry> entries;
  fs::directory_iterator it(directory, ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) entries.push_back(*it);
  if (ec) {
    err << "build: " << platform::PathText(directory) << ": cannot list the folder ("
        << ec.message() << ")\n";
    return std::nullopt;
  }
  std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
    return a.path().filename().native() < b.path().filename().native();
  });
  return entries;
}

// The source files by role, and the settings override; false after a message.
bool Collect(const fs::path& source, const fs::path& output, std::vector<SourceFile>& files,
             std::optional<fs::path>& settings, std::ostream& err) {
  const auto entries = List(source, err);
  if (!entries) return false;
  for (const fs::directory_entry& entry : *entries) {
    std::error_code ec;
    const std::string name = platform::PathText(entry.path().filename());
    if (entry.is_directory(ec)) {
      if (fs::equivalent(entry.path(), output, ec) || Lower(name) != "voice") continue;
      const auto voices = List(entry.path(), err);
      if (!voices) return false;
      for (const fs::directory_entry& voice : *voices) {
        if (!voice.is_regular_file(ec)) continue;
        if (Lower(platform::PathText(voice.path().extension())) != ".wav") {
          err << "build: " << platform::PathText(voice.path())
              << ": not a wave file (the voice folder holds voices only)\n";
          return false;
        }
        files.push_back({voice.path(), kVoices});
      }
      continue;
    }
    if (!entry.is_regular_file(ec)) continue;
    if (Upper(name) == kSettingsName) {
      settings = entry.path();
      continue;
    }
    const std::string extension = Lower(platform::PathText(entry.path().extension()));
    const Role role = extension == ".tvs"   ? kScripts
                      : extension == ".png" ? kPictures
                      : extension == ".wav" ? kMusic
                                            : kData;
    files.push_back({entry.path(), role});
  }
  return true;
}

// The folder's name as the window title when it is plain ASCII; the engine reads GBK.
std::string Title(const fs::path& source) {
  std::error_code ec;
  const fs::path full = fs::weakly_canonical(fs::absolute(source, ec), ec);
  const std::string name = platform::PathText(full.filename());
  const bool plain = !name.empty() && std::all_of(name.begin(), name.end(),
                                                  [](char c) { return c >= 0x20 && c < 0x7F; });
  return plain ? name : "TALVEX";
}

SettingsText GeneratedSettings(const std::string& title,
                               const std::array<bool, kRoleCount>& present) {
  SettingsText settings;
  settings.Set("Config", "TITLE", title);
  settings.Set("Config", "StartMES", "MAIN.MES");
  settings.Set("Config", "SOUND", "1");
  settings.Set("Config", "VOICE", "1");
  settings.Set("Config", "DUNGEON", "1");
  settings.Set("Config", "bDEBUG", "0");
  settings.Set("Config", "SCREEN", "0");
  for (int role = 0; role < kRoleCount; ++role) {
    const std::string key(kRoles[role].key);
    // Data files stay loose unless the source's settings pack them.
    settings.Set("FILE", "bARC" + key, present[role] && role != kData ? "1" : "0");
    settings.Set("FILE", "ARC" + key + "NAME", std::string(kRoles[role].archive));
  }
  settings.Set("MES", "bMESTYPE", "1");
  settings.Set("DATA", "bDATATYPE", "0");
  settings.Set("GRAPHICS", "bBGTYPE", "1");
  settings.Set("VOLUME", "Music", "-500");
  settings.Set("VOLUME", "Effect", "-500");
  settings.Set("VOLUME", "Voice", "0");
  return settings;
}

std::string Stem(const fs::path& path) {
  return platform::PathText(path.stem());
}

// One source file made into what the game reads; nullopt after messages naming it.
std::optional<Product> Make(const SourceFile& file, std::ostream& err) {
  const std::string path = platform::PathText(file.path);
  const auto bytes = platform::ReadWholeFile(path);
  if (!bytes) {
    err << "build: " << path << ": cannot read the file\n";
    return std::nullopt;
  }
  std::string error;
  switch (file.role) {
    case kScripts: {
      const mes::AssembleResult result = mes::Assemble(
          std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()), path,
          mes::DiskIncludeReader());
      for (const std::string& message : result.errors) err << message << "\n";
      if (!result.ok()) {
        err << "build: " << path << ": " << result.errors.size() << " error"
            << (result.errors.size() == 1 ? "" : "s") << "\n";
        return std::nullopt;
      }
      return Product{Stem(file.path) + ".MES", result.code, path};
    }
    case kPictures: {
      const auto picture = DecodePng(*bytes, error);
      if (!picture) break;
      if (picture->width > kMaxPictureSide || picture->height > kMaxPictureSide) {
        error = "the picture is too large for a G16 file";
        break;
      }
      return Product{Stem(file.path) + ".G16", EncodeG16(*picture, 0, 0), path};
    }
    case kMusic:
    case kVoices: {
      const auto wav = ReadWav(*bytes, error);
      if (!wav) break;
      if (const auto why = WhyNotConvertible(*wav, file.role == kMusic)) {
        error = *why;
        break;
      }
      EngineSound sound = file.role == kMusic ? MusicFile(*wav) : VoiceFile(*wav);
      return Product{Stem(file.path) + ".WAV", std::move(sound.file), path};
    }
    case kData:
    case kRoleCount:
      return Product{platform::PathText(file.path.filename()), *bytes, path};
  }
  err << "build: " << path << ": " << error << "\n";
  return std::nullopt;
}

// A name from the settings file that stays inside the game folder.
bool InsideName(const std::string& name) {
  const fs::path path(name);
  if (name.empty() || path.is_absolute() || path.has_root_name()) return false;
  return std::none_of(path.begin(), path.end(), [](const fs::path& part) { return part == ".."; });
}

bool Write(const fs::path& path, std::span<const uint8_t> bytes, std::ostream& err) {
  std::error_code ec;
  fs::create_directories(path.parent_path(), ec);
  if (platform::WriteFileAtomically(platform::PathText(path), bytes)) return true;
  err << "build: " << platform::PathText(path) << ": cannot write the file\n";
  return false;
}

// Packs a role's products through a staging folder inside the game folder.
bool Pack(const std::vector<Product>& products, const fs::path& archive, bool lzss,
          const fs::path& staging, std::ostream& out, std::ostream& err) {
  std::error_code ec;
  fs::remove_all(staging, ec);
  PackRequest request;
  request.output = platform::PathText(archive);
  request.lzss = lzss;
  for (const Product& product : products) {
    const fs::path staged = staging / product.name;
    if (!Write(staged, product.bytes, err)) return false;
    request.files.push_back(platform::PathText(staged));
  }
  fs::create_directories(archive.parent_path(), ec);
  const bool packed = PackArchive(request, out, err) == kExitOk;
  fs::remove_all(staging, ec);
  if (!packed) err << "build: " << platform::PathText(archive) << ": the archive was not made\n";
  return packed;
}

int Build(const fs::path& source, const fs::path& output, std::ostream& out, std::ostream& err) {
  std::error_code ec;
  if (!fs::is_directory(source, ec)) {
    err << "build: " << platform::PathText(source) << ": not a folder\n";
    return kExitFailure;
  }
  if (fs::exists(output, ec) && fs::equivalent(source, output, ec)) {
    err << "build: " << platform::PathText(output)
        << ": the game folder must not be the source folder\n";
    return kExitFailure;
  }
  if (!fs::create_directories(output, ec) && !fs::is_directory(output, ec)) {
    err << "build: " << platform::PathText(output) << ": cannot make the folder\n";
    return kExitFailure;
  }

  std::vector<SourceFile> files;
  std::optional<fs::path> settings_path;
  if (!Collect(source, output, files, settings_path, err)) return kExitFailure;

  std::array<bool, kRoleCount> present{};
  for (const SourceFile& file : files) present[file.role] = true;
  SettingsText settings = GeneratedSettings(Title(source), present);
  if (settings_path) {
    const auto text = ReadInput("build", settings_path->string(), err);
    if (!text) return kExitFailure;
    std::string_view raw(reinterpret_cast<const char*>(text->data()), text->size());
    // Editors save UTF-8 (perhaps with a byte-order mark); the engine reads GBK. Text that is
    // not UTF-8 is taken to be GBK already.
    if (raw.starts_with("\xEF\xBB\xBF")) raw.remove_prefix(3);
    const std::string gbk_text = IsValidUtf8(raw) ? gbk::FromUtf8(raw) : std::string(raw);
    settings.Merge(SettingsText::Parse(gbk_text));
  }

  // Every file made before anything is written, so that one failure leaves nothing half done.
  std::array<std::vector<Product>, kRoleCount> products;
  bool failed = false;
  for (const SourceFile& file : files) {
    auto product = Make(file, err);
    if (product)
      products[file.role].push_back(std::move(*product));
    else
      failed = true;
  }
  if (failed) return kExitFailure;

  const std::string start = settings.Get("Config", "StartMES").value_or("MAIN.MES");
  const bool has_start =
      std::any_of(products[kScripts].begin(), products[kScripts].end(),
                  [&](const Product& script) { return Upper(script.name) == Upper(start); });
  if (!has_start) {
    err << "build: " << platform::PathText(source) << ": no script makes the start script " << start
        << " (" << platform::PathText(platform::PathFromText(start).stem()) << ".tvs)\n";
    return kExitFailure;
  }

  // What goes where: each role loose or into its archive; no name taken twice.
  std::array<bool, kRoleCount> packed{};
  std::array<std::string, kRoleCount> archive_names;
  std::map<std::string, std::string> taken;  // upper-cased name in the game folder -> source
  taken.emplace(std::string(kSettingsName), "the settings file");
  for (int role = 0; role < kRoleCount; ++role) {
    const std::string key(kRoles[role].key);
    packed[role] = settings.Number("FILE", "bARC" + key) != 0 && !products[role].empty();
    if (!packed[role]) continue;
    archive_names[role] = settings.Get("FILE", "ARC" + key + "NAME").value_or("");
    if (!InsideName(archive_names[role])) {
      err << "build: ARC" << key << "NAME=" << archive_names[role]
          << ": the archive must be a name inside the game folder\n";
      return kExitFailure;
    }
    const auto [at, inserted] = taken.emplace(Upper(archive_names[role]),
                                              "the archive of " + std::string(kRoles[role].what));
    if (!inserted) {
      err << "build: " << archive_names[role] << " would hold both " << at->second << " and "
          << kRoles[role].what << "\n";
      return kExitFailure;
    }
  }
  for (int role = 0; role < kRoleCount; ++role) {
    if (packed[role]) continue;
    for (const Product& product : products[role]) {
      const auto [at, inserted] = taken.emplace(Upper(product.name), product.source);
      if (!inserted) {
        err << "build: " << at->second << " and " << product.source << " would both be "
            << platform::PathText(output / product.name) << "\n";
        return kExitFailure;
      }
    }
  }

  const bool compress_scripts = settings.Number("MES", "bMESTYPE") != 0;
  const bool compress_data = settings.Number("DATA", "bDATATYPE") != 0;
  LzssEncoder encoder;
  const fs::path staging = output / kStagingName;
  for (int role = 0; role < kRoleCount; ++role) {
    const bool lzss = (role == kScripts && compress_scripts) || (role == kData && compress_data);
    if (packed[role]) {
      if (!Pack(products[role], output / archive_names[role], lzss, staging, out, err))
        return kExitFailure;
      continue;
    }
    for (const Product& product : products[role]) {
      const fs::path path = output / product.name;
      if (!Write(path, lzss ? encoder.Encode(product.bytes) : product.bytes, err))
        return kExitFailure;
    }
  }
  const std::string text = settings.Render();
  if (!Write(output / kSettingsName,
             std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()), err)) {
    return kExitFailure;
  }
  out << platform::PathText(output) << ":";
  const std::array<Role, kRoleCount> order = {kScripts, kPictures, kMusic, kVoices, kData};
  for (const Role role : order) {
    const std::string_view what = kRoles[role].what;
    const size_t count = products[role].size();
    // "1 voice", "2 voices", "1 music file"...
    out << " " << count << " " << (count == 1 ? what.substr(0, what.size() - 1) : what) << ",";
  }
  out << " " << kSettingsName << " written\n";
  return kExitOk;
}

}  // namespace

int RunBuild(CommandArgs args, std::ostream& out, std::ostream& err) {
  if (args.size() == 1 && IsHelpFlag(args[0])) return Help(out, kUsage, kHelp);
  if (args.size() != 2 || IsOption(args[0]) || IsOption(args[1])) return Usage(err, kUsage);
  return Build(platform::PathFromText(args[0]), platform::PathFromText(args[1]), out, err);
}

}  // namespace tvx::tool
