#include "runtime/win32/os_errors.hpp"

#include "runtime/win32/wide_text.hpp"

#include "runtime/win32/windows_api.hpp"

#include <string_view>

namespace rt::win32 {

std::string windowsErrorText(int code) {
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring_view text(buffer != nullptr ? buffer : L"", buffer != nullptr ? length : 0);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
        text.remove_suffix(1);
    }
    std::string result = utf8(text);
    if (buffer != nullptr) {
        ::LocalFree(buffer);
    }
    return result.empty() ? "Fehler " + std::to_string(code) : result;
}

} // namespace rt::win32
