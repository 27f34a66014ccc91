#include "runtime/win32/system_info.hpp"

#include "runtime/win32/dpi.hpp"
#include "runtime/win32/wide_text.hpp"

#include "runtime/win32/windows_api.hpp"

#include <algorithm>
#include <vector>

namespace rt::win32 {

LocalTime localNow() {
    SYSTEMTIME t{};
    ::GetLocalTime(&t);
    LocalTime now;
    now.date.year = t.wYear;
    now.date.month = t.wMonth;
    now.date.day = t.wDay;
    now.hour = t.wHour;
    now.minute = t.wMinute;
    now.second = t.wSecond;
    return now;
}

bool ctrlKeyHeld() {
    return (static_cast<unsigned short>(::GetAsyncKeyState(VK_CONTROL)) & 0x8000U) != 0;
}

std::string ownExecutablePath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            return utf8(std::wstring_view(buffer.data(), length));
        }
        buffer.resize(buffer.size() * 2);
    }
}

DesktopSize desktopWindowSize() {
    // In the program's pixels: a desktop of 2048 by 1536 at 200 % is 1024 by 768, as
    // the program places its window in those pixels too.
    RECT r{};
    if (!::GetWindowRect(::GetDesktopWindow(), &r)) {
        r = RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    }
    const UINT dpi = systemDpi();
    return DesktopSize{static_cast<double>(toProgram(r.right - r.left, dpi)),
                       static_cast<double>(toProgram(r.bottom - r.top, dpi))};
}

std::string systemName() {
    // RtlGetVersion has the layout of OSVERSIONINFOW and answers the true version.
    using RtlGetVersion = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    bool known = false;
    if (const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll")) {
        if (const auto get = reinterpret_cast<RtlGetVersion>(
                reinterpret_cast<void*>(::GetProcAddress(ntdll, "RtlGetVersion")))) {
            known = get(&info) == 0;
        }
    }
    if (!known) {
        return "Windows";
    }
    std::string name = "Windows " + std::to_string(info.dwMajorVersion) + "." +
                       std::to_string(info.dwMinorVersion) + " (Build " +
                       std::to_string(info.dwBuildNumber) + ")";
    if (info.szCSDVersion[0] != L'\0') {
        name += " " + utf8(info.szCSDVersion);
    }
    return name;
}

void beep(int frequency, int duration) {
    const int f = std::clamp(frequency, 37, 32767);
    const long ms = std::clamp(duration, 0, 18 * 60) * 1000L / 18;
    if (ms > 0) {
        ::Beep(static_cast<DWORD>(f), static_cast<DWORD>(ms));
    }
}

void writeStandardError(const std::string& text) {
    const HANDLE h = ::GetStdHandle(STD_ERROR_HANDLE);
    if (h == nullptr || h == INVALID_HANDLE_VALUE) {
        return;
    }
    std::size_t done = 0;
    while (done < text.size()) {
        DWORD put = 0;
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(text.size() - done, 1U << 20));
        if (!::WriteFile(h, text.data() + done, chunk, &put, nullptr) || put == 0) {
            return;
        }
        done += put;
    }
}

} // namespace rt::win32
