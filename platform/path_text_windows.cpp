#include "platform/path_text.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// windows.h first: shellapi.h needs its types.
#include <shellapi.h>

#include "platform/windows_text.h"
#include "resources/gbk.h"

namespace tvx::platform {

namespace windows {

namespace {

// UTF-8 as wide characters; false when the bytes are not valid UTF-8.
bool FromUtf8(std::string_view text, std::wstring& out) {
  out.clear();
  if (text.empty()) return true;
  const int size = static_cast<int>(text.size());
  const int n = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
  if (n <= 0) return false;
  out.resize(static_cast<size_t>(n));
  return ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, out.data(), n) ==
         n;
}

}  // namespace

std::wstring Wide(std::string_view text) {
  std::wstring out;
  if (FromUtf8(text, out)) return out;
  // Not UTF-8: GBK, through the engine's own table (no system code page needed).
  const std::string utf8 = gbk::ToUtf8(text);
  if (!FromUtf8(utf8, out)) out.assign(text.begin(), text.end());
  return out;
}

std::wstring WidePath(const std::string& path) {
  std::wstring wide = Wide(path);
  for (wchar_t& c : wide)
    if (c == L'/') c = L'\\';
  // Below MAX_PATH with room for a file name in a folder, the plain form works everywhere.
  if (wide.size() < 240 || wide.starts_with(L"\\\\?\\")) return wide;
  const DWORD n = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (n == 0) return wide;
  std::wstring full(n, L'\0');
  const DWORD got = ::GetFullPathNameW(wide.c_str(), n, full.data(), nullptr);
  if (got == 0 || got >= n) return wide;
  full.resize(got);
  if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

std::string Utf8(std::wstring_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string out(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace windows

std::filesystem::path PathFromText(std::string_view text) {
  return std::filesystem::path(windows::Wide(text));
}

std::string PathText(const std::filesystem::path& path) {
  std::string text = windows::Utf8(path.native());
  for (char& c : text)
    if (c == '\\') c = '/';
  return text;
}

std::vector<std::string> ProgramArguments(int, char**) {
  // The wide command line: argv holds the arguments in the system's code page, which may
  // not be able to spell a Chinese folder name.
  std::vector<std::string> args;
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (!wide) return args;
  for (int i = 1; i < count; ++i) args.push_back(windows::Utf8(wide[i]));
  ::LocalFree(wide);
  return args;
}

}  // namespace tvx::platform
