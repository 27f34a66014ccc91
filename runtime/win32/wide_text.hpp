// The runtime's texts (UTF-8) and the UTF-16 of the Windows API, converted at every call.
#pragma once

#include <string>
#include <string_view>

namespace rt::win32 {

// UTF-8 to UTF-16; a byte that is not part of well-formed UTF-8 becomes U+FFFD.
std::wstring wide(std::string_view utf8);
// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
std::string utf8(std::wstring_view text);

} // namespace rt::win32
