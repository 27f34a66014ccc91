#include "listing.hpp"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rc {

namespace {

// Fills the entry from the state of what the name stands for. Only "no such
// entry" means it went away since the folder was read.
bool examine(int fd, Entry& entry, Side side, bool keepLinks) {
    struct stat st {};
    if (fstatat(fd, entry.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno == ENOENT) {
            return false;
        }
        entry.error = errno;
        return true;
    }
    if (S_ISLNK(st.st_mode)) {
        entry.isLink = true;
        if (side == Side::Source && !keepLinks) {
            struct stat target {};
            if (fstatat(fd, entry.name.c_str(), &target, 0) == 0) {
                st = target;
            } else if (errno == ENOENT || errno == ELOOP) {
                entry.broken = true;
            } else {
                entry.error = errno;
                return true;
            }
        }
    }
    entry.isDir = S_ISDIR(st.st_mode);
    entry.special = !entry.isDir && !S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode);
    entry.facts = {static_cast<std::uint64_t>(st.st_size), nanoseconds(st.st_mtim),
                   nanoseconds(st.st_atim), static_cast<unsigned>(st.st_mode & 07777)};
    entry.id = {st.st_dev, st.st_ino};
    entry.atime = st.st_atim;
    entry.mtime = st.st_mtim;
    return true;
}

} // namespace

bool Listing::complete() const {
    return std::none_of(entries.begin(), entries.end(),
                        [](const Entry& entry) { return entry.error != 0; });
}

Listing listFolder(int fd, Side side, bool keepLinks) {
    Listing listing;
    if ((listing.error = folderState(fd, listing.folder)) != 0) {
        return listing;
    }
    listing.error = forEachEntry(fd, [&](int own, const dirent& d) {
        Entry entry;
        entry.name = d.d_name;
        if (examine(own, entry, side, keepLinks)) {
            listing.entries.push_back(std::move(entry));
        }
    });
    if (listing.error != 0) {
        listing.entries.clear();
        return listing;
    }
    std::sort(listing.entries.begin(), listing.entries.end(),
              [](const Entry& a, const Entry& b) { return a.name < b.name; });
    return listing;
}

Listing listFolderAt(int parent, const std::string& name, bool followLink, Side side,
                     bool keepLinks) {
    Fd fd;
    FolderState state;
    if (const int error = openFolderAt(parent, name, followLink, fd, state)) {
        Listing failed;
        failed.error = error;
        return failed;
    }
    return listFolder(fd.get(), side, keepLinks);
}

} // namespace rc
