#include "runtime/posix/make_folders.hpp"

#include "runtime/posix/files.hpp"

#include <cerrno>
#include <sys/stat.h>

namespace rt::posix {

FolderResult makeFolders(const std::string& path) {
    if (path.empty()) {
        return FolderResult::failed;
    }
    if (isFolder(path)) {
        return FolderResult::existed;
    }
    // Each level in turn, from the top; a level that is there already is passed.
    std::string::size_type end = 0;
    while (end != std::string::npos) {
        end = path.find('/', end + 1);
        const std::string level = path.substr(0, end);
        if (level.empty() || level.back() == '/') {
            continue; // a doubled or trailing "/"
        }
        if (::mkdir(level.c_str(), 0777) != 0 && !(errno == EEXIST && isFolder(level))) {
            return FolderResult::failed;
        }
    }
    return FolderResult::made;
}

} // namespace rt::posix
