#include "runtime/win32/long_paths.hpp"

#include "runtime/win32/wide_text.hpp"

#include "runtime/win32/windows_api.hpp"

namespace rt::win32 {

namespace {

// Folders must leave room for an 8.3 file name below them: CreateDirectoryW's limit.
constexpr std::size_t longFrom = MAX_PATH - 12;

std::wstring fullPath(const std::wstring& path) {
    const DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        return {};
    }
    std::wstring full(needed, L'\0');
    const DWORD length = ::GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) {
        return {};
    }
    full.resize(length);
    return full;
}

} // namespace

std::wstring systemPath(std::string_view path) {
    const std::wstring given = wide(path);
    if (given.rfind(L"\\\\?\\", 0) == 0 || given.rfind(L"\\\\.\\", 0) == 0) {
        return given;
    }
    const std::wstring full = fullPath(given);
    if (full.size() < longFrom) {
        return given;
    }
    if (full.rfind(L"\\\\", 0) == 0) {
        return L"\\\\?\\UNC\\" + full.substr(2);
    }
    return L"\\\\?\\" + full;
}

} // namespace rt::win32
