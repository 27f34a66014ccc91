#include "roots.hpp"

#include <cerrno>

namespace rc {

int openSourceRoot(const std::string& path, Roots& roots) {
    return openFolderPath(path, roots.source, roots.sourceState);
}

int openDestRoot(const std::string& path, Roots& roots) {
    std::string existing = path;
    for (;;) {
        const int error = openFolderPath(existing, roots.dest, roots.destState);
        if (error != ENOENT || existing == "/") {
            return error;
        }
        const std::size_t slash = existing.find_last_of('/');
        roots.missing.insert(roots.missing.begin(), existing.substr(slash + 1));
        existing = slash == 0 ? "/" : existing.substr(0, slash);
    }
}

int levelsBelow(int inner, const Identity& outer) {
    Fd current;
    FolderState state;
    if (reopenFolder(inner, current, state) != 0) {
        return -1;
    }
    // A bound on the levels keeps a broken ".." from looping.
    for (int level = 0; level < 100000; ++level) {
        if (state.id == outer) {
            return level;
        }
        Fd up;
        FolderState upState;
        if (openParentOf(current.get(), up, upState) != 0 || upState.id == state.id) {
            return -1; // the top of the file system tree
        }
        current = std::move(up);
        state = upState;
    }
    return -1;
}

} // namespace rc
