// Open folders: a descriptor that closes itself, and what the walk needs to
// know of a folder it holds. Every step below a root is taken relative to an
// open folder, one name at a time, so a path is never resolved twice.
#pragma once

#include <cstdint>
#include <ctime>
#include <dirent.h>
#include <functional>
#include <string>
#include <sys/types.h>
#include <utility>

namespace rc {

class Fd {
  public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd();
    Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Fd& operator=(Fd&& other) noexcept;
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    void reset();

  private:
    int fd_ = -1;
};

// "Same folder" is a question for device and inode, never for path text.
struct Identity {
    dev_t dev = 0;
    ino_t ino = 0;
    bool operator==(const Identity&) const = default;
};

struct FolderState {
    Identity id;
    unsigned mode = 0; // permission bits (07777)
    uid_t owner = 0;
    timespec atime{}, mtime{};
    bool mountRoot = false; // another file system or a bind mount starts here
};

// Reads the state of an open folder. Returns 0 or an errno value.
int folderState(int fd, FolderState& out);

// Opens the folder "name" (one component) inside the open folder "parent".
// A symbolic link in its place is refused unless "followLink"; anything that
// is not a folder gives ENOTDIR. Returns 0 or an errno value.
int openFolderAt(int parent, const std::string& name, bool followLink, Fd& out, FolderState& state);

// Opens the folder above an open folder ("..").
int openParentOf(int fd, Fd& out, FolderState& state);

// Opens a folder named by a path as the user gave it (links in it followed).
int openFolderPath(const std::string& path, Fd& out, FolderState& state);

// Calls "visit" for each entry of the open folder but "." and ".." ("own" is
// the descriptor read, for lookups relative to it). The folder's read position
// is shared with "fd": only one reader at a time. Returns 0, or the errno
// value that cut the listing short.
int forEachEntry(int fd, const std::function<void(int own, const dirent& entry)>& visit);

inline std::int64_t nanoseconds(const timespec& t) {
    return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

// Makes an owned folder writable and searchable for this run when its bits
// keep the running user out. Returns true when the bits were changed.
bool makeWritable(int fd, const FolderState& state);

} // namespace rc
