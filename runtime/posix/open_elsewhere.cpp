#include "runtime/posix/open_elsewhere.hpp"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace rt::posix {

namespace {

bool isNumber(const char* name) {
    if (*name == '\0') {
        return false;
    }
    for (; *name != '\0'; ++name) {
        if (*name < '0' || *name > '9') {
            return false;
        }
    }
    return true;
}

// Calls visit(entryName) for each numeric entry of a folder; stops early when it
// returns true, and then returns true.
template <typename Visit> bool anyNumericEntry(const std::string& folder, Visit visit) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return false;
    }
    bool found = false;
    while (const dirent* entry = ::readdir(dir)) {
        if (isNumber(entry->d_name) && visit(entry->d_name)) {
            found = true;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

} // namespace

SoleOpen soleOpenDescription(int fd) {
    // Another process opening the file while the lease is held breaks it, and the
    // kernel then signals the holder; SIGIO would end this program, SIGURG is ignored
    // unless handled. The opener waits only until the lease is given back below.
    if (::fcntl(fd, F_SETSIG, SIGURG) != 0) {
        return SoleOpen::unknown;
    }
    if (::fcntl(fd, F_SETLEASE, F_WRLCK) == 0) {
        ::fcntl(fd, F_SETLEASE, F_UNLCK);
        return SoleOpen::yes;
    }
    // EAGAIN (or EBUSY on older kernels): some other open file description exists.
    // EACCES, EINVAL and the like: no answer here.
    return errno == EAGAIN || errno == EBUSY ? SoleOpen::no : SoleOpen::unknown;
}

bool openInOtherProcess(unsigned long long device, unsigned long long inode) {
    const std::string ownPid = std::to_string(::getpid());
    return anyNumericEntry("/proc", [&](const char* pid) {
        if (ownPid == pid) {
            return false;
        }
        const std::string fdFolder = std::string("/proc/") + pid + "/fd";
        DIR* dir = ::opendir(fdFolder.c_str());
        if (dir == nullptr) {
            return false;
        }
        // Each descriptor is looked at relative to the open folder: one call per
        // descriptor. fstatat follows the descriptor's link to the file itself, so
        // renamed files and other names (hard links) of the same file are found too.
        const int folder = ::dirfd(dir);
        bool found = false;
        while (const dirent* entry = ::readdir(dir)) {
            struct stat info {};
            if (isNumber(entry->d_name) && ::fstatat(folder, entry->d_name, &info, 0) == 0 &&
                static_cast<unsigned long long>(info.st_dev) == device &&
                static_cast<unsigned long long>(info.st_ino) == inode) {
                found = true;
                break;
            }
        }
        ::closedir(dir);
        return found;
    });
}

} // namespace rt::posix
