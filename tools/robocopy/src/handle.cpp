#include "handle.hpp"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace rc {

Fd::~Fd() {
    reset();
}

Fd& Fd::operator=(Fd&& other) noexcept {
    if (this != &other) {
        reset();
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

void Fd::reset() {
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
}

int folderState(int fd, FolderState& out) {
    struct statx st {};
    if (statx(fd, "", AT_EMPTY_PATH | AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS, &st) != 0) {
        return errno;
    }
    if (!S_ISDIR(st.stx_mode)) {
        return ENOTDIR;
    }
    out.id = {makedev(st.stx_dev_major, st.stx_dev_minor), static_cast<ino_t>(st.stx_ino)};
    out.mode = st.stx_mode & 07777;
    out.owner = st.stx_uid;
    out.atime = {static_cast<time_t>(st.stx_atime.tv_sec), st.stx_atime.tv_nsec};
    out.mtime = {static_cast<time_t>(st.stx_mtime.tv_sec), st.stx_mtime.tv_nsec};
    out.mountRoot = (st.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) != 0 &&
                    (st.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
    return 0;
}

namespace {

int adopt(int fd, Fd& out, FolderState& state) {
    if (fd < 0) {
        return errno;
    }
    Fd held(fd);
    if (const int error = folderState(fd, state)) {
        return error;
    }
    out = std::move(held);
    return 0;
}

} // namespace

int openFolderAt(int parent, const std::string& name, bool followLink, Fd& out,
                 FolderState& state) {
    if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..") {
        return EINVAL; // one component below the parent, nothing else
    }
    const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | (followLink ? 0 : O_NOFOLLOW);
    return adopt(openat(parent, name.c_str(), flags), out, state);
}

int openParentOf(int fd, Fd& out, FolderState& state) {
    return adopt(openat(fd, "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW), out, state);
}

int openFolderPath(const std::string& path, Fd& out, FolderState& state) {
    return adopt(open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC), out, state);
}

int forEachEntry(int fd, const std::function<void(int own, const dirent& entry)>& visit) {
    // A duplicate, not a new open: a folder that may be read but not searched
    // cannot be opened again through ".", and its entries must still be named.
    const int own = fcntl(fd, F_DUPFD_CLOEXEC, 0);
    DIR* dir = own < 0 ? nullptr : fdopendir(own);
    if (dir != nullptr) {
        rewinddir(dir);
    }
    if (dir == nullptr) {
        const int error = errno;
        if (own >= 0) {
            close(own);
        }
        return error;
    }
    int error = 0;
    for (;;) {
        errno = 0;
        const dirent* entry = readdir(dir);
        if (entry == nullptr) {
            error = errno; // 0 at the end
            break;
        }
        const char* name = entry->d_name;
        if (!(name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))) {
            visit(own, *entry);
        }
    }
    closedir(dir);
    return error;
}

bool makeWritable(int fd, const FolderState& state) {
    if ((state.mode & 0300) == 0300 || geteuid() == 0 || geteuid() != state.owner) {
        return false; // nothing keeps us out, or the bits are not ours to change
    }
    return fchmod(fd, state.mode | 0300) == 0;
}

} // namespace rc
