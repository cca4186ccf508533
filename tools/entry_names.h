// Between file names on disk and entry names in archives. Games name their entries in GBK,
// upper-cased; Linux file names are usually UTF-8. A base name that is valid UTF-8 with
// non-ASCII characters is converted to GBK for storage and back to UTF-8 on extraction; any
// other name is taken as bytes (it may already be GBK).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tvx::tool {

bool IsValidUtf8(std::string_view text);

// The bytes a file name is stored as before upper-casing: GBK for non-ASCII UTF-8, otherwise
// unchanged. Nullopt when the name has characters GBK cannot hold.
std::optional<std::string> ToArchiveEncoding(std::string_view disk_name);

// The stored entry name for a file's base name (converted and upper-cased, not yet checked
// for length). Nullopt as for ToArchiveEncoding.
std::optional<std::string> StoredEntryName(std::string_view disk_name);

// True when upper-casing changes a double-byte GBK character (its second byte is an ASCII
// lower-case letter): the entry then comes back under another name when extracted.
bool UpperCasingAltersCharacters(std::string_view gbk_name);

// Whether the name holds control bytes (0x00-0x1F, 0x7F): ESC among them.
bool HasControlBytes(std::string_view name);

// The entry name as text for people: UTF-8 converted from GBK, invalid bytes shown as U+FFFD,
// control bytes as \xNN (so that a name cannot send escape sequences to the terminal).
std::string DisplayName(std::string_view stored_name);

// The file name an entry is extracted to: UTF-8 when the stored name is valid GBK, else the
// stored bytes. Nullopt when the name is empty, "." or "..", or holds '/' or '\\' — names
// that would leave the destination folder — or control bytes.
std::optional<std::string> SafeDiskName(std::string_view stored_name);

}  // namespace tvx::tool
