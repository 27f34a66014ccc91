#include "tree_removal.hpp"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace rc {

namespace {

// Folders deeper than this below the current one are closed and found again
// through ".." (and their identity checked) on the way back up.
constexpr std::size_t openWindow = 64;

struct Frame {
    Fd fd;
    FolderState state;
    std::string name;                 // in the frame above (or in the parent given)
    std::vector<std::string> folders; // sub-folders still to remove
    bool read = false;
    bool holdsKept = false; // the kept file lies below: the folder stays
    int error = 0;          // something below could not be removed
};

int unlinkFile(int dir, const std::string& name) {
    return unlinkat(dir, name.c_str(), 0) == 0 || errno == ENOENT ? 0 : errno;
}

// Opens a folder to empty it: a link or a file in its place is not a folder
// (ENOTDIR/ELOOP), a mount point is never entered (EXDEV).
int openForRemoval(int parent, const Identity& parentId, const std::string& name, Frame& frame) {
    if (const int error = openFolderAt(parent, name, false, frame.fd, frame.state)) {
        return error;
    }
    if (frame.state.mountRoot || frame.state.id.dev != parentId.dev) {
        return EXDEV;
    }
    if (makeWritable(frame.fd.get(), frame.state)) {
        frame.state.mode |= 0300;
    }
    frame.name = name;
    return 0;
}

// Removes the files of the frame's folder and notes its sub-folders.
int readFrame(Frame& frame, const Identity* keep) {
    frame.read = true;
    std::vector<std::string> files;
    int unexamined = 0;
    int error = forEachEntry(frame.fd.get(), [&](int own, const dirent& d) {
        unsigned char type = d.d_type;
        ino_t ino = d.d_ino;
        if (type == DT_UNKNOWN) {
            struct stat st {};
            if (fstatat(own, d.d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
                if (errno != ENOENT && unexamined == 0) {
                    unexamined = errno;
                }
                return;
            }
            type = S_ISDIR(st.st_mode) ? DT_DIR : DT_REG;
            ino = st.st_ino;
        }
        if (type == DT_DIR) {
            frame.folders.emplace_back(d.d_name);
        } else if (keep != nullptr && keep->dev == frame.state.id.dev && keep->ino == ino) {
            frame.holdsKept = true;
        } else {
            files.emplace_back(d.d_name);
        }
    });
    if (error == 0) {
        error = unexamined;
    }
    for (const auto& file : files) {
        const int failed = unlinkFile(frame.fd.get(), file);
        if (error == 0) {
            error = failed;
        }
    }
    return error;
}

// Opens the frame's folder again from the one below it and checks that it is
// still the same folder.
int reopenFrom(const Frame& below, Frame& frame) {
    Fd fd;
    FolderState state;
    if (const int error = openParentOf(below.fd.get(), fd, state)) {
        return error;
    }
    if (!(state.id == frame.state.id)) {
        return ESTALE; // moved while it was emptied: stop rather than guess
    }
    frame.fd = std::move(fd);
    return 0;
}

} // namespace

int removeTree(int parent, const std::string& name, const Identity* keep) {
    FolderState parentState;
    if (const int error = folderState(parent, parentState)) {
        return error;
    }
    std::vector<Frame> stack;
    stack.emplace_back();
    if (const int error = openForRemoval(parent, parentState.id, name, stack.back())) {
        if (error == ENOTDIR || error == ELOOP) {
            return unlinkFile(parent, name); // not a folder (any more): remove the name
        }
        return error;
    }
    int result = 0;
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (!top.read) {
            top.error = readFrame(top, keep);
        }
        // A failure below keeps this folder, but its other sub-folders still go.
        if (!top.folders.empty()) {
            const std::string child = std::move(top.folders.back());
            top.folders.pop_back();
            Frame next;
            const int error = openForRemoval(top.fd.get(), top.state.id, child, next);
            const int failed = error == ENOTDIR || error == ELOOP
                                   ? unlinkFile(top.fd.get(), child) // no longer a folder
                               : error == ENOENT ? 0
                                                 : error;
            if (failed != 0 && top.error == 0) {
                top.error = failed;
            }
            if (error == 0) {
                stack.push_back(std::move(next));
                if (stack.size() > openWindow) {
                    stack[stack.size() - 1 - openWindow].fd.reset();
                }
            }
            continue;
        }
        // The folder is empty (or failed): leave it and remove it from above.
        Frame done = std::move(stack.back());
        stack.pop_back();
        int above = parent;
        if (!stack.empty()) {
            Frame& up = stack.back();
            if (!up.fd.valid()) {
                if (const int error = reopenFrom(done, up)) {
                    return result != 0 ? result : error;
                }
            }
            above = up.fd.get();
            up.holdsKept = up.holdsKept || done.holdsKept;
        }
        done.fd.reset();
        int error = done.error;
        if (error == 0 && !done.holdsKept &&
            unlinkat(above, done.name.c_str(), AT_REMOVEDIR) != 0) {
            error = errno;
        }
        if (error != 0) {
            if (result == 0) {
                result = error;
            }
            if (!stack.empty() && stack.back().error == 0) {
                stack.back().error = error; // its parent cannot go either
            }
        }
    }
    return result;
}

} // namespace rc
