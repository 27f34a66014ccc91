#include "runtime/win32/process_start.hpp"

#include "runtime/win32/wide_text.hpp"

#include "runtime/win32/windows_api.hpp"

#include <vector>

namespace rt::win32 {

namespace {

std::wstring environmentValue(const wchar_t* name) {
    const DWORD needed = ::GetEnvironmentVariableW(name, nullptr, 0);
    if (needed == 0) {
        return {};
    }
    std::wstring value(needed, L'\0');
    const DWORD length = ::GetEnvironmentVariableW(name, value.data(), needed);
    value.resize(length < needed ? length : 0);
    return value;
}

// Waits for the process, dispatching the messages of this thread's windows (the
// application window keeps painting). A quit request met meanwhile is posted again
// afterwards.
DWORD waitHandlingMessages(HANDLE process) {
    bool quit = false;
    WPARAM quitCode = 0;
    for (;;) {
        const DWORD woken = ::MsgWaitForMultipleObjects(1, &process, FALSE, INFINITE, QS_ALLINPUT);
        if (woken == WAIT_OBJECT_0) {
            break;
        }
        if (woken != WAIT_OBJECT_0 + 1) {
            // The wait itself failed: wait without messages.
            ::WaitForSingleObject(process, INFINITE);
            break;
        }
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quit = true;
                quitCode = message.wParam;
                continue;
            }
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    if (quit) {
        ::PostQuitMessage(static_cast<int>(quitCode));
    }
    DWORD status = 0;
    if (!::GetExitCodeProcess(process, &status)) {
        return static_cast<DWORD>(-1);
    }
    return status;
}

} // namespace

std::wstring commandInterpreter() {
    std::wstring comspec = environmentValue(L"COMSPEC");
    if (!comspec.empty()) {
        return comspec;
    }
    wchar_t folder[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return L"cmd.exe";
    }
    return std::wstring(folder, length) + L"\\cmd.exe";
}

std::wstring commandLine(const std::wstring& program, const std::wstring& parameters) {
    std::wstring line = L"\"" + program + L"\"";
    if (!parameters.empty()) {
        line += L" " + parameters;
    }
    return line;
}

int startProgram(const std::string& program, const std::string& parameters, bool wait) {
    // A NUL would end the command line early: the program would get less than was given.
    if (program.find('\0') != std::string::npos || parameters.find('\0') != std::string::npos) {
        return -1;
    }
    const bool interpreter = program.empty();
    const std::wstring name = interpreter ? commandInterpreter() : wide(program);
    std::wstring line = commandLine(name, wide(parameters));
    std::vector<wchar_t> writable(line.begin(), line.end());
    writable.push_back(L'\0');

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    // The interpreter is named with its folder; a program is left to Windows' search,
    // which only happens when the application name is not given.
    const BOOL ok = ::CreateProcessW(interpreter ? name.c_str() : nullptr, writable.data(), nullptr,
                                     nullptr, FALSE, 0, nullptr, nullptr, &startup, &started);
    if (!ok) {
        return -1;
    }
    ::CloseHandle(started.hThread);
    int result = 0;
    if (wait) {
        result = static_cast<int>(waitHandlingMessages(started.hProcess));
    }
    ::CloseHandle(started.hProcess);
    return result;
}

} // namespace rt::win32
