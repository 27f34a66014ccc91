#include "roots.hpp"

#include <cerrno>
#include <climits>
#include <cstdlib>

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

int levelsBelow(int inner, const std::string& innerPath, const Identity& outer, int& error) {
    error = 0;
    FolderState state;
    if ((error = folderState(inner, state)) != 0) {
        return -1;
    }
    Fd current;
    // A bound on the levels keeps a broken ".." from looping.
    for (int level = 0; level < 100000; ++level) {
        if (state.id == outer) {
            return level;
        }
        Fd up;
        FolderState upState;
        error = openParentOf(level == 0 ? inner : current.get(), up, upState);
        if (error == EACCES && level == 0) {
            char real[PATH_MAX];
            if (realpath(innerPath.c_str(), real) == nullptr) {
                error = errno;
                return -1;
            }
            const std::string path = real;
            const std::size_t slash = path.find_last_of('/');
            error = openFolderPath(slash == 0 ? "/" : path.substr(0, slash), up, upState);
        }
        if (error != 0) {
            return -1;
        }
        if (upState.id == state.id) {
            return -1; // the top of the file system tree
        }
        current = std::move(up);
        state = upState;
    }
    error = ELOOP;
    return -1;
}

} // namespace rc
