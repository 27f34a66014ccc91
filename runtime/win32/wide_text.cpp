#include "runtime/win32/wide_text.hpp"

#include "runtime/win32/windows_api.hpp"

#include <climits>

namespace rt::win32 {

std::wstring wide(std::string_view utf8Text) {
    if (utf8Text.empty() || utf8Text.size() > INT_MAX) {
        return {};
    }
    const int length = static_cast<int>(utf8Text.size());
    const int needed = ::MultiByteToWideChar(CP_UTF8, 0, utf8Text.data(), length, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(needed > 0 ? needed : 0), L'\0');
    if (needed > 0) {
        ::MultiByteToWideChar(CP_UTF8, 0, utf8Text.data(), length, out.data(), needed);
    }
    return out;
}

std::string utf8(std::wstring_view text) {
    if (text.empty() || text.size() > INT_MAX) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    const int needed =
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(needed > 0 ? needed : 0), '\0');
    if (needed > 0) {
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), length, out.data(), needed, nullptr,
                              nullptr);
    }
    return out;
}

} // namespace rt::win32
