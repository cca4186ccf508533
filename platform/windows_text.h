// Between the engine's strings and Windows' wide characters (Windows builds only).
#pragma once

#include <string>
#include <string_view>

namespace tvx::platform::windows {

// UTF-8, or GBK when the text is not valid UTF-8, as wide characters.
std::wstring Wide(std::string_view text);
// A path for the system's wide calls: '/' turned into '\', and a long path made absolute
// with the "\\?\" prefix, so that no length limit applies.
std::wstring WidePath(const std::string& path);
std::string Utf8(std::wstring_view text);

}  // namespace tvx::platform::windows
