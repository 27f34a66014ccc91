#include "runtime/posix/files.hpp"

#include "runtime/posix/open_elsewhere.hpp"
#include "runtime/posix/os_errors.hpp"
#include "runtime/posix/paths.hpp"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace rt::posix {

namespace {

constexpr int exclusiveMode = 16;

OpenResult failure(int windowsCode) {
    return OpenResult{-1, windowsCode};
}

OpenResult failureFromErrno() {
    return failure(windowsCodeFromErrno(errno));
}

int openRetrying(const std::string& path, int flags, mode_t permissions = 0) {
    int fd = -1;
    do {
        fd = ::open(path.c_str(), flags | O_CLOEXEC, permissions);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// Back to waiting reads and writes, once the handle is known to be a plain file.
bool blocking(int fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0;
}

int lockRetrying(int fd, int operation) {
    int result = -1;
    do {
        result = ::flock(fd, operation | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    return result;
}

} // namespace

bool isFolder(const std::string& path) {
    struct stat info {};
    return !path.empty() && !holdsNul(path) && ::stat(nativePath(path).c_str(), &info) == 0 &&
           S_ISDIR(info.st_mode);
}

bool isFile(const std::string& path) {
    struct stat info {};
    return !path.empty() && !holdsNul(path) && ::stat(nativePath(path).c_str(), &info) == 0 &&
           !S_ISDIR(info.st_mode);
}

// Another process has the file open, and keeps it so. Where the kernel says that
// "fd" is the file's only open description, nothing else holds it; otherwise /proc
// tells whose the other descriptors are. Another start of this program that only
// tests the file holds it for a moment, so a descriptor seen is looked for again a
// few times before it counts. Two starts at the same moment then never refuse each
// other both.
bool heldOpenElsewhere(int fd, const struct stat& info) {
    if (soleOpenDescription(fd) == SoleOpen::yes) {
        return false;
    }
    const auto device = static_cast<unsigned long long>(info.st_dev);
    const auto inode = static_cast<unsigned long long>(info.st_ino);
    for (int look = 0; look < 4; ++look) {
        if (!openInOtherProcess(device, inode)) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5 << look));
    }
    return true;
}

OpenResult openForReading(const std::string& path, int mode) {
    if (holdsNul(path)) {
        return failure(wincode::invalidName);
    }
    // Opened without waiting: a FIFO would otherwise block here until a writer comes.
    const int fd = openRetrying(nativePath(path), O_RDONLY | O_NONBLOCK);
    if (fd < 0) {
        return failureFromErrno();
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const OpenResult result = failureFromErrno();
        ::close(fd);
        return result;
    }
    // Only a plain file is read: a folder, a FIFO or a device is no file of the program's.
    if (!S_ISREG(info.st_mode) || !blocking(fd)) {
        ::close(fd);
        return failure(wincode::accessDenied);
    }
    if (mode == exclusiveMode) {
        // The lock keeps out programs that lock as well (and this program's other
        // handles); the look through /proc finds the ones that merely read.
        if (lockRetrying(fd, LOCK_EX) != 0 || heldOpenElsewhere(fd, info)) {
            ::close(fd);
            return failure(wincode::sharingViolation);
        }
    } else {
        // Shared access is never refused: without the lock the file is read all the
        // same.
        lockRetrying(fd, LOCK_SH);
    }
    return OpenResult{fd, 0};
}

OpenResult createForWriting(const std::string& path) {
    if (holdsNul(path)) {
        return failure(wincode::invalidName);
    }
    // A link is not followed (the file it points to stays as it is), a FIFO does not
    // block the open, and nothing is emptied before it is known to be a plain file of
    // this one name: a file with further (hard) links is another file's content too.
    const int fd =
        openRetrying(nativePath(path), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK, 0644);
    if (fd < 0) {
        // The file itself is made here, so a missing name means a missing folder. A FIFO
        // without a reader (ENXIO) is no plain file either.
        if (errno == ENOENT || errno == ENXIO) {
            return failure(errno == ENOENT ? wincode::pathNotFound : wincode::accessDenied);
        }
        return failureFromErrno();
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_nlink > 1) {
        ::close(fd);
        return failure(wincode::accessDenied);
    }
    int truncated = -1;
    do {
        truncated = ::ftruncate(fd, 0);
    } while (truncated != 0 && errno == EINTR);
    if (truncated != 0 || !blocking(fd)) {
        const OpenResult result = failureFromErrno();
        ::close(fd);
        return result;
    }
    return OpenResult{fd, 0};
}

long readFrom(int handle, char* buffer, long count, int* osCode) {
    if (count < 0 || (buffer == nullptr && count > 0)) {
        if (osCode != nullptr) {
            *osCode = wincode::invalidParameter;
        }
        return -1;
    }
    ssize_t got = -1;
    do {
        got = ::read(handle, buffer, static_cast<size_t>(count));
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
        if (osCode != nullptr) {
            *osCode = windowsCodeFromErrno(errno);
        }
        return -1;
    }
    return static_cast<long>(got);
}

long writeTo(int handle, const char* data, long count, int* osCode) {
    if (count < 0 || (data == nullptr && count > 0)) {
        if (osCode != nullptr) {
            *osCode = wincode::invalidParameter;
        }
        return -1;
    }
    long total = 0;
    while (total < count) {
        const ssize_t put = ::write(handle, data + total, static_cast<size_t>(count - total));
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            if (osCode != nullptr) {
                *osCode = windowsCodeFromErrno(errno);
            }
            return -1;
        }
        total += static_cast<long>(put);
    }
    return total;
}

bool closeHandle(int handle) {
    return handle >= 0 && ::close(handle) == 0;
}

} // namespace rt::posix
