#include "runtime/posix/system_info.hpp"

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>
#include <vector>

namespace rt::posix {

LocalTime localNow() {
    const std::time_t seconds = std::time(nullptr);
    std::tm parts{};
    ::localtime_r(&seconds, &parts);
    LocalTime now;
    now.date.year = parts.tm_year + 1900;
    now.date.month = parts.tm_mon + 1;
    now.date.day = parts.tm_mday;
    now.hour = parts.tm_hour;
    now.minute = parts.tm_min;
    now.second = parts.tm_sec;
    return now;
}

std::string ownExecutablePath() {
    std::vector<char> buffer(1024);
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) {
            return {};
        }
        if (static_cast<std::size_t>(length) < buffer.size()) {
            return std::string(buffer.data(), static_cast<std::size_t>(length));
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string startedProgramName() {
    // The C library keeps argv[0] from the start of the process.
    const std::string name = program_invocation_name != nullptr ? program_invocation_name : "";
    const auto slash = name.find_last_of('/');
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

std::string systemName() {
    utsname names{};
    if (::uname(&names) != 0) {
        return "POSIX";
    }
    return std::string(names.sysname) + " " + names.release + " " + names.machine;
}

bool standardOutputIsTerminal() {
    return ::isatty(STDOUT_FILENO) == 1;
}

bool standardErrorIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

bool standardInputIsTerminal() {
    return ::isatty(STDIN_FILENO) == 1;
}

bool standardInputCanAnswer() {
    struct stat status {};
    if (::fstat(STDIN_FILENO, &status) != 0) {
        return false;
    }
    return S_ISREG(status.st_mode) || S_ISFIFO(status.st_mode) || standardInputIsTerminal();
}

std::string displayName() {
    const char* name = std::getenv("DISPLAY");
    return name != nullptr ? name : "";
}

} // namespace rt::posix
