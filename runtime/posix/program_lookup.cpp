#include "runtime/posix/program_lookup.hpp"

#include "runtime/posix/paths.hpp"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace rt::posix {

namespace {

bool isExecutableFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

std::string inFolder(const std::string& folder, const std::string& name) {
    if (folder.empty() || folder.back() == '/') {
        return folder + name;
    }
    return folder + "/" + name;
}

} // namespace

std::optional<std::string> findProgram(const std::string& program, const ProgramSearch& where) {
    if (program.empty()) {
        return std::nullopt;
    }
    const std::string name = nativePath(program);
    if (name.find('/') != std::string::npos) {
        if (isExecutableFile(name)) {
            return name;
        }
        return std::nullopt;
    }

    std::vector<std::string> folders{nativePath(where.ownFolder), where.currentFolder};
    std::string::size_type start = 0;
    for (;;) {
        const auto end = where.pathList.find(':', start);
        folders.push_back(where.pathList.substr(start, end - start));
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    for (const std::string& folder : folders) {
        if (folder.empty()) {
            continue;
        }
        const std::string candidate = inFolder(folder, name);
        if (isExecutableFile(candidate)) {
            return candidate;
        }
    }
    return std::nullopt;
}

ProgramSearch currentSearch(const std::string& executablePath) {
    ProgramSearch where;
    const auto slash = executablePath.rfind('/');
    if (slash != std::string::npos) {
        where.ownFolder = executablePath.substr(0, slash == 0 ? 1 : slash);
    }
    std::vector<char> buffer(4096);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) {
            buffer.assign(1, '\0');
            break;
        }
        buffer.resize(buffer.size() * 2);
    }
    where.currentFolder = buffer.data();
    if (const char* path = std::getenv("PATH")) {
        where.pathList = path;
    }
    return where;
}

} // namespace rt::posix
